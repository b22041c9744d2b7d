#!/usr/bin/env bash
# What configure.txt's hd 1 costs against hd 0, side by side in one run: frame
# time, start to first frame and peak memory of the real program code
# (bench_frame frames) at 1920x1080, in the default view of the built-in
# system and riding with Saturn in the real system of 2018-03-20 12:00 UT
# (its rings, lit, across much of the screen). hd 0 and hd 1 take turns in
# each round, each run a fresh process, so that the load of the machine falls
# on both alike; ratios and differences are taken within a round, then their
# median.
#
#   bench/bench_frame_hd.sh [--reps N] [--seconds S] [--data DIR] <build-dir>
#
# DIR holds planety_256x128x24/ and planety_hd/ (default: the tree's Data/).
# Needs an X display with GLX and a 1920x1080 screen:
#   ORRERY_XVFB_SCREEN=1920x1080x24 tests/run_with_xvfb.sh bench/bench_frame_hd.sh build-bench-rel
set -u
source_dir=$(cd "$(dirname "$0")/.." && pwd)
reps=5
seconds=3
data=$source_dir/Data
while [ $# -gt 1 ]; do
  case "$1" in
    --reps) reps=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --data) data=$(cd "$2" && pwd) || exit 2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -eq 1 ] || { echo "usage: $0 [--reps N] [--seconds S] [--data DIR] <build-dir>" >&2; exit 2; }
build=$(cd "$1" && pwd) || exit 2
[ -n "${DISPLAY:-}" ] || { echo "bench_frame_hd.sh: no DISPLAY (run it under tests/run_with_xvfb.sh)" >&2; exit 2; }
[ -x "$build/bench/bench_frame" ] || { echo "bench_frame_hd.sh: no $build/bench/bench_frame" >&2; exit 1; }
[ -d "$data/planety_hd" ] || { echo "bench_frame_hd.sh: no $data/planety_hd" >&2; exit 1; }
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1} LC_ALL=C

raw=$(mktemp -d /tmp/orrery-bench-hd.XXXXXX)
trap 'rm -rf "$raw"' EXIT
for hd in 0 1; do
  mkdir -p "$raw/hd$hd"
  printf 'width 1920\nheight 1080\nhd %d\n' "$hd" >"$raw/hd$hd/configure.txt"
  ln -s "$data" "$raw/hd$hd/Data"
done

# view NAME: the environment bench_frame reads for it.
view_env() {
  case $1 in
    default) echo "" ;;
    saturn) echo "ORRERY_BENCH_DATE=2018-03-20T12:00 ORRERY_BENCH_JUMP=7" ;;
  esac
}
views="default saturn"
value() { sed -n "s/^$1 //p" "$2" | head -n 1; }
for ((i = 1; i <= reps; i++)); do
  for v in $views; do
    for hd in 0 1; do
      # shellcheck disable=SC2046
      (cd "$raw/hd$hd" && exec env $(view_env "$v") ORRERY_BENCH_T0_US=${EPOCHREALTIME/./} \
        "$build/bench/bench_frame" frames "$seconds" 1920 1080) >"$raw/$v.hd$hd.$i" ||
        { echo "bench_frame_hd.sh: $v hd $hd run $i failed" >&2; exit 1; }
      echo "round $i, $v, hd $hd: frame $(value frame_median_ms "$raw/$v.hd$hd.$i") ms," \
        "start-up $(value startup_ms "$raw/$v.hd$hd.$i") ms, VmHWM $(value vmhwm_kb "$raw/$v.hd$hd.$i") kB" >&2
    done
  done
done

# The middle of the numbers on standard input (upper middle for an even
# count), with the lowest and highest.
median() {
  sort -g | awk '{ v[n++] = $1 } END { if (!n) { print "-"; exit } printf "%.2f [%.2f .. %.2f]", v[int(n / 2)], v[0], v[n - 1] }'
}
figure() {  # figure NAME VIEW HD [SCALE]
  for ((i = 1; i <= reps; i++)); do awk -v s="${4:-1}" -v x="$(value "$1" "$raw/$2.hd$3.$i")" 'BEGIN { print x * s }'; done | median
}
versus() {  # versus NAME VIEW ratio|difference [SCALE]: hd 1 against hd 0 of the same round
  for ((i = 1; i <= reps; i++)); do
    awk -v a="$(value "$1" "$raw/$2.hd1.$i")" -v b="$(value "$1" "$raw/$2.hd0.$i")" -v how="$3" -v s="${4:-1}" \
      'BEGIN { print how == "ratio" ? a / b : (a - b) * s }'
  done | median
}
line() { printf '  %-40s %-30s %s\n' "$1" "$2" "${3:-}"; }
echo "orrery hd benchmark: 1920x1080, $reps rounds of $seconds s of frames, hd 0 and hd 1 in turns;"
echo "median [lowest .. highest]; GL_RENDERER \"$(value gl_renderer "$raw/default.hd0.1")\""
for v in $views; do
  case $v in
    default) echo "the built-in system, default camera" ;;
    saturn) echo "riding with Saturn (key 7), 2018-03-20 12:00 UT" ;;
  esac
  line "frame time, hd 0 (ms)" "$(figure frame_median_ms "$v" 0)"
  line "frame time, hd 1 (ms)" "$(figure frame_median_ms "$v" 1)"
  line "  hd 1 / hd 0" "$(versus frame_median_ms "$v" ratio)" "goal <= 1.15"
  line "  processor time per frame, hd 1 / hd 0" "$(versus frame_cpu_ms "$v" ratio)"
  line "start to first frame, hd 0 (ms)" "$(figure startup_ms "$v" 0)"
  line "start to first frame, hd 1 (ms)" "$(figure startup_ms "$v" 1)"
  line "  hd 1 / hd 0" "$(versus startup_ms "$v" ratio)" "goal <= 1.5"
  line "  processor time to then, hd 1 / hd 0" "$(versus startup_cpu_ms "$v" ratio)"
  line "peak resident VmHWM, hd 0 (MB)" "$(figure vmhwm_kb "$v" 0 0.0009765625)"
  line "peak resident VmHWM, hd 1 (MB)" "$(figure vmhwm_kb "$v" 1 0.0009765625)"
  line "  hd 1 - hd 0 (MB)" "$(versus vmhwm_kb "$v" difference 0.0009765625)" "goal <= 64"
done
