// peers: skip (their shift moves every element: 20 000 shifts take duk about 48 s)
// 100 000 push, then shift until empty: a queue.
var queue = [];
for (var i = 0; i < 100000; i++) queue.push(i);
var total = 0;
while (queue.length > 0) total = total + queue.shift();
print(total);
