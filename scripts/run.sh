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
if [ $interactive -eq 1 ]; then wine_session keep_display; else wine_session; fi
[ -x scripts/install-demo.sh ] && scripts/install-demo.sh

if [ $interactive -eq 1 ]; then
  (cd "$BIN" && "$WINE64" Tessaline.exe)
  exit $?
fi

mkdir -p "$SHOTS"
rm -f "$SHOTS"/*.png
(cd "$BIN" && exec "$WINE64" Tessaline.exe) &
pid=$!
# No display: a short scripted tour, one screenshot per stage.
winshots=$("$WINE64" winepath -w "$SHOTS" 2>/dev/null | tr -d '\r')
if ! (cd "$BIN" && "$WINE64" tess_tour.exe "Quick Test Line" "$winshots" | tr -d '\r'); then
  echo "The tour did not complete." >&2
fi
wait $pid 2>/dev/null
for bmp in "$SHOTS"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo "No display: ran on a virtual one. Screenshots of each stage: $SHOTS/"
ls -1 "$SHOTS"
exit 0
