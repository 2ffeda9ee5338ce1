// Sorting 100 000 integers and 100 000 texts with the default order, and
// 100 000 integers with a script compare function.
var numbers = [], texts = [], again = [];
for (var i = 0; i < 100000; i++) {
    var n = (i * 7919) % 100003;
    numbers.push(n);
    again.push(n);
    texts.push("k" + n);
}
numbers.sort();
texts.sort();
again.sort(function(a, b) { return a - b; });
print(numbers.length + texts.length + again[0]);
