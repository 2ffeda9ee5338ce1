// Array methods: 1 000 000 push and pop, 1 000 000 indexed reads and writes.
var stack = [];
for (var i = 0; i < 1000000; i++) stack.push(i);
var total = 0;
while (stack.length > 0) total = total + stack.pop();
var cells = [];
for (var i = 0; i < 1000; i++) cells[i] = 0;
for (var i = 0; i < 1000000; i++) cells[i % 1000] = cells[(i + 1) % 1000] + 1;
print(total + cells[0]);
