#!/usr/bin/env bash
# Builds the ticker and runs it on the bundled sample feed, served on 127.0.0.1.
# With a display it runs until you choose "Exit Ticker"; without one it starts Xvfb, lets the
# ticker scroll for about ten seconds, saves a screenshot into the build folder and exits.
#
# --build-dir DIR runs the ticker already built in DIR (its src/ticker) instead of building
# the release configuration; the run folder and the screenshot then go into DIR.
# --feed NAME runs it on another sample feed of resources/feeds/tallowmere.example (world.php:
# headlines in many scripts).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=""
feed="rss.php"
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build=$(cd "$2" && pwd); shift 2 ;;
    --feed) feed=$2; shift 2 ;;
    *) echo "usage: scripts/run.sh [--build-dir DIR] [--feed NAME]" >&2; exit 2 ;;
  esac
done
if [ -z "$build" ]; then
  scripts/build.sh release ticker >&2
  build="$root/build/release"
fi
run="$build/run"
mkdir -p "$run"
cp -f "$build/src/ticker" "$run/ticker"

running() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}

cleanup() {
  # The ticker first, while its display is still there: it saves its position as it ends.
  if [ -n "${ticker_pid:-}" ] && kill "$ticker_pid" 2>/dev/null; then
    for _ in $(seq 100); do running "$ticker_pid" || break; sleep 0.05; done
  fi
  for pid in ${server_pid:-} ${bus_pid:-} ${wm_pid:-} ${xvfb_pid:-}; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap cleanup EXIT

# The sample feed server, on a free port; the home domain stands in the path of its URL.
# The port file of an earlier run names a port no one listens on any more: wait for this
# server's own.
rm -f "$run/server.port"
python3 "$root/tools/feedserver.py" --root "$root/resources/feeds" --port 0 \
  --port-file "$run/server.port" --log "$run/server.log" >/dev/null &
server_pid=$!
for _ in $(seq 200); do [ -s "$run/server.port" ] && break; sleep 0.05; done
[ -s "$run/server.port" ] || { echo "the feed server did not start" >&2; exit 1; }
port=$(cat "$run/server.port")
[ -f "resources/feeds/tallowmere.example/$feed" ] || { echo "no sample feed $feed" >&2; exit 2; }
url="http://127.0.0.1:$port/tallowmere.example/$feed"

# Point the ticker at the sample feed, keeping any position saved by an earlier run.
settings="$run/RSS_settings.ini"
if [ -f "$settings" ] && grep -q '^Default URL=' "$settings"; then
  sed -i "s|^Default URL=.*|Default URL=$url|" "$settings"
else
  printf '[Options]\nDefault URL=%s\n' "$url" >"$settings"
fi
echo "Feed: $url (server log: $run/server.log)" >&2

if [ -n "${DISPLAY:-}" ]; then
  "$run/ticker" &
  ticker_pid=$!
  wait "$ticker_pid"
  exit 0
fi

# No display: a virtual one, with a window manager, and a screenshot after ten seconds.
rm -f "$run/display"
Xvfb -displayfd 3 -screen 0 1024x200x24 -nolisten tcp 3>"$run/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$run/display" ] && break; sleep 0.05; done
[ -s "$run/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$run/display")"
# The ticker starts once the window manager has taken the screen: a window mapped while
# openbox is still starting may never be managed, nor shown. On a busy machine openbox now and
# then ends at once; it is started again until one runs.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
for _ in $(seq 10); do
  openbox --sm-disable >/dev/null 2>&1 &
  wm_pid=$!
  for _ in $(seq 600); do
    wm_running || ! running "$wm_pid" && break
    sleep 0.05
  done
  running "$wm_pid" && break
done
wm_running || { echo "the window manager did not start" >&2; exit 1; }
export XDG_RUNTIME_DIR="$run/xdg-runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# A session bus of the run's own, ended with it: without one, on a machine with dbus-x11 the
# D-Bus library would start a bus for the ticker that outlives the run.
rm -f "$run/bus"
dbus-daemon --config-file="$root/tools/session-bus.conf" --nofork --print-address=1 \
  --address="unix:dir=$XDG_RUNTIME_DIR" >"$run/bus" 2>/dev/null &
bus_pid=$!
for _ in $(seq 200); do [ -s "$run/bus" ] && break; sleep 0.05; done
[ -s "$run/bus" ] || { echo "the session bus did not start" >&2; exit 1; }
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$run/bus")
export DBUS_SESSION_BUS_ADDRESS
"$run/ticker" &
ticker_pid=$!
# Ten seconds of scrolling from the moment the strip shows (start-up loads the feed first).
shown=""
for _ in $(seq 600); do
  xdotool search --onlyvisible --pid "$ticker_pid" >/dev/null 2>&1 && { shown=1; break; }
  running "$ticker_pid" || { echo "the ticker ended at start-up" >&2; exit 1; }
  sleep 0.05
done
[ -n "$shown" ] || { echo "the strip did not show within 30 seconds" >&2; exit 1; }
sleep 10
shot="$build/screenshot.png"
import -window root "$shot"
echo "$shot"
