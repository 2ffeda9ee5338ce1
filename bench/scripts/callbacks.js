// Script functions called by the library: a replace function for every match of a
// pattern, and a compare function made by a closure sorting records.
var text = "";
for (var i = 0; i < 2000; i++) text += "k" + (i % 97) + " ";
var total = 0;
for (var round = 0; round < 40; round++) {
    var out = text.replace(/k(\d+)/g, function(m, digits) { return "v" + digits.length; });
    total = total + out.length;
}
function by(key) {
    return function(a, b) { return a[key] - b[key]; };
}
var items = [];
for (var i = 0; i < 30000; i++) items.push({n: (i * 7919) % 10007, id: i});
items.sort(by("n"));
print(total + items[0].id + items[29999].n);
