#!/usr/bin/env bash
# Builds the fuzz targets with clang (the fuzz preset, build-fuzz/) and runs each one for
# a short bounded time from its seeds. Fails when a target crashes, trips a sanitizer,
# leaks, or takes longer than the timeout on one input; the input is then kept under
# build-fuzz/fuzz/findings/.
#   FUZZ_SECONDS  time per target (default 30)
#   FUZZ_TIMEOUT  seconds one input may take (default 5)
#   FUZZ_TARGETS  names of the targets to run, blank-separated (default: all)
#   FUZZ_SEED     libFuzzer's random seed (default: a new one each run); CI fixes it, so
#                 that a run explores the same inputs each time and a finding is repeatable
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-30}"
timeout="${FUZZ_TIMEOUT:-5}"

if ! command -v clang++ >/dev/null; then
    echo "fuzz-smoke: clang++ is missing (scripts/setup.sh installs it)" >&2
    exit 1
fi
cmake --preset fuzz ${DIRIDU_FUZZ_CMAKE_ARGS:-} >/dev/null
cmake --build --preset fuzz

build=build-fuzz/fuzz
# Targets that take a path write each input to a file (and the settings file is written
# back and synced); in memory that costs far less than on a disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
mkdir -p "$build/findings"
failed=()
while IFS=$'\t' read -r name program seeds options; do
    [ -n "$name" ] || continue
    if [ -n "${FUZZ_TARGETS:-}" ] && [[ " $FUZZ_TARGETS " != *" $name "* ]]; then
        continue
    fi
    corpus="$build/corpus/$name"
    rm -rf "$corpus"
    mkdir -p "$corpus"
    IFS=';' read -r -a seedPaths <<<"$seeds"
    IFS=';' read -r -a extra <<<"$options"
    echo "== $name: ${seconds}s"
    if ! ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" \
        UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        QT_QPA_PLATFORM=offscreen \
        "$program" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
        ${FUZZ_SEED:+-seed="$FUZZ_SEED"} ${extra[@]+"${extra[@]}"} "$corpus" "${seedPaths[@]}" >"$build/$name.log" 2>&1; then
        echo "== $name FAILED; the log is $build/$name.log:" >&2
        grep -E "ERROR|SUMMARY|Test unit written|==[0-9]+==|timeout" "$build/$name.log" | head -20 >&2
        failed+=("$name")
    else
        grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb" "$build/$name.log" |
            tr '\n' ' '
        echo
    fi
done <"$build/targets.txt"

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz-smoke: failed: ${failed[*]}" >&2
    exit 1
fi
echo "fuzz-smoke: every target ran ${seconds}s without a finding"
