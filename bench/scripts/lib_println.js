// peers: skip (output goes through kestrel's buffered standard output)
// 100 000 println of short lines.
for (var i = 0; i < 100000; i++) println("line ", i);
