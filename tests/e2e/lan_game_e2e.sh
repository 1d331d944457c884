#!/bin/sh
# A real zervik window plays a real zervik-peer over loopback TCP under a
# private X server, driven by X input events at the window's own pixel
# places: the LAN screens, the name field, the colour buttons, a game with
# captures, a check shown by the "Шах" banner, castling, a promotion through
# the chooser and a mate, and a chat line each way. The peer's printed
# record, whose white lines are the window's own record lines, must be the
# expected one.
#
#   lan_game_e2e.sh BIN_DIR PEER ARTIFACT_DIR server|client
#
# BIN_DIR holds zervik and its skins; PEER is zervik-peer; the screenshot of
# the window after the mate is left in ARTIFACT_DIR. "server": the window
# listens and the peer connects; "client": the peer listens and the window
# connects. Needs Xvfb, xdotool and ImageMagick's import (Debian: xvfb xauth
# xdotool imagemagick).
set -eu

bin=$1
peer=$2
artifacts=$3
mode=$4

fail() {
  echo "lan_game_e2e: $*" >&2
  [ -f "${peer_out:-/nonexistent}" ] && { echo "--- peer output ---" >&2; cat "$peer_out" >&2; }
  exit 1
}

for tool in Xvfb xdotool import identify; do
  command -v "$tool" >/dev/null 2>&1 ||
    fail "$tool is missing (apt-get install xvfb xauth xdotool imagemagick)"
done
[ -x "$bin/zervik" ] || fail "$bin/zervik is not built"
[ -x "$peer" ] || fail "$peer is not built"

work=$(mktemp -d)
peer_out=$work/peer.out
xvfb_pid=
app_pid=
peer_pid=
cleanup() {
  for pid in $app_pid $peer_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# ---- The game ----
# White is the window, black the peer. Squares are (file, rank) of white's
# view, which is the window's.
white_moves="d2d4 d4e5 c2c3 h2h4 h4h5 h5h6 h6g7 g7h8q e2e4 f1c4 g1h3 e1g1 d1f3 f3f7"
black_moves="e7e5 f8b4 b4a5 b8c6 a7a6 b7b6 a8b8 b8b7 b7b8 b8b7 b7b8 b8b7 b7b8"
expected_record="Начало новой игры.
1. d4
1. e5
Peer: good luck
2. dxe5
2. Сb4+
3. c3
3. Сa5
4. h4
4. Кc6
5. h5
5. a6
Tester: hello
6. h6
6. b6
7. hxg7
7. Лb8
8. gxh8Ф
8. Лb7
9. e4
9. Лb8
10. Сc4
10. Лb7
11. Кh3
11. Лb8
12. 0-0
12. Лb7
13. Фf3
13. Лb8
14. Фxf7++
1-0"

# ---- The X server and the window ----
# Xvfb picks a free display itself, so that runs side by side never meet.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
tries=0
until [ -s "$work/display" ]; do
  tries=$((tries + 1))
  [ $tries -gt 100 ] && fail "Xvfb did not start"
  sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"
tries=0
until xdotool getmouselocation >/dev/null 2>&1; do
  tries=$((tries + 1))
  [ $tries -gt 100 ] && fail "Xvfb does not answer"
  sleep 0.1
done

# A private runtime folder: the settings file lies beside the executable.
mkdir "$work/app"
cp -R "$bin/." "$work/app/"
rm -f "$work/app/zervik.INI"

start_peer() {
  QT_QPA_PLATFORM=offscreen "$peer" "$@" --name Peer --colour black --moves "$black_moves" --chat "good luck" \
    >"$peer_out" 2>&1 &
  peer_pid=$!
}

if [ "$mode" = client ]; then
  start_peer --listen 0
  tries=0
  until grep -q '^listening: ' "$peer_out" 2>/dev/null; do
    tries=$((tries + 1))
    [ $tries -gt 100 ] && fail "the peer did not listen"
    sleep 0.1
  done
  lan_port=$(sed -n 's/^listening: //p' "$peer_out" | head -n 1)
else
  lan_port=0  # the window's server takes any free port; it is read back below
fi
printf '[Options]\r\nLANPort=%s\r\n[Player]\r\nServer_ip=127.0.0.1\r\nName=\r\n' "$lan_port" \
  >"$work/app/zervik.INI"

(cd "$work/app" && QT_QPA_PLATFORM=xcb exec ./zervik) >"$work/app.log" 2>&1 &
app_pid=$!
tries=0
until window=$(xdotool search --pid "$app_pid" --name '^Zervik$' 2>/dev/null | head -n 1) &&
  [ -n "$window" ]; do
  tries=$((tries + 1))
  [ $tries -gt 100 ] && fail "the zervik window did not appear"
  sleep 0.1
done
xdotool windowmove "$window" 0 0
# The panel's transitions take about a third of a second; the waits
# below leave room for a machine busy with other tests.
sleep 2  # the first panel opens

# ---- Input at client pixels of the window ----
click() {
  xdotool mousemove --window "$window" "$1" "$2"
  sleep 0.1
  xdotool click 1
  sleep 0.1
}
square_x() { echo $((44 + ($1 - 1) * 60)); }
square_y() { echo $((44 + (8 - $1) * 60)); }
file_number() { printf '%d' "'$1" | awk '{ print $1 - 96 }'; }
# Drags the piece of a move "e2e4" with the left button.
drag() {
  fx=$(square_x "$(file_number "$(echo "$1" | cut -c1)")")
  fy=$(square_y "$(echo "$1" | cut -c2)")
  tx=$(square_x "$(file_number "$(echo "$1" | cut -c3)")")
  ty=$(square_y "$(echo "$1" | cut -c4)")
  xdotool mousemove --window "$window" "$fx" "$fy"
  sleep 0.1
  xdotool mousedown 1
  sleep 0.1
  xdotool mousemove --window "$window" $(((fx + tx) / 2)) $(((fy + ty) / 2))
  sleep 0.1
  xdotool mousemove --window "$window" "$tx" "$ty"
  sleep 0.1
  xdotool mouseup 1
  sleep 0.2
}
# The TCP port process $1 listens on, read back from /proc: the sockets
# among its open files, matched against the kernel's listening sockets.
listening_port() {
  inodes=$(ls -l "/proc/$1/fd" 2>/dev/null | sed -n 's/.*socket:\[\([0-9]*\)\]$/\1/p' | tr '\n' ' ')
  [ -n "$inodes" ] || return 0
  cat /proc/net/tcp /proc/net/tcp6 2>/dev/null | awk -v inodes="$inodes" '
    BEGIN { n = split(inodes, list, " "); for (i = 1; i <= n; i++) own[list[i]] = 1 }
    $4 == "0A" && ($10 in own) { split($2, local, ":"); print local[2]; exit }' |
    while read -r hex; do printf '%d\n' "0x$hex"; done
}
# Record lines the peer has printed that start with a move number.
moves_printed() { grep -c '^[0-9][0-9]*\. ' "$peer_out" 2>/dev/null || true; }
wait_for_moves() {
  tries=0
  while [ "$(moves_printed)" -lt "$1" ]; do
    tries=$((tries + 1))
    [ $tries -gt 300 ] && fail "the peer's record never reached $1 move lines"
    sleep 0.1
  done
}

# ---- The LAN screens ----
click 254 241  # "Игра по локальной сети"
sleep 1.5
if [ "$mode" = client ]; then
  click 254 254  # "Подключиться"
  sleep 1.5
  click 254 266  # "ОК" with the address 127.0.0.1 from the settings
else
  click 254 229  # "Сервер"
  sleep 1.5
  tries=0
  until lan_port=$(listening_port "$app_pid") && [ -n "$lan_port" ]; do
    tries=$((tries + 1))
    [ $tries -gt 100 ] && fail "the window's server did not listen"
    sleep 0.1
  done
  start_peer --connect "127.0.0.1:$lan_port"
fi

# The name and colour screen: the peer picks black, the window types its
# name and takes white.
sleep 3
click 254 218  # the name field
xdotool key ctrl+a
xdotool type --delay 50 Tester
sleep 0.2
click 254 271  # "Белые"
# The game starts on both sides when their panels have closed.
tries=0
until grep -q '^Начало новой игры\.$' "$peer_out"; do
  tries=$((tries + 1))
  [ $tries -gt 200 ] && fail "the game did not start"
  sleep 0.1
done
sleep 1.5

# ---- The game ----
number=0
for move in $white_moves; do
  number=$((number + 1))
  if [ "$number" -eq 6 ]; then
    click 606 490  # the chat entry
    xdotool type --delay 50 hello
    xdotool key Return
    tries=0
    until grep -q '^Tester: hello$' "$peer_out"; do
      tries=$((tries + 1))
      [ $tries -gt 100 ] && fail "the chat line did not reach the peer"
      sleep 0.1
    done
  fi
  drag "$move"
  if [ "$move" = g7h8q ]; then
    sleep 0.3
    click 157 254  # the queen in the promotion chooser
  fi
  [ "$number" -eq 14 ] && break
  # The peer's answer, its glide on the board, and after the check the
  # banner, which holds the turn until it has shrunk away.
  wait_for_moves $((number * 2))
  sleep 1
  [ "$number" -eq 2 ] && sleep 2.5
done
sleep 1.5
mkdir -p "$artifacts"
shot="$artifacts/lan-game-$mode.png"
import -window "$window" "$shot" || fail "no screenshot"
# The whole window, with the board and the pieces drawn (a blank or a
# half-drawn window has a handful of colours).
set -- $(identify -format '%w %h %k' "$shot")
[ "$1" = 715 ] && [ "$2" = 508 ] || fail "the screenshot is $1 x $2, not the 715 x 508 window"
[ "$3" -gt 1000 ] || fail "the screenshot has only $3 colours"

# ---- What the peer saw ----
tries=0
while kill -0 "$peer_pid" 2>/dev/null; do
  tries=$((tries + 1))
  [ $tries -gt 300 ] && fail "the peer did not finish"
  sleep 0.1
done
peer_status=0
wait "$peer_pid" || peer_status=$?
peer_pid=
[ "$peer_status" -eq 0 ] || fail "the peer ended with $peer_status"
record=$(sed -n '/^--- record ---$/,$p' "$peer_out" | tail -n +2)
if [ "$record" != "$expected_record" ]; then
  echo "--- expected ---" >&2
  echo "$expected_record" >&2
  echo "--- the peer's record ---" >&2
  echo "$record" >&2
  fail "the record differs"
fi
echo "lan_game_e2e: $mode: the game was played as scripted; screenshot $shot"
