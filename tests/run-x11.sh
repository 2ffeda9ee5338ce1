#!/bin/sh
# Runs one test program under a private X server of its own. The server picks a
# free display itself (-displayfd), so test programs and developers running tests
# at the same time never race for a display number.
dir=$(mktemp -d /tmp/tinctor-x11-XXXXXX) || exit 1
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
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
"$@"
rc=$?
kill $server 2>/dev/null
wait $server 2>/dev/null
rm -rf "$dir"
exit $rc
