-- Script functions called by the library: a replace function for every match of a
-- pattern, and a compare function made by a closure sorting records.
local parts = {}
for i = 0, 1999 do parts[#parts + 1] = "k" .. (i % 97) .. " " end
local text = table.concat(parts)
local total = 0
for round = 1, 40 do
    local out = text:gsub("k(%d+)", function(digits) return "v" .. #digits end)
    total = total + #out
end
local function by(key)
    return function(a, b)
        if a[key] ~= b[key] then return a[key] < b[key] end
        return a.id < b.id
    end
end
local items = {}
for i = 0, 29999 do items[#items + 1] = {n = (i * 7919) % 10007, id = i} end
table.sort(items, by("n"))
print(total + items[1].id + items[30000].n)
