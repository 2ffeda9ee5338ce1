// Constructors and prototype methods: small vectors made with new and combined by methods.
function Vec(x, y) {
    this.x = x;
    this.y = y;
}
Vec.prototype.add = function(o) { return new Vec(this.x + o.x, this.y + o.y); };
Vec.prototype.dot = function(o) { return this.x * o.x + this.y * o.y; };
Vec.prototype.scale = function(k) {
    this.x = this.x * k;
    this.y = this.y * k;
    return this;
};
var sum = new Vec(0, 0);
var total = 0;
for (var i = 0; i < 200000; i++) {
    var v = new Vec(i % 10, i % 7);
    sum = sum.add(v.scale(2));
    total = (total + v.dot(sum)) % 1000003;
}
print(total);
