-- An object graph: tasks linked in a ring pass packets to one another through
-- queues that are linked lists, calling each other's methods.
local Packet = {}
Packet.__index = Packet
function Packet.new(id, hops) return setmetatable({link = false, id = id, hops = hops, count = 0}, Packet) end
local Task = {}
Task.__index = Task
function Task.new(id) return setmetatable({id = id, head = false, tail = false, next = false, handled = 0}, Task) end
function Task:receive(packet)
    packet.link = false
    if not self.head then self.head = packet else self.tail.link = packet end
    self.tail = packet
end
function Task:take()
    local packet = self.head
    if packet then
        self.head = packet.link
        if not self.head then self.tail = false end
    end
    return packet
end
function Task:run()
    local packet = self:take()
    if not packet then return 0 end
    packet.count = packet.count + 1
    self.handled = self.handled + 1
    local target = self.next
    for hop = 2, packet.hops do target = target.next end
    target:receive(packet)
    return 1
end
local tasks = {}
for i = 0, 9 do tasks[i] = Task.new(i) end
for i = 0, 9 do tasks[i].next = tasks[(i + 1) % 10] end
for i = 0, 39 do tasks[i % 10]:receive(Packet.new(i, i % 3 + 1)) end
local moves = 0
for round = 0, 29999 do
    for k = 0, 9 do moves = moves + tasks[k]:run() end
end
print(moves .. " " .. tasks[3].handled)
