#!/usr/bin/env bash
# Installs what is missing, builds, and starts Velmora with a virtual null-modem:
# two joined pseudo-terminals mapped as Com 15 and Com 16 (unless ports.ini in the
# program folder maps those ports already). A program folder without settings gets
# settings for the null-modem, so that the first click sends "AT" from Com 15 to Com 16.
# What this script starts ends with it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-debian.sh"
"$root/scripts/build.sh"

program_folder="$root/build/Tarrock"
ports_ini="$program_folder/ports.ini"
link_folder="${XDG_RUNTIME_DIR:-/tmp}/velmora-$(id -u)"
mkdir -p "$link_folder"

socat_pid=""
cleanup() { [ -n "$socat_pid" ] && kill "$socat_pid" 2>/dev/null || true; }
trap cleanup EXIT

if ! grep -qiE '^[[:space:]]*COM1[56][[:space:]]*=' "$ports_ini" 2>/dev/null; then
    printf '# Virtual null-modem started by scripts/run.sh\nCOM15=%s/com15\nCOM16=%s/com16\n' \
        "$link_folder" "$link_folder" >> "$ports_ini"
fi
if grep -qF "$link_folder/com15" "$ports_ini"; then
    socat pty,raw,echo=0,link="$link_folder/com15" pty,raw,echo=0,link="$link_folder/com16" &
    socat_pid=$!
    for _ in $(seq 50); do [ -e "$link_folder/com16" ] && break; sleep 0.1; done
fi

# Written by the program's own settings record; the program's factory settings stay
# as they are for every other start without sysdata.dat.
if [ ! -e "$program_folder/sysdata.dat" ]; then
    "$root/build/tools-bin/velmora-sysdata" --out-port 15 --in-port 16 --line 9600,N,8,1 \
        --mode 发送通讯命令并接收数据 --command AT "$program_folder/sysdata.dat"
fi

"$program_folder/tarrock"
