// Memory: one million small objects alive at once.
var objects = [];
for (var i = 0; i < 1000000; i++) {
    var o = new Object();
    o.id = i;
    objects[i] = o;
}
print(objects.length);
