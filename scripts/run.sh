#!/usr/bin/env bash
# Starts Tessaline under Wine. With a display the program runs until you close it; without one
# a virtual display is started, the window shown, a screenshot saved under build/, and the
# program ended.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
BIN=build/win64/bin
SHOTS=build/screenshots

interactive=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then interactive=1; fi
[ $interactive -eq 1 ] || xvfb_start
trap 'wine_stop; xvfb_stop' EXIT
wine_prepare
[ -x scripts/install-demo.sh ] && scripts/install-demo.sh

if [ $interactive -eq 1 ]; then
  (cd "$BIN" && "$WINE64" Tessaline.exe)
  exit $?
fi

mkdir -p "$SHOTS"
(cd "$BIN" && exec "$WINE64" Tessaline.exe) &
pid=$!
if ! timeout 60 xdotool search --sync --onlyvisible --name 'Tessaline' >/dev/null 2>&1; then
  echo "The main window did not appear." >&2
  kill $pid 2>/dev/null
  exit 1
fi
sleep 1
shot="$SHOTS/tessaline.png"
import -window root -crop 640x300+192+200 +repage "$shot" 2>/dev/null || import -window root "$shot"
echo "No display: ran on a virtual one. Screenshot: $shot"
kill $pid 2>/dev/null
wait $pid 2>/dev/null
exit 0
