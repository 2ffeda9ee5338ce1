// Memory: one hundred thousand empty objects alive at once.
var objects = [];
for (var i = 0; i < 100000; i++) objects[i] = new Object();
print(objects.length);
