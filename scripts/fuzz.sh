#!/usr/bin/env bash
# scripts/fuzz.sh SECONDS [TARGET...]: builds every libFuzzer target of fuzz/ with the address and
# undefined-behaviour sanitizers into build-fuzz/ and runs each for SECONDS, starting
# from its checked-in seeds. A crash, a leak of the project's own or a timeout stops
# with a non-zero exit; the input that did it is left in build-fuzz/artifacts/<target>/.
# Named targets (folders of fuzz/) run alone.
set -euo pipefail
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
only=("$@")
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

command -v clang++ >/dev/null || "$root/scripts/setup-debian.sh" clang
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=true
launcher=()
mkdir -p "$build"
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >"$build/build.log" 2>&1 \
    || { cat "$build/build.log"; exit 1; }
cmake --build "$build" -j2 >>"$build/build.log" 2>&1 || { tail -40 "$build/build.log"; exit 1; }

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan-suppressions.txt
export QT_QPA_PLATFORM=offscreen

targets=0 runs=0 crashes=0
for source in "$root"/fuzz/*/; do
    name=$(basename "$source")
    if [ ${#only[@]} -gt 0 ] && [[ ! " ${only[*]} " =~ " $name " ]]; then
        continue
    fi
    binary=$build/fuzz_$name
    [ -x "$binary" ] || continue
    corpus=$build/corpus/$name artifacts=$build/artifacts/$name
    mkdir -p "$corpus" "$artifacts"
    cp -n "$source"corpus/* "$corpus"/ 2>/dev/null || true
    log=$build/$name.log
    status=0
    "$binary" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$artifacts/" -print_final_stats=1 >"$log" 2>&1 || status=$?
    count=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    count=${count:-0}
    targets=$((targets + 1)) runs=$((runs + count))
    if [ "$status" -ne 0 ]; then
        crashes=$((crashes + 1))
        echo "$name: FAILED after $count runs (exit $status); see $log and $artifacts/"
        grep -m5 -E "ERROR|property broken|SUMMARY" "$log" || true
    else
        echo "$name: $count runs, no crash"
    fi
done
echo "$targets targets, $runs runs, $crashes crashes"
[ "$crashes" -eq 0 ]
