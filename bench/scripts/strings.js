// String building: many small concatenations.
var text = "";
var count = 0;
for (var i = 0; i < 20000; i++) {
    text = text + "item" + i + ";";
    if (i % 1000 == 0) {
        text = "";
        count = count + 1;
    }
}
var words = "";
for (var k = 0; k < 200000; k++) words = "w" + (k % 10);
print(count);
print(words);
