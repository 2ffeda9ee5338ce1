// Object member reads and writes.
var point = {x: 0, y: 0, z: 0, step: 3};
for (var i = 0; i < 1500000; i++) {
    point.x = point.x + point.step;
    point.y = point.y + point.x % 7;
    point.z = (point.z + point.y) % 1000;
}
print(point.z);
