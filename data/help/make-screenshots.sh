#!/bin/sh
# Remakes the screenshots of the help page (data/help/*.png) with the real program on
# a private X server with a window manager (Xvfb, openbox, xdotool, ImageMagick).
#   data/help/make-screenshots.sh [BUILD]      BUILD defaults to build
set -e
cd "$(dirname "$0")/../.."
program=${1:-build}/src/app/tinctor
out=data/help
work=$(mktemp -d /tmp/tinctor-help-XXXXXX)
trap 'kill $tinctor $wm $server 2>/dev/null; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
while [ ! -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
openbox >/dev/null 2>&1 &
wm=$!
sleep 1

# A program folder with a list to show.
mkdir -p "$work/home/Colors"
printf '[COLORS]\r\nTotal=4\r\n0=#FF8000,見出しのオレンジ\r\n1=#2E5C8A,リンクの青\r\n2=#F4F4F4,背景の灰色\r\n3=#333333,本文の文字\r\n' \
    > "$work/home/Colors/Web.clr"
TINCTOR_HOME="$work/home" "$program" >/dev/null 2>&1 &
tinctor=$!
window=""
while [ -z "$window" ]; do sleep 0.2; window=$(xdotool search --onlyvisible --name '^Tinctor$' | head -n 1); done
xdotool windowmove --sync "$window" 40 40
sleep 1
# X, Y: the client area's place on the screen.
place() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} END {print "X=" x " Y=" y}'; }
eval "$(place "$window")"
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click "${3:-1}"; sleep 0.5; }
shot() { import -window root -crop "$3x$4+$1+$2" "$out/$5"; }

# The narrow window as it opens, then wide with the list and an entry chosen.
shot $((X - 2)) $((Y - 22)) 277 192 narrow.png
click 34 155
click 330 33
shot $((X - 2)) $((Y - 22)) 482 192 main.png
# The list's pop-up menu.
click 330 45 3
shot $((X - 2)) $((Y - 22)) 560 230 list-menu.png
xdotool key Escape
# The settings dialog.
click 11 155
sleep 1
dialog=$(xdotool search --onlyvisible --name '^環境設定$' | head -n 1)
eval "$(place "$dialog")"
shot $((X - 2)) $((Y - 22)) 320 286 settings.png
xdotool key Escape
sleep 0.5
# The loupe while picking: pressed on the eyedropper and dragged over the notation buttons.
eval "$(place "$window")"
xdotool mousemove $((X + 246)) $((Y + 155)) mousedown 1
sleep 0.3
xdotool mousemove $((X + 150)) $((Y + 100)); sleep 0.2
xdotool mousemove $((X + 98)) $((Y + 153)); sleep 0.6
shot $((X - 2)) $((Y - 22)) 482 330 magnifier.png
xdotool mouseup 1
echo "screenshots in $out/"
