// String methods over long texts: charAt over 100 000 characters, indexOf and
// lastIndexOf over 1 MB, split into 100 000 pieces and join back, the same string
// pattern in a 100 000-iteration loop.
var s = "abcdefghij";
while (s.length < 100000) s = s + s;
s = s.substring(0, 100000);
var n = 0;
for (var i = 0; i < s.length; i++) if (s.charAt(i) == "j") n++;
var big = "0123456789";
while (big.length < 1048576) big = big + big;
var found = big.indexOf("x") + big.lastIndexOf("x") + big.indexOf("9", 500000) + big.lastIndexOf("0", 500000);
var line = "field,";
while (line.length < 600000) line = line + line;
var parts = line.split(",");
var joined = parts.join(",");
var hits = 0;
for (var k = 0; k < 100000; k++) if ("colour:red".search(":") == 6) hits++;
print(n + " " + found + " " + parts.length + " " + joined.length + " " + hits);
var m = 0;
for (var j = 0; j < s.length; j++) if (s[j] == "a") m++;
print(m);
