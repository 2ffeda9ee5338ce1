// Memory: an array of one million numbers.
var values = [];
for (var i = 0; i < 1000000; i++) values[i] = i;
print(values.length);
