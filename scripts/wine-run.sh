#!/usr/bin/env bash
# CTest's cross-compiling emulator: runs one Windows program under the project's Wine prefix.
. "$(dirname "$0")/wine-env.sh"
exec "$WINE64" "$@"
