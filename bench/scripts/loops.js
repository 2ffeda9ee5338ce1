// Nested loops with integer arithmetic.
var sum = 0;
for (var i = 0; i < 3000; i++) {
    for (var j = 0; j < 1000; j++) {
        sum = (sum + i * j + (i ^ j)) % 1000003;
    }
}
print(sum);
