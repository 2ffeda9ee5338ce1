-- Nested loops with integer arithmetic.
local sum = 0
for i = 0, 2999 do
    for j = 0, 999 do
        sum = (sum + i * j + (i ~ j)) % 1000003
    end
end
print(sum)
