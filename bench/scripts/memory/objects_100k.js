// Memory: one hundred thousand small objects alive at once.
var objects = [];
for (var i = 0; i < 100000; i++) {
    var o = new Object();
    o.id = i;
    objects[i] = o;
}
print(objects.length);
