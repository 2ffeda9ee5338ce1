// Memory: one million empty objects alive at once.
var objects = [];
for (var i = 0; i < 1000000; i++) objects[i] = new Object();
print(objects.length);
