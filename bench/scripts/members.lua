-- Object member reads and writes.
local point = {x = 0, y = 0, z = 0, step = 3}
for i = 0, 1499999 do
    point.x = point.x + point.step
    point.y = point.y + point.x % 7
    point.z = (point.z + point.y) % 1000
end
print(point.z)
