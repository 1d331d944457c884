#!/bin/sh
# Takes a screenshot of the zervik window under a private X server.
#
#   tools/screenshot.sh [BUILD_DIR] [OUTPUT_PNG] [INI_LINES...]
#
# BUILD_DIR defaults to ./build, OUTPUT_PNG to docs/screenshot.png. The
# program runs from BUILD_DIR/bin, where the build copies the skins, with a
# settings file of its own (any INI_LINES, e.g. "DrawHV=1", go into its
# [Options] section) so that the user's zervik.INI is left alone. Needs
# Xvfb, xdotool and ImageMagick (Debian: xvfb xauth xdotool imagemagick).
set -eu

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build}
output=${2:-$repo/docs/screenshot.png}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] && shift

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null 2>&1 || {
    echo "screenshot.sh: $tool is missing (apt-get install xvfb xauth xdotool imagemagick)" >&2
    exit 1
  }
done
[ -x "$build/bin/zervik" ] || { echo "screenshot.sh: $build/bin/zervik is not built" >&2; exit 1; }

# A private copy of the runtime folder: the INI file lies beside the
# executable, and the user's own must not change.
work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

cp -R "$build/bin/." "$work/"
rm -f "$work/zervik.INI"
if [ $# -gt 0 ]; then
  { echo "[Options]"; for line in "$@"; do echo "$line"; done; } > "$work/zervik.INI"
fi

# A free display number: the first without a lock file.
display=99
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!

export DISPLAY=":$display"
tries=0
until xdotool getmouselocation >/dev/null 2>&1; do
  tries=$((tries + 1))
  [ $tries -gt 100 ] && { echo "screenshot.sh: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done

(cd "$work" && QT_QPA_PLATFORM=xcb exec ./zervik) >/dev/null 2>&1 &
app_pid=$!

tries=0
until window=$(xdotool search --name '^Zervik$' 2>/dev/null | head -n 1) && [ -n "$window" ]; do
  tries=$((tries + 1))
  [ $tries -gt 300 ] && { echo "screenshot.sh: the zervik window did not appear" >&2; exit 1; }
  sleep 0.1
done
# Long enough for the first dialog panel to finish its opening.
sleep 1.5

mkdir -p "$(dirname "$output")"
import -window root -crop "$(xdotool getwindowgeometry --shell "$window" |
  awk -F= '/^WIDTH/{w=$2}/^HEIGHT/{h=$2}/^X/{x=$2}/^Y/{y=$2}END{printf "%sx%s+%s+%s", w, h, x, y}')" \
  +repage "$output"
echo "screenshot.sh: wrote $output"
