// peers: skip (the "%" language, masks and Number's forms are the dialect's own)
// 100 000 calls each of format, formatFloat and toFixed (a Number wrapper per call).
var s = "", x = 1234.5678;
for (var i = 0; i < 100000; i++) s = format("%d %s %.2f", i, "abc", x);
for (var i = 0; i < 100000; i++) s = formatFloat("#,##0.00", x);
for (var i = 0; i < 100000; i++) s = x.toFixed(2);
