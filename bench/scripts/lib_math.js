// peers: skip (Math.random(n) is the dialect's own)
// Math.floor, Math.round and Math.random in a 1 000 000-step loop.
var n = 0, x = 2.5;
for (var i = 0; i < 1000000; i++) {
    n = Math.floor(x);
    n = Math.round(x);
    n = Math.random(100);
}
