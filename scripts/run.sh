#!/usr/bin/env bash
# Builds the ticker and runs it on the bundled sample feed, served on 127.0.0.1.
# With a display it runs until you choose "Exit Ticker"; without one it starts Xvfb, lets the
# ticker scroll for about ten seconds, saves a screenshot into the build folder and exits.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/build.sh release >&2

build="$root/build/release"
run="$build/run"
mkdir -p "$run"
cp -f "$build/src/ticker" "$run/ticker"

cleanup() {
  for pid in ${ticker_pid:-} ${server_pid:-} ${wm_pid:-} ${xvfb_pid:-}; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap cleanup EXIT

# The sample feed server, on a free port; the home domain stands in the path of its URL.
python3 "$root/tools/feedserver.py" --root "$root/resources/feeds" --port 0 \
  --port-file "$run/server.port" --log "$run/server.log" >/dev/null &
server_pid=$!
for _ in $(seq 100); do [ -s "$run/server.port" ] && break; sleep 0.05; done
port=$(cat "$run/server.port")
url="http://127.0.0.1:$port/tallowmere.example/rss.php"

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
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
export XDG_RUNTIME_DIR="$run/xdg-runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$run/ticker" &
ticker_pid=$!
sleep 10
shot="$build/screenshot.png"
import -window root "$shot"
echo "$shot"
