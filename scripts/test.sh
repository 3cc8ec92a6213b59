#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (offscreen; no display,
# hardware or network needed).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-debian.sh"
"$root/scripts/build.sh"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$root/build" --output-on-failure -j2
