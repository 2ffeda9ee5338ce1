#!/bin/sh
# Runs one test program under a private X server of its own.
#
# - The server picks a free display itself (-displayfd) and writes its number only
#   once it accepts clients, so nothing connects before it is ready and no two
#   servers race for a display number.
# - It never resets (-noreset). By default an X server regenerates itself whenever
#   its last client leaves, and a client that connects meanwhile has its connection
#   closed ("could not connect to display"). Between two test programs' runs the
#   server has no client at all, and on a loaded machine (other servers starting
#   beside it) the reset is slow enough to catch the next client.
# - Only clients with its cookie get in (-auth), so no program of another test run
#   or developer that happens to name the same display talks to it.
dir=$(mktemp -d /tmp/tinctor-x11-XXXXXX) || exit 1
cookie=$(mcookie) || exit 1
XAUTHORITY="$dir/auth"
export XAUTHORITY
: >"$XAUTHORITY"
# The server reads every cookie in the file whatever display it is written for.
xauth -q -f "$XAUTHORITY" add :0 . "$cookie" || exit 1
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset -auth "$XAUTHORITY" \
    3>"$dir/display" 2>"$dir/log" &
server=$!
i=0
while [ ! -s "$dir/display" ] && [ $i -lt 300 ]; do
    kill -0 $server 2>/dev/null || break
    sleep 0.1
    i=$((i + 1))
done
number=$(head -n 1 "$dir/display")
if [ -z "$number" ]; then
    echo "Xvfb did not start:" >&2
    cat "$dir/log" >&2
    kill $server 2>/dev/null
    rm -rf "$dir"
    exit 1
fi
DISPLAY=":$number"
export DISPLAY
xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$cookie"
"$@"
rc=$?
kill $server 2>/dev/null
wait $server 2>/dev/null
rm -rf "$dir"
exit $rc
