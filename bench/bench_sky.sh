#!/usr/bin/env bash
# What the star sky costs against the sky it replaced, in the same run: frame
# time, start to first frame and peak memory of the real program code
# (bench_frame frames) at 1920x1080 with the default camera, for the old
# 256x128 sky and for star skies of several widths made by the texture tool.
# The candidates take turns within each round, so that the load of the
# machine falls on all of them alike; ratios are taken within a round. Each
# star sky also runs in one process with the old sky, frames of the two in
# turns (bench_frame skies), which a busy machine disturbs least.
#
#   bench/bench_sky.sh [--reps N] [--seconds S] [--widths "2048 4096 8192"] <build-dir>
#
# Needs an X display with GLX and a 1920x1080 screen:
#   ORRERY_XVFB_SCREEN=1920x1080x24 tests/run_with_xvfb.sh bench/bench_sky.sh build-bench-rel
# The old sky comes from the commit before the star sky (git show), unless
# ORRERY_OLD_SKY names a BMP file.
set -u
source_dir=$(cd "$(dirname "$0")/.." && pwd)
reps=5
seconds=3
widths="2048 4096 8192"
while [ $# -gt 1 ]; do
  case "$1" in
    --reps) reps=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --widths) widths=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -eq 1 ] || { echo "usage: $0 [--reps N] [--seconds S] [--widths \"W ...\"] <build-dir>" >&2; exit 2; }
build=$(cd "$1" && pwd) || exit 2
[ -n "${DISPLAY:-}" ] || { echo "bench_sky.sh: no DISPLAY (run it under tests/run_with_xvfb.sh)" >&2; exit 2; }
for tool in bench/bench_frame tools/gen_sky; do
  [ -x "$build/$tool" ] || { echo "bench_sky.sh: no $build/$tool" >&2; exit 1; }
done
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1} LC_ALL=C

raw=$(mktemp -d /tmp/orrery-bench-sky.XXXXXX)
trap 'rm -rf "$raw"' EXIT
textures=Data/planety_256x128x24

# One folder per candidate: configure.txt for 1920x1080 and Data/ with the ten
# bodies of the tree and that candidate's sky.
candidate_dir() {
  mkdir -p "$raw/$1/$textures"
  printf 'width 1920\nheight 1080\n' >"$raw/$1/configure.txt"
  local f
  for f in "$source_dir/$textures"/[0-9]*.bmp; do ln -s "$f" "$raw/$1/$textures/"; done
}
candidates="old"
candidate_dir old
if [ -n "${ORRERY_OLD_SKY:-}" ]; then
  cp "$ORRERY_OLD_SKY" "$raw/old/$textures/Spacea.bmp"
else
  # The last commit whose sky was the procedural one of 256 x 128 texels.
  git -C "$source_dir" show 270c2cf:$textures/Spacea.bmp >"$raw/old/$textures/Spacea.bmp" || exit 1
fi
for w in $widths; do
  candidate_dir "$w"
  "$build/tools/gen_sky" --sky-width "$w" "$raw/$w/gen" "$source_dir/Data/bright_stars.txt" || exit 1
  mv "$raw/$w/gen/Spacea.bmp" "$raw/$w/$textures/Spacea.bmp"
  candidates="$candidates $w"
done

value() { sed -n "s/^$1 //p" "$2" | head -n 1; }
for ((i = 1; i <= reps; i++)); do
  for c in $candidates; do
    (cd "$raw/$c" && ORRERY_BENCH_T0_US=${EPOCHREALTIME/./} exec "$build/bench/bench_frame" frames "$seconds" 1920 1080) \
      >"$raw/$c.$i" || { echo "bench_sky.sh: $c run $i failed" >&2; exit 1; }
    echo "round $i $c: frame $(value frame_median_ms "$raw/$c.$i") ms, start-up $(value startup_ms "$raw/$c.$i") ms," \
      "VmHWM $(value vmhwm_kb "$raw/$c.$i") kB" >&2
    [ "$c" = old ] && continue
    # The frame again, with the old sky taking turns in the same process.
    (cd "$raw/$c" && ORRERY_BENCH_OTHER_SKY=$raw/old/$textures/Spacea.bmp \
      exec "$build/bench/bench_frame" skies "$seconds" 1920 1080) >"$raw/$c.skies.$i" ||
      { echo "bench_sky.sh: $c skies run $i failed" >&2; exit 1; }
    echo "round $i $c: against the old sky in one process: $(value sky_ratio "$raw/$c.skies.$i")," \
      "processor time $(value sky_cpu_ratio "$raw/$c.skies.$i")" >&2
  done
done

# median FILE...: the middle of the numbers on standard input (upper middle for
# an even count), with the lowest and highest.
median() {
  sort -g | awk '{ v[n++] = $1 } END { if (!n) { print "-"; exit } printf "%.2f [%.2f .. %.2f]", v[int(n / 2)], v[0], v[n - 1] }'
}
figure() {  # figure NAME CANDIDATE [SCALE]
  for ((i = 1; i <= reps; i++)); do awk -v s="${3:-1}" -v x="$(value "$1" "$raw/$2.$i")" 'BEGIN { print x * s }'; done | median
}
versus() {  # versus NAME CANDIDATE ratio|difference [SCALE]: per round against the old sky
  for ((i = 1; i <= reps; i++)); do
    awk -v a="$(value "$1" "$raw/$2.$i")" -v b="$(value "$1" "$raw/old.$i")" -v how="$3" -v s="${4:-1}" \
      'BEGIN { print how == "ratio" ? a / b : (a - b) * s }'
  done | median
}
echo "orrery sky benchmark: 1920x1080, default camera, $reps rounds of $seconds s of frames; median [lowest .. highest]"
line() { printf '  %-34s %s\n' "$1" "$2"; }
for c in $candidates; do
  if [ "$c" = old ]; then echo "old sky, 256x128"; else echo "star sky, ${c}x$((c / 2))"; fi
  line "file (kB)" "$(($(stat -c %s "$raw/$c/$textures/Spacea.bmp") / 1024))"
  line "frame time (ms)" "$(figure frame_median_ms "$c")"
  line "  against the old sky" "$(versus frame_median_ms "$c" ratio)"
  line "processor time per frame (ms)" "$(figure frame_cpu_ms "$c")"
  line "  against the old sky" "$(versus frame_cpu_ms "$c" ratio)"
  if [ "$c" != old ]; then
    line "frame time, taking turns with the old" "$(figure sky_ratio "$c.skies")"
    line "  processor time" "$(figure sky_cpu_ratio "$c.skies")"
  fi
  line "start to first frame (ms)" "$(figure startup_ms "$c")"
  line "  later than the old sky (ms)" "$(versus startup_ms "$c" difference)"
  line "  processor time to then (ms)" "$(figure startup_cpu_ms "$c")"
  line "    more than the old sky (ms)" "$(versus startup_cpu_ms "$c" difference)"
  line "peak resident VmHWM (MB)" "$(figure vmhwm_kb "$c" 0.0009765625)"
  line "  more than the old sky (MB)" "$(versus vmhwm_kb "$c" difference 0.0009765625)"
done
