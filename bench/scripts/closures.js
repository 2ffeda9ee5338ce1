// Closures: functions made by functions, called many times.
function adder(n) {
    return function(x) { return x + n; };
}
function compose(f, g) {
    return function(x) { return f(g(x)); };
}
var add1 = adder(1);
var add2 = adder(2);
var both = compose(add1, add2);
var value = 0;
for (var i = 0; i < 1000000; i++) {
    value = both(value) % 100000;
    if (i % 1000 == 0) add1 = adder(i % 7);
}
print(value);
