#!/bin/sh
# Runs one test program under a private X server of its own. The server picks a
# free display itself (-displayfd), so test programs and developers running tests
# at the same time never race for a display number.
#
# A server that is starting up makes the other servers on the machine refuse new
# connections for a moment (measured: a few in a hundred connections fail while six
# servers start). So the start-ups of our servers take turns under one lock, and the
# test program begins only once its server answers; CTest never runs two of the
# test programs at once (RESOURCE_LOCK x11_server), so none starts a server while
# another's program connects.
dir=$(mktemp -d /tmp/tinctor-x11-XXXXXX) || exit 1
lock=/tmp/tinctor-x11-start.lock
exec 4>"$lock"
flock -w 120 4
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/log" 4>&- &
server=$!
i=0
while [ ! -s "$dir/display" ] && [ $i -lt 100 ]; do
    kill -0 $server 2>/dev/null || break
    sleep 0.1
    i=$((i + 1))
done
if [ ! -s "$dir/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$dir/log" >&2
    kill $server 2>/dev/null
    rm -rf "$dir"
    exit 1
fi
DISPLAY=":$(head -n 1 "$dir/display")"
export DISPLAY
i=0
until xdpyinfo >/dev/null 2>&1 || [ $i -ge 100 ]; do
    sleep 0.1
    i=$((i + 1))
done
flock -u 4
exec 4>&-
"$@"
rc=$?
kill $server 2>/dev/null
wait $server 2>/dev/null
rm -rf "$dir"
exit $rc
