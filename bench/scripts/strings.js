// String building: many small concatenations, and comparisons of the growing text
// with a copy built beside it.
var text = "";
var copy = "";
var count = 0;
var same = 0;
for (var i = 0; i < 100000; i++) {
    text = text + "item" + i + ";";
    copy = copy + "item" + i + ";";
    if (text == copy) same = same + 1;
    if (i % 1000 == 0) {
        text = "";
        copy = "";
        count = count + 1;
    }
}
var words = "";
for (var k = 0; k < 500000; k++) words = "w" + (k % 10);
print(count + " " + same + " " + words);
