#!/usr/bin/env bash
# Runs the benchmark programs under Wine on a virtual display and prints their figures.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
wine_session
for b in build/win64/bin/bench_*.exe; do
  [ -e "$b" ] || continue
  echo "== $(basename "$b" .exe)"
  (cd build/win64/bin && "$WINE64" "./$(basename "$b")") | tr -d '\r'
done
