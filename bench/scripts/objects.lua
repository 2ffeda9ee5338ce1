-- A small object-heavy simulation: particles made by a constructor, moved and bounced.
local function Particle(x, y, dx, dy)
    return {x = x, y = y, dx = dx, dy = dy}
end
local particles = {}
for i = 0, 199 do particles[i] = Particle(i % 50, (i * 7) % 50, i % 3 - 1, i % 5 - 2) end
local bounces = 0
for step = 0, 2499 do
    for k = 0, 199 do
        local p = particles[k]
        p.x = p.x + p.dx
        p.y = p.y + p.dy
        if p.x < 0 or p.x > 50 then p.dx = -p.dx; bounces = bounces + 1 end
        if p.y < 0 or p.y > 50 then p.dy = -p.dy; bounces = bounces + 1 end
    end
    if step % 50 == 0 then particles[step % 200] = Particle(25, 25, 1, -1) end
end
print(bounces)
