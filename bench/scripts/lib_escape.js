// peers: skip (byte-wise percent coding is the dialect's own)
// escape and unescape of 1 MB of text, ten times.
var s = "a b&c=d/\u0001~";
while (s.length < 1048576) s = s + s;
for (var i = 0; i < 10; i++) {
    var e = escape(s);
    var u = unescape(e);
}
