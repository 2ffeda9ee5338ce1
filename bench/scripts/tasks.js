// An object graph: tasks linked in a ring pass packets to one another through
// queues that are linked lists, calling each other's methods through `this`.
function Packet(id, hops) {
    this.link = null;
    this.id = id;
    this.hops = hops;
    this.count = 0;
}
function Task(id) {
    this.id = id;
    this.head = null;
    this.tail = null;
    this.next = null;
    this.handled = 0;
}
Task.prototype.receive = function(packet) {
    packet.link = null;
    if (this.head == null) this.head = packet;
    else this.tail.link = packet;
    this.tail = packet;
};
Task.prototype.take = function() {
    var packet = this.head;
    if (packet != null) {
        this.head = packet.link;
        if (this.head == null) this.tail = null;
    }
    return packet;
};
Task.prototype.run = function() {
    var packet = this.take();
    if (packet == null) return 0;
    packet.count = packet.count + 1;
    this.handled = this.handled + 1;
    var target = this.next;
    for (var hop = 1; hop < packet.hops; hop++) target = target.next;
    target.receive(packet);
    return 1;
};
var tasks = [];
for (var i = 0; i < 10; i++) tasks[i] = new Task(i);
for (var i = 0; i < 10; i++) tasks[i].next = tasks[(i + 1) % 10];
for (var i = 0; i < 40; i++) tasks[i % 10].receive(new Packet(i, i % 3 + 1));
var moves = 0;
for (var round = 0; round < 30000; round++) {
    for (var k = 0; k < 10; k++) moves = moves + tasks[k].run();
}
print(moves + " " + tasks[3].handled);
