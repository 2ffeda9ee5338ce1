-- Closures: functions made by functions, called many times.
local function adder(n)
    return function(x) return x + n end
end
local function compose(f, g)
    return function(x) return f(g(x)) end
end
local add1 = adder(1)
local add2 = adder(2)
local both = compose(add1, add2)
local value = 0
for i = 0, 999999 do
    value = both(value) % 100000
    if i % 1000 == 0 then add1 = adder(i % 7) end
end
print(value)
