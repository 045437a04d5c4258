# Sourced: a Wine prefix of the project's own, quiet and non-interactive.
# Usage: . scripts/wine-env.sh; wine_prepare
TESS_ROOT="${TESS_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export WINEPREFIX="${WINEPREFIX:-$TESS_ROOT/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono/Gecko prompts; our own remote-access service (native, in the system folder) replaces
# Wine's stub.
export WINEDLLOVERRIDES="mscoree,mshtml=;rasapi32=n"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
WINE_FONTS=/usr/share/wine/fonts

# Wine's own fonts (package fonts-wine: Marlett, MS Sans Serif, Tahoma, the bitmap fonts) are not
# put into a new prefix here. Without them the frame-control glyphs (caption buttons, combo arrows,
# check marks) fall back to a text font and show as letters, and "MS Sans Serif" resolves to
# another face. Copies what the prefix lacks; a server started afterwards sees them.
wine_fonts() {
  local dest="$WINEPREFIX/drive_c/windows/Fonts" f
  [ -d "$WINE_FONTS" ] || return 0
  mkdir -p "$dest"
  for f in "$WINE_FONTS"/*; do
    [ -f "$f" ] && ! cmp -s "$f" "$dest/${f##*/}" && cp "$f" "$dest/"
  done
  return 0
}

# The prefix's settings (scripts/wine-settings.reg: the caption scheme the program's styled caption
# is made for, font replacements), imported once per prefix and again when the file changes.
# Needs the server running.
wine_settings() {
  local reg="$TESS_ROOT/scripts/wine-settings.reg" marker="$WINEPREFIX/.tess-settings"
  cmp -s "$reg" "$marker" && return 0
  "$WINE64" regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1 </dev/null && cp "$reg" "$marker"
  return 0
}

# Creates the prefix once, brings Wine's fonts into it, and leaves a persistent server running.
# Wine's helper processes would otherwise inherit the caller's output pipes and keep test runners
# waiting forever.
wine_prepare() {
  mkdir -p "$WINEPREFIX"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/.tess-ready" ]; then
    # Create the prefix first and let its server end (-w waits for that), then go persistent.
    "$WINE64" wineboot --init >/dev/null 2>&1 </dev/null || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    wine_fonts
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    # Without a window manager every window destruction waits 2 s unless windows are unmanaged.
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    touch "$WINEPREFIX/.tess-ready"
  else
    wine_fonts  # an older prefix gets them too; the server is down, so its next start sees them
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    "$WINE64" wineboot >/dev/null 2>&1 </dev/null || true
  fi
  wine_settings
}

# Our remote-access service where the platform's own is: the prefix's system folder, in place of
# Wine's placeholder for its stub (the program loads that library from the system folder only).
# Needs the prepared prefix; copies only when the file differs. Argument: the DLL (default: the
# 64-bit build's).
wine_install_service() {
  local dll="${1:-$TESS_ROOT/build/win64/rasservice/RASAPI32.DLL}" dest="$WINEPREFIX/drive_c/windows/system32"
  [ -f "$dll" ] || { echo "remote-access service not built: $dll" >&2; return 1; }
  [ -d "$dest" ] || { echo "no prepared Wine prefix at $WINEPREFIX (scripts/wine-env.sh: wine_session)" >&2; return 1; }
  cmp -s "$dll" "$dest/rasapi32.dll" || cp "$dll" "$dest/rasapi32.dll"
}

wine_stop() { "$WINESERVER" -k >/dev/null 2>&1 || true; }

# Starts Xvfb on a free display when none is given; sets XVFB_PID.
xvfb_start() {
  XVFB_PID=""
  local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local num; read -r num <"$fifo"; rm -f "$fifo"
  export DISPLAY=":$num"
}
xvfb_stop() { [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null || true; }

# A virtual display (unless keep_display=1 and one is given), the prepared prefix with our service
# installed when it is built, and both stopped when the calling script exits.
wine_session() {
  [ "${1:-}" = keep_display ] || xvfb_start
  trap 'wine_stop; xvfb_stop' EXIT
  wine_prepare
  [ -f "$TESS_ROOT/build/win64/rasservice/RASAPI32.DLL" ] && wine_install_service
  return 0
}
