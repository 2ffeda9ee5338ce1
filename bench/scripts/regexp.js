// Regular expressions: a short replace made 100 000 times (a new RegExp object per
// call, its pattern from the cache), then match, replace and split over 1 MB.
var r = "";
for (var i = 0; i < 100000; i++) r = "a-b-c".replace(/-/g, "+");
var text = "alpha beta, gamma delta ";
while (text.length < 1048576) text = text + text;
var words = text.match(/\w+/g);
var replaced = text.replace(/a/g, "A");
var pieces = text.split(/, /);
print(r + " " + words.length + " " + replaced.length + " " + pieces.length);
