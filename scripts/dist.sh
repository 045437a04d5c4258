#!/usr/bin/env bash
# Builds what a Windows user downloads: for each target a zip holding the program alone and a
# short text, then checks each zip's contents and that the program imports only the platform's
# known DLLs (docs/app.md: every other library is loaded from the system folder at run time).
set -euo pipefail
cd "$(dirname "$0")/.."
VERSION=1.01
OUT=build/dist
# The platform's known DLLs the program may import: the loader never looks for them beside the
# program. Any other import would be resolved before the program's entry restricts the search.
KNOWN_DLLS="advapi32.dll kernel32.dll msvcrt.dll"

rm -rf "$OUT"
mkdir -p "$OUT"
status=0
for target in win64:x86_64 win32:i686; do
  name=${target%%:*} arch=${target#*:}
  stage="$OUT/tessaline-$VERSION-$name"
  mkdir -p "$stage"
  cp "build/$name/bin/Tessaline.exe" "$stage/"
  "$arch-w64-mingw32-strip" "$stage/Tessaline.exe"  # symbols are for our debugging, not the download
  sed 's/$/\r/' resources/dist/README.txt >"$stage/README.txt"  # read on Windows: CR LF
  zip="tessaline-$VERSION-$name.zip"
  (cd "$stage" && cmake -E tar cf "../$zip" --format=zip Tessaline.exe README.txt)

  echo "== $zip"
  contents=$(cd "$OUT" && cmake -E tar tf "$zip" | sort | tr '\n' ' ')
  echo "contents: $contents"
  [ "$contents" = "README.txt Tessaline.exe " ] || { echo "unexpected contents" >&2; status=1; }

  imports=$("$arch-w64-mingw32-objdump" -p "$stage/Tessaline.exe" | awk '/DLL Name:/ {print $3}' | sort)
  echo "imports: $(echo $imports)"
  for dll in $imports; do  # DLL names are case-insensitive
    case " $KNOWN_DLLS " in *" ${dll,,} "*) ;; *) echo "not a known DLL: $dll" >&2; status=1 ;; esac
  done
done
exit $status
