#!/usr/bin/env bash
# What the selected body's panel and ring and the orbit lines (o) cost a
# frame, side by side in one run: bench_frame inspect renders the real
# program code with them and without in turns of five frames in one window,
# at 640x480 and at 1920x1080, riding with Jupiter in the real system of
# 2012-08-05 12:00 UT (33 bodies, 32 orbits, Jupiter's moons about it) with
# Jupiter selected. Each run is a fresh process; the ratio is taken within a
# run, then the median over the runs. Wall time per frame moves with the load
# of a shared machine, processor time far less: both are given.
#
#   bench/bench_frame_inspect.sh [--reps N] [--seconds S] <build-dir>
#
# Needs an X display with GLX and a 1920x1080 screen:
#   ORRERY_XVFB_SCREEN=1920x1080x24 tests/run_with_xvfb.sh bench/bench_frame_inspect.sh build
set -u
source_dir=$(cd "$(dirname "$0")/.." && pwd)
reps=5
seconds=4
while [ $# -gt 1 ]; do
  case "$1" in
    --reps) reps=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -eq 1 ] || { echo "usage: $0 [--reps N] [--seconds S] <build-dir>" >&2; exit 2; }
build=$(cd "$1" && pwd) || exit 2
[ -n "${DISPLAY:-}" ] || { echo "bench_frame_inspect.sh: no DISPLAY (run it under tests/run_with_xvfb.sh)" >&2; exit 2; }
[ -x "$build/bench/bench_frame" ] || { echo "bench_frame_inspect.sh: no $build/bench/bench_frame" >&2; exit 1; }
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1} LC_ALL=C

raw=$(mktemp -d /tmp/orrery-bench-inspect.XXXXXX)
trap 'rm -rf "$raw"' EXIT
sizes="640x480 1920x1080"
for size in $sizes; do
  mkdir -p "$raw/$size"
  printf 'width %d\nheight %d\n' "${size%x*}" "${size#*x}" >"$raw/$size/configure.txt"
  ln -s "$source_dir/Data" "$raw/$size/Data"
done

value() { sed -n "s/^$1 //p" "$2" | head -n 1; }
for ((i = 1; i <= reps; i++)); do
  for size in $sizes; do
    (cd "$raw/$size" && exec env ORRERY_BENCH_DATE=2012-08-05T12:00 ORRERY_BENCH_JUMP=6 ORRERY_BENCH_INSPECT=6 \
      "$build/bench/bench_frame" inspect "$seconds" "${size%x*}" "${size#*x}") >"$raw/$size.$i" 2>/dev/null ||
      { echo "bench_frame_inspect.sh: $size run $i failed" >&2; exit 1; }
    echo "run $i, $size: without $(value inspect_off_median_ms "$raw/$size.$i") ms," \
      "with $(value inspect_on_median_ms "$raw/$size.$i") ms" >&2
  done
done

median() {
  sort -g | awk '{ v[n++] = $1 } END { if (!n) { print "-"; exit } printf "%.3f [%.3f .. %.3f]", v[int(n / 2)], v[0], v[n - 1] }'
}
figure() {  # figure SIZE NAME
  for ((i = 1; i <= reps; i++)); do value "$2" "$raw/$1.$i"; done | median
}
ratio() {  # ratio SIZE KIND: with against without in the same run
  for ((i = 1; i <= reps; i++)); do
    awk -v a="$(value "inspect_on_$2" "$raw/$1.$i")" -v b="$(value "inspect_off_$2" "$raw/$1.$i")" 'BEGIN { print a / b }'
  done | median
}
echo "Frame (Update+Render), medians of $reps runs of ${seconds} s, riding with Jupiter on 2012-08-05 12:00 UT, Jupiter selected"
printf '  %-10s %-6s %-28s %-28s %s\n' size "" "without (ms)" "panel, ring, orbits (ms)" "ratio (same run)"
for size in $sizes; do
  printf '  %-10s %-6s %-28s %-28s %s\n' "$size" wall "$(figure "$size" inspect_off_median_ms)" \
    "$(figure "$size" inspect_on_median_ms)" "$(ratio "$size" median_ms)"
  printf '  %-10s %-6s %-28s %-28s %s\n' "" cpu "$(figure "$size" inspect_off_cpu_ms)" \
    "$(figure "$size" inspect_on_cpu_ms)" "$(ratio "$size" cpu_ms)"
done
