// Sorting with a script comparator: a merge sort of records by two keys.
function byKeyThenId(a, b) {
    if (a.key != b.key) return a.key - b.key;
    return a.id - b.id;
}
// Sorts items[lo..hi) through the scratch array.
function mergeSort(items, lo, hi, scratch, compare) {
    if (hi - lo < 2) return;
    var mid = (lo + hi) >> 1;
    mergeSort(items, lo, mid, scratch, compare);
    mergeSort(items, mid, hi, scratch, compare);
    var i = lo;
    var j = mid;
    var k = lo;
    while (i < mid && j < hi) {
        if (compare(items[j], items[i]) < 0) scratch[k++] = items[j++];
        else scratch[k++] = items[i++];
    }
    while (i < mid) scratch[k++] = items[i++];
    while (j < hi) scratch[k++] = items[j++];
    for (k = lo; k < hi; k++) items[k] = scratch[k];
}
var n = 4000;
var checksum = 0;
for (var round = 0; round < 12; round++) {
    var items = [];
    var scratch = [];
    for (var i = 0; i < n; i++) {
        items[i] = {key: (i * 7919 + round) % 1000, id: i};
        scratch[i] = null;
    }
    mergeSort(items, 0, n, scratch, byKeyThenId);
    checksum = (checksum + items[0].id + items[n - 1].id + items[n >> 1].key) % 1000003;
}
print(checksum);
