// A small object-heavy simulation: particles made with new, moved and bounced.
function Particle(x, y, dx, dy) {
    this.x = x;
    this.y = y;
    this.dx = dx;
    this.dy = dy;
}
var particles = [];
for (var i = 0; i < 200; i++) particles[i] = new Particle(i % 50, (i * 7) % 50, i % 3 - 1, i % 5 - 2);
var bounces = 0;
for (var step = 0; step < 2500; step++) {
    for (var k = 0; k < 200; k++) {
        var p = particles[k];
        p.x = p.x + p.dx;
        p.y = p.y + p.dy;
        if (p.x < 0 || p.x > 50) { p.dx = -p.dx; bounces = bounces + 1; }
        if (p.y < 0 || p.y > 50) { p.dy = -p.dy; bounces = bounces + 1; }
    }
    if (step % 50 == 0) particles[step % 200] = new Particle(25, 25, 1, -1);
}
print(bounces);
