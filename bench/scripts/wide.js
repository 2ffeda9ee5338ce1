// Member-heavy code: records of twelve fields read and written by name.
function Record(i) {
    this.a = i;
    this.b = i + 1;
    this.c = i + 2;
    this.d = i + 3;
    this.e = i + 4;
    this.f = i + 5;
    this.g = i + 6;
    this.h = i + 7;
    this.m = i + 8;
    this.n = i + 9;
    this.p = i + 10;
    this.q = 0;
}
var records = [];
for (var i = 0; i < 100; i++) records[i] = new Record(i);
var total = 0;
for (var round = 0; round < 6000; round++) {
    for (var k = 0; k < 100; k++) {
        var r = records[k];
        r.q = (r.a + r.b + r.c + r.d + r.e + r.f + r.g + r.h + r.m + r.n + r.p) % 1000;
        r.a = r.b;
        r.b = r.c;
        r.c = r.q;
        r.p = r.n + r.m;
        total = (total + r.q) % 1000003;
    }
}
print(total);
