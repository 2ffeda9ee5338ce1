// Appending to one growing text: `s += piece` and `s = s + a + b` on a variable
// that nothing else holds, 100 000 times each (amortised constant time per append
// where the text keeps room to spare; quadratic where every step copies it).
var s = "";
for (var i = 0; i < 100000; i++) s += "ab";
var t = "";
for (var k = 0; k < 100000; k++) t = t + k + ",";
print(s.length + " " + t.length);
