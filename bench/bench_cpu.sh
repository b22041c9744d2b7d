#!/usr/bin/env bash
# Processor time of the real program with configure.txt's "sleep 0" (polling,
# the default) and "sleep 1" (resting between ticks), or with the settings
# named after the other arguments ("fps 100" "fps 60" "fps 30", say), side by
# side: the runs alternate so that all see the same machine. Per run: processor time from
# /proc/PID/stat (user + system, all threads) as a share of one core and the
# same for the main thread alone (the one that polls; Mesa's rasteriser
# threads draw the frames beside it), the caption's frames
# per second, and steps per wall-clock second, counted from the date that two
# F2 files about N seconds apart carry (a universe started with --date moves
# its date on by deltat * day length per step). Needs a display; run it as
#   tests/run_with_xvfb.sh bench/bench_cpu.sh [build-dir] [seconds per run] [runs per setting] [SETTING...]
# where each SETTING is a configure.txt line added to the shipped file.
# The build dir defaults to build-cli-rel (a Release build); 640x480 window,
# Mesa's software renderer (LIBGL_ALWAYS_SOFTWARE=1 from run_with_xvfb.sh).
set -u
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-cli-rel}
seconds=${2:-20}
runs=${3:-3}
shift 3 2>/dev/null || shift $#
settings=("$@")
[ ${#settings[@]} -gt 0 ] || settings=("sleep 0" "sleep 1")
case $build in /*) ;; *) build=$source_dir/$build ;; esac
bin=$build/orrery
if [ ! -x "$bin" ]; then echo "bench_cpu: no $bin" >&2; exit 1; fi
if [ -z "${DISPLAY:-}" ]; then echo "bench_cpu: needs a display; run it under tests/run_with_xvfb.sh" >&2; exit 1; fi
for tool in xdotool awk; do
  command -v $tool >/dev/null || { echo "bench_cpu: $tool is not installed" >&2; exit 1; }
done
hz=$(getconf CLK_TCK)
work=$(mktemp -d /tmp/orrery-bench-cpu.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT

now() { date +%s.%N; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
main_ticks() { awk '{ print $14 + $15 }' "/proc/$1/task/$1/stat"; }
# Julian day, deltat, kapa and the Sun's mass of a universe file.
file_clock() { awk -F'\t' '$1=="datum"{d=$2} $1=="deltat"{t=$2} $1=="kapa"{k=$2} $1=="ins"&&$2=="Slunce"{m=$5} END{print d, t, k, m}' "$1"; }

# F2, then waits for the new file and keeps it as $1; echoes the wall time of the press.
save_as() {
  local before; before=$(stat -c %i "$work/Data/vesmir.ves" 2>/dev/null)
  local t; t=$(now)
  xdotool key F2
  local i
  for i in $(seq 1 100); do
    [ -s "$work/Data/vesmir.ves" ] && [ "$(stat -c %i "$work/Data/vesmir.ves")" != "$before" ] && break
    sleep 0.05
  done
  cp "$work/Data/vesmir.ves" "$1"
  echo "$t"
}

# One run: prints "cpu% main-thread% fps steps/s".
one_run() {
  local setting=$1
  cp "$source_dir/configure.txt" "$work/configure.txt"
  echo "$setting" >>"$work/configure.txt"
  mkdir -p "$work/Data"
  ln -sfn "$source_dir/Data/planety_256x128x24" "$work/Data/planety_256x128x24"
  rm -f "$work/Data/vesmir.ves"
  (cd "$work" && exec "$bin" --date 2000-01-01 >/dev/null 2>&1) &
  pid=$!
  local win="" i
  for i in $(seq 1 100); do
    win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)
    [ -n "$win" ] && break
    sleep 0.1
  done
  if [ -z "$win" ]; then echo "bench_cpu: no window" >&2; return 1; fi
  sleep 3  # past start-up and the first caption
  local t1 c1 m1 t2 c2 m2
  c1=$(cpu_ticks "$pid")
  m1=$(main_ticks "$pid")
  t1=$(save_as "$work/first.ves")
  local fps=() name
  for i in $(seq 1 "$seconds"); do
    sleep 1
    name=$(xdotool getwindowname "$win" 2>/dev/null)
    case $name in "fps: "*) name=${name#fps: }; fps+=("${name%% *}") ;; esac
  done
  t2=$(save_as "$work/second.ves")
  c2=$(cpu_ticks "$pid")
  m2=$(main_ticks "$pid")
  xdotool key Escape
  for i in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=""
  local fps_median
  fps_median=$(printf '%s\n' "${fps[@]}" | sort -n | awk '{a[NR]=$1} END{print a[int((NR+1)/2)]}')
  awk -v c1="$c1" -v c2="$c2" -v m1="$m1" -v m2="$m2" -v t1="$t1" -v t2="$t2" -v hz="$hz" -v fps="$fps_median" \
      -v a="$(file_clock "$work/first.ves")" -v b="$(file_clock "$work/second.ves")" 'BEGIN {
    split(a, x, " "); split(b, y, " ")
    day = sqrt(x[3] * x[4] / 1e6) / 0.01720209895   # model time unit in days
    steps = (y[1] - x[1]) / (x[2] * day)
    printf "%.1f %.1f %s %.2f\n", 100 * (c2 - c1) / hz / (t2 - t1), 100 * (m2 - m1) / hz / (t2 - t1), fps,
      steps / (t2 - t1)
  }'
}

median() { sort -n | awk '{a[NR]=$1} END{ if (NR % 2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2 }'; }

echo "orrery $("$bin" --version | cut -d' ' -f2), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); $seconds s per run"
printf '%-4s %-14s %9s %8s %6s %11s\n' run setting "cpu %" "main %" fps "steps/s"
results=()
for r in $(seq 1 "$runs"); do
  for i in "${!settings[@]}"; do
    line=$(one_run "${settings[$i]}") || exit 1
    results+=("$i $line")
    set -- $line
    printf '%-4s %-14s %9s %8s %6s %11s\n' "$r" "${settings[$i]}" "$1" "$2" "$3" "$4"
  done
done
echo "medians:"
for i in "${!settings[@]}"; do
  sel=$(printf '%s\n' "${results[@]}" | awk -v s="$i" '$1==s')
  printf '  %-14s cpu %s %% of a core (main thread %s %%), caption fps %s, steps/s %s\n' "${settings[$i]}:" \
    "$(echo "$sel" | awk '{print $2}' | median)" "$(echo "$sel" | awk '{print $3}' | median)" \
    "$(echo "$sel" | awk '{print $4}' | median)" "$(echo "$sel" | awk '{print $5}' | median)"
done
