-- Member-heavy code: records of twelve fields read and written by name.
local function Record(i)
    return {a = i, b = i + 1, c = i + 2, d = i + 3, e = i + 4, f = i + 5, g = i + 6,
            h = i + 7, m = i + 8, n = i + 9, p = i + 10, q = 0}
end
local records = {}
for i = 0, 99 do records[i] = Record(i) end
local total = 0
for round = 0, 5999 do
    for k = 0, 99 do
        local r = records[k]
        r.q = (r.a + r.b + r.c + r.d + r.e + r.f + r.g + r.h + r.m + r.n + r.p) % 1000
        r.a = r.b
        r.b = r.c
        r.c = r.q
        r.p = r.n + r.m
        total = (total + r.q) % 1000003
    end
end
print(total)
