-- Constructors and prototype methods: small vectors made by a constructor and combined by methods.
local Vec = {}
Vec.__index = Vec
function Vec.new(x, y) return setmetatable({x = x, y = y}, Vec) end
function Vec:add(o) return Vec.new(self.x + o.x, self.y + o.y) end
function Vec:dot(o) return self.x * o.x + self.y * o.y end
function Vec:scale(k)
    self.x = self.x * k
    self.y = self.y * k
    return self
end
local sum = Vec.new(0, 0)
local total = 0
for i = 0, 199999 do
    local v = Vec.new(i % 10, i % 7)
    sum = sum:add(v:scale(2))
    total = (total + v:dot(sum)) % 1000003
end
print(total)
