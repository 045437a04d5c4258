#!/usr/bin/env bash
# Builds what a Windows user downloads: for each target a zip holding the program alone and a
# short text, then checks each zip's contents and that the program imports system DLLs only.
set -euo pipefail
cd "$(dirname "$0")/.."
VERSION=1.01
OUT=build/dist
# What Windows itself provides; anything else beside the program would have to be shipped.
SYSTEM_DLLS="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll version.dll"

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
    case " $SYSTEM_DLLS " in *" ${dll,,} "*) ;; *) echo "not a system DLL: $dll" >&2; status=1 ;; esac
  done
done
exit $status
