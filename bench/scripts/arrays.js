// Array fill and sum by index.
var total = 0;
for (var round = 0; round < 30; round++) {
    var values = [];
    for (var i = 0; i < 50000; i++) values[i] = i % 100;
    for (var j = 0; j < values.length; j++) total = total + values[j];
}
print(total);
