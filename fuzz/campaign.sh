#!/usr/bin/env bash
# The long fuzz campaign (`make fuzz-long`), beside the 30-second runs of
# `make test`: each fuzz target in turn for an hour (or --seconds N) on the
# corpus kept in fuzz/corpus/<target>/ and the regression inputs in
# fuzz/regressions/<target>/. Afterwards
#   - inputs that reached code the kept corpus does not are merged into
#     fuzz/corpus/<target>/ (libFuzzer's -merge=1, so only what adds coverage),
#   - every crash, leak, timeout or out-of-memory input is copied into
#     fuzz/regressions/<target>/, which the 30-second runs replay from then on,
#   - one line of figures per target (executions, coverage, new corpus inputs,
#     crashes) is printed and written to <build>/campaign/summary.txt.
# Commit what it adds to fuzz/ by hand. Exit status 1 when any target crashed.
#
#   fuzz/campaign.sh [--seconds N] [--build DIR] [TARGET...]     (TARGET: bmp config universe)
set -u
source_dir=$(cd "$(dirname "$0")/.." && pwd)
seconds=3600
build=$source_dir/build-fuzz-long
targets=()
while [ $# -gt 0 ]; do
    case $1 in
    --seconds) seconds=${2:?}; shift 2 ;;
    --seconds=*) seconds=${1#*=}; shift ;;
    --build) build=${2:?}; shift 2 ;;
    --build=*) build=${1#*=}; shift ;;
    -h | --help) sed -n '2,16p' "$0"; exit 0 ;;
    -*) echo "campaign: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
    esac
done
case $seconds in '' | *[!0-9]*) echo "campaign: --seconds wants a whole number" >&2; exit 2 ;; esac
[ ${#targets[@]} -gt 0 ] || targets=(bmp config universe)

mkdir -p "$build"
CC=${CC:-clang-14} CXX=${CXX:-clang++-14} cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORRERY_FUZZ=ON >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
for t in "${targets[@]}"; do
    cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target "fuzz_$t" || exit 1
done

out=$build/campaign
mkdir -p "$out"
summary=$out/summary.txt
{
    echo "fuzz campaign $(date -u +%Y-%m-%dT%H:%MZ), $seconds s per target, commit $(git -C "$source_dir" rev-parse --short HEAD 2>/dev/null)"
    echo "$(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
    printf '%-9s %12s %9s %7s %7s %9s %8s\n' target executions "exec/s" cov ft "+corpus" crashes
} | tee "$summary"
crashed=0
for t in "${targets[@]}"; do
    bin=$build/fuzz/fuzz_$t
    kept=$source_dir/fuzz/corpus/$t
    regressions=$source_dir/fuzz/regressions/$t
    work=$out/$t
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts" "$kept"
    cp -r "$kept/." "$work/corpus/"
    inputs=("$work/corpus")
    [ -d "$regressions" ] && inputs+=("$regressions")
    before=$(find "$kept" -type f | wc -l)
    # -fork keeps fuzzing past a crash, so an hour finds more than the first.
    ASAN_OPTIONS=detect_leaks=1 "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
        -artifact_prefix="$work/artifacts/" "${inputs[@]}" >"$work/log.txt" 2>&1
    # What adds coverage to the kept corpus, and nothing else.
    "$bin" -merge=1 -rss_limit_mb=2048 -timeout=10 "$kept" "$work/corpus" >"$work/merge.txt" 2>&1
    after=$(find "$kept" -type f | wc -l)
    crashes=0
    for f in "$work/artifacts/"*; do
        [ -f "$f" ] || continue
        mkdir -p "$regressions"
        cp "$f" "$regressions/"
        crashes=$((crashes + 1))
    done
    [ $crashes -gt 0 ] && crashed=1
    # The fork mode's own totals: "#N DONE cov: C ft: F corp: ... exec/s: E".
    done_line=$(grep -E '^#[0-9]+: cov: [0-9]+ ft: [0-9]+' "$work/log.txt" | tail -n 1)
    execs=$(sed -n 's/^#\([0-9]*\):.*/\1/p' <<<"$done_line")
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
    # Fork mode's own exec/s is the last job's; the run's average says more.
    secs=$(sed -n 's/.* time: \([0-9]*\)s.*/\1/p' <<<"$done_line")
    rate=
    [ -n "$execs" ] && [ "${secs:-0}" -gt 0 ] && rate=$((execs / secs))
    printf '%-9s %12s %9s %7s %7s %9s %8s\n' "$t" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" \
        "+$((after - before))" "$crashes" | tee -a "$summary"
done
echo "logs in $out; new corpus inputs and regressions are in fuzz/ to commit"
exit $crashed
