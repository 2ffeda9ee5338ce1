-- Array methods: 1 000 000 push and pop, 1 000 000 indexed reads and writes.
local stack = {}
for i = 0, 999999 do table.insert(stack, i) end
local total = 0
while #stack > 0 do total = total + table.remove(stack) end
local cells = {}
for i = 0, 999 do cells[i] = 0 end
for i = 0, 999999 do cells[i % 1000] = cells[(i + 1) % 1000] + 1 end
print(total + cells[0])
