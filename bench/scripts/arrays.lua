-- Array fill and sum by index.
local total = 0
for round = 0, 29 do
    local values = {}
    for i = 0, 49999 do values[i] = i % 100 end
    for j = 0, 49999 do total = total + values[j] end
end
print(total)
