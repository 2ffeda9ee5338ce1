// peers: skip (no radix and whole-text parsing are the dialect's own)
// 1 000 000 calls each of parseInt and parseFloat.
var n = 0;
for (var i = 0; i < 1000000; i++) n = parseInt("12345");
for (var i = 0; i < 1000000; i++) n = parseFloat("1234.5");
