-- Sorting with a script comparator: a merge sort of records by two keys.
local function byKeyThenId(a, b)
    if a.key ~= b.key then return a.key - b.key end
    return a.id - b.id
end
-- Sorts items[lo..hi) through the scratch array.
local function mergeSort(items, lo, hi, scratch, compare)
    if hi - lo < 2 then return end
    local mid = (lo + hi) >> 1
    mergeSort(items, lo, mid, scratch, compare)
    mergeSort(items, mid, hi, scratch, compare)
    local i, j, k = lo, mid, lo
    while i < mid and j < hi do
        if compare(items[j], items[i]) < 0 then
            scratch[k] = items[j]; j = j + 1
        else
            scratch[k] = items[i]; i = i + 1
        end
        k = k + 1
    end
    while i < mid do scratch[k] = items[i]; i = i + 1; k = k + 1 end
    while j < hi do scratch[k] = items[j]; j = j + 1; k = k + 1 end
    for m = lo, hi - 1 do items[m] = scratch[m] end
end
local n = 4000
local checksum = 0
for round = 0, 11 do
    local items = {}
    local scratch = {}
    for i = 0, n - 1 do
        items[i] = {key = (i * 7919 + round) % 1000, id = i}
        scratch[i] = false
    end
    mergeSort(items, 0, n, scratch, byKeyThenId)
    checksum = (checksum + items[0].id + items[n - 1].id + items[n >> 1].key) % 1000003
end
print(checksum)
