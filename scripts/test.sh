#!/usr/bin/env bash
# Runs every test: the native suite (through CTest's entry "native-suite") and the Windows suites
# under Wine with a virtual X display that this script starts and stops.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
wine_session
ctest --test-dir build/win64 --output-on-failure -j 1
