#!/usr/bin/env bash
# Checks that every source meant for Windows compiles there: Debian's mingw-w64 cross
# compiler parses each one against the Qt headers with -fsyntax-only. Qt for Windows
# cannot be installed here, so the Linux Qt headers stand in; with the Windows target
# they take their Windows branches (Q_OS_WIN). Stops at the first source with an error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$root/build-windows-check
compiler=x86_64-w64-mingw32-g++-posix
command -v "$compiler" >/dev/null || "$root/scripts/setup-debian.sh" g++-mingw-w64-x86-64-posix
qt=/usr/include/x86_64-linux-gnu/qt6

# The headers the build generates, as the Windows build would have them.
rm -rf "$work" && mkdir -p "$work/include"
grep -rhoE '#include [<"][a-z]+_export\.h[>"]' "$root/app" "$root/component" "$root/controls" \
    | sed -E 's/.*[<"]([a-z]+)_export\.h.*/\1/' | sort -u | while read -r base; do
    upper=$(echo "$base" | tr '[:lower:]' '[:upper:]')
    printf '#pragma once\n#define %s_EXPORT __declspec(dllimport)\n' "$upper" >"$work/include/${base}_export.h"
done
for template in $(find "$root/app" "$root/component" "$root/controls" -name '*.h.in'); do
    sed 's/@[A-Z_]*VERSION[A-Z_]*@/1/g' "$template" >"$work/include/$(basename "${template%.in}")"
done

includes=(-I"$work/include" -I"$root")
while read -r folder; do includes+=(-I"$folder"); done < <(
    find "$root/app" "$root/component" "$root/controls" -name '*.h' -printf '%h\n' | sort -u)
for module in QtCore QtGui QtWidgets QtSerialPort; do includes+=(-I"$qt/$module"); done

sources=$(find "$root/app" "$root/component" "$root/controls" -name '*.cpp' ! -name '*_unix.cpp' | sort)
count=0
for source in $sources; do
    if ! "$compiler" -std=c++17 -fsyntax-only -DUNICODE -D_UNICODE -I"$qt" "${includes[@]}" "$source" \
         2>"$work/errors.txt"; then
        echo "windows-check: ${source#"$root"/} does not compile for Windows:"
        head -40 "$work/errors.txt"
        exit 1
    fi
    count=$((count + 1))
done
echo "windows-check: $count sources compile for Windows"
