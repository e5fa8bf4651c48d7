#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, with AddressSanitizer and UndefinedBehaviorSanitizer) into
# build-fuzz/ and runs each for a bounded time, starting from its seed corpus in fuzz/corpus/.
# A crash, a hang, a leak or a sanitizer report fails the run; the input that caused it is kept in
# build-fuzz/artifacts/. Usage: scripts/fuzz.sh [target ...]   (default: every target)
# BRENLOW_FUZZ_SECONDS sets the time per target (default 20).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BRENLOW_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${BRENLOW_FUZZ_SECONDS:-20}"
"$root/scripts/deps.sh"
if [ ! -f "$build/build.ninja" ]; then
    CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DBRENLOW_SANITIZE=ON -DBRENLOW_FUZZ=ON -DBRENLOW_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target fuzzers

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for dir in "$root"/fuzz/corpus/*/; do
        targets+=("$(basename "$dir")")
    done
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
mkdir -p "$build/artifacts"
failed=()
for t in "${targets[@]}"; do
    work="$(mktemp -d)"
    echo "== $t (${seconds}s)"
    # New inputs go to the scratch folder; the committed seeds are only read.
    if ! "$build/bin/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -artifact_prefix="$build/artifacts/$t-" -print_final_stats=1 "$work" "$root/fuzz/corpus/$t" \
        >"$build/artifacts/$t.log" 2>&1; then
        failed+=("$t")
        tail -n 60 "$build/artifacts/$t.log"
    else
        grep -E '^(stat::number_of_executed_units|stat::new_units_added)' "$build/artifacts/$t.log" || true
    fi
    rm -rf "$work"
done
if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzzing found problems in: ${failed[*]}"
    exit 1
fi
echo "Fuzzing: no findings in ${#targets[@]} targets."
