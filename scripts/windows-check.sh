#!/usr/bin/env bash
# Checks that every source meant for Windows compiles there: Debian's mingw-w64 cross
# compiler parses each one against the Qt headers with -fsyntax-only. Qt for Windows
# cannot be installed here, so the Linux Qt headers stand in; with the Windows target
# they take their Windows branches (Q_OS_WIN). Reports the first source with an error.
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

# Boost.CRC is header-only and the same on every system: the Debian headers serve.
ln -s /usr/include/boost "$work/include/boost"
# So is libdeflate's one header.
ln -s /usr/include/libdeflate.h "$work/include/libdeflate.h"
includes=(-I"$work/include" -I"$root")
while read -r folder; do includes+=(-I"$folder"); done < <(
    find "$root/app" "$root/component" "$root/controls" -name '*.h' -printf '%h\n' | sort -u)
for module in QtCore QtGui QtWidgets QtSerialPort QtNetwork; do includes+=(-I"$qt/$module"); done

# The definitions the build gives each source (a program name, an application id),
# from a configure-only run; a Windows-only source takes those of its folder.
cmake -S "$root" -B "$work/cmake" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >"$work/cmake.log" 2>&1 \
    || { cat "$work/cmake.log"; exit 1; }
definitions_of() {
    python3 - "$work/cmake/compile_commands.json" "$1" <<'PY'
import json, os, shlex, sys
commands, source = json.load(open(sys.argv[1])), os.path.realpath(sys.argv[2])
def definitions(entry):
    return [arg for arg in shlex.split(entry["command"]) if arg.startswith("-D")]
exact = [e for e in commands if os.path.realpath(e["file"]) == source]
near = [e for e in commands if os.path.dirname(os.path.realpath(e["file"])) == os.path.dirname(source)]
print("\n".join(definitions((exact or near or [{"command": ""}])[0])))
PY
}

# Each source is parsed on its own, as many at once as there are processors; a source
# that fails leaves its errors in errors/ for the report.
check() {
    local source=$1
    local log=$work/errors/$(echo "${source#"$root"/}" | tr / ,).txt
    local definitions
    mapfile -t definitions < <(definitions_of "$source")
    "$compiler" -std=c++17 -fsyntax-only -Wno-attributes -DUNICODE -D_UNICODE "${definitions[@]}" \
        -I"$qt" "${includes[@]}" "$source" 2>"$log" && rm -f "$log"
}
mkdir -p "$work/errors"
parallel=$(nproc)
sources=$(find "$root/app" "$root/component" "$root/controls" -name '*.cpp' ! -name '*_unix.cpp' | sort)
count=0
for source in $sources; do
    check "$source" &
    count=$((count + 1))
    while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n || true; done
done
wait
for log in "$work"/errors/*.txt; do
    [ -e "$log" ] || continue
    echo "windows-check: $(basename "$log" .txt | tr , /) does not compile for Windows:"
    head -40 "$log"
    exit 1
done
echo "windows-check: $count sources compile for Windows"
