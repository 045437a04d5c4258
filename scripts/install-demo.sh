#!/usr/bin/env bash
# Puts the demo phonebook into the Wine prefix's default phonebook location, unless one is there.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
pbk_dir="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Network/Connections/Pbk"
if [ ! -f "$pbk_dir/rasphone.pbk" ]; then
  mkdir -p "$pbk_dir"
  cp resources/demo/rasphone.pbk "$pbk_dir/rasphone.pbk"
  echo "Demo phonebook installed: $pbk_dir/rasphone.pbk"
fi
