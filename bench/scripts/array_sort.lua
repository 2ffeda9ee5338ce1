-- Sorting 100 000 integers and 100 000 texts with the default order, and
-- 100 000 integers with a script compare function.
local numbers, texts, again = {}, {}, {}
for i = 0, 99999 do
    local n = (i * 7919) % 100003
    table.insert(numbers, n)
    table.insert(again, n)
    table.insert(texts, "k" .. n)
end
table.sort(numbers)
table.sort(texts)
table.sort(again, function(a, b) return a < b end)
print(#numbers + #texts + again[1])
