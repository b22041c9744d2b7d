#!/usr/bin/env bash
# Frame time, tick rate, start-up time and peak memory: runs bench_frame once
# per measurement, each in a fresh process, and gathers the runs into the
# tables of BENCHMARKS.md (median of the runs, lowest and highest in brackets).
# With --probe it times the unchanged orrery binary instead, through the
# preloaded probe bench/probe_first_swap.cpp, built here.
#
#   bench/bench_frame.sh [--reps N] [--seconds S] [--loop-seconds S] [--loop-reps N] <build-dir>
#   bench/bench_frame.sh --probe [--reps N] <build-dir>
#
# Needs an X display with GLX and a screen of at least 1920x1080:
#   ORRERY_XVFB_SCREEN=1920x1080x24 tests/run_with_xvfb.sh bench/bench_frame.sh build-bench-rel
# Progress goes to standard error, the tables to standard output.
set -u
source_dir=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  echo "usage: $0 [--probe] [--reps N] [--seconds S] [--loop-seconds S] [--loop-reps N] <build-dir>" >&2
  exit 2
}
probe=0
reps=""
frame_s=3
loop_s=30
loop_reps=3
while [ $# -gt 1 ]; do
  case "$1" in
    --probe) probe=1; shift ;;
    --reps) reps=$2; shift 2 ;;
    --seconds) frame_s=$2; shift 2 ;;
    --loop-seconds) loop_s=$2; shift 2 ;;
    --loop-reps) loop_reps=$2; shift 2 ;;
    *) usage ;;
  esac
done
[ $# -eq 1 ] || usage
build=$(cd "$1" && pwd) || exit 2
[ -n "${DISPLAY:-}" ] || { echo "bench_frame.sh: no DISPLAY (run it under tests/run_with_xvfb.sh)" >&2; exit 2; }
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1}
# $EPOCHREALTIME and awk's numbers with a decimal point whatever the user's locale.
export LC_ALL=C

# Median and spread of the runs: "median  [lowest .. highest]", or "-" when
# no run gave the figure. The median is the upper one for an even count.
#   spread FORMAT SCALE NAME FILE...
spread() {
  local format=$1 scale=$2 name=$3
  shift 3
  awk -v name="$name" -v f="$format" -v scale="$scale" '
    $1 == name { v[n++] = $2 * scale }
    END {
      if (n == 0) { print "-"; exit }
      for (i = 1; i < n; i++) { x = v[i]; for (j = i - 1; j >= 0 && v[j] > x; j--) v[j + 1] = v[j]; v[j + 1] = x }
      printf f "  [" f " .. " f "]\n", v[int((n - 1) / 2 + 0.5)], v[0], v[n - 1]
    }' "$@" /dev/null
}
# row LABEL NAME FORMAT GOAL SCALE FILE...
row() {
  local label=$1 name=$2 format=$3 goal=$4 scale=$5
  shift 5
  printf '  %-46s %-30s %s\n' "$label" "$(spread "$format" "$scale" "$name" "$@")" "$goal"
}
kb_to_mb=0.0009765625
memory_rows() {  # memory_rows LABEL GOAL FILE...
  local label=$1 goal=$2
  shift 2
  row "$label" vmhwm_kb %.1f "$goal" $kb_to_mb "$@"
  row "  resident: anonymous (MB)" rss_anon_kb %.1f "" $kb_to_mb "$@"
  row "  resident: file-backed, libraries (MB)" rss_file_kb %.1f "" $kb_to_mb "$@"
  row "  private dirty, this process alone (MB)" private_dirty_kb %.1f "" $kb_to_mb "$@"
}
value() { sed -n "s/^$1 //p" "$2" | head -n 1; }

# ---------------------------------------------------------------------------
# The real binary from the source tree (its configure.txt: 640x480), timed
# from bash's clock just before exec to its first swap.

if [ $probe = 1 ]; then
  so=$build/bench/probe_first_swap.so
  c++ -std=c++17 -O2 -Wall -Wextra -shared -fPIC -o "$so" "$source_dir/bench/probe_first_swap.cpp" -ldl || exit 1
  runs=$build/bench/probe_runs.txt
  : >"$runs"
  cd "$source_dir" || exit 1
  for ((i = 1; i <= ${reps:-9}; i++)); do
    line=$(ORRERY_PROBE_EXIT=1 LD_PRELOAD="$so" ORRERY_PROBE_T0=$EPOCHREALTIME "$build/orrery" 2>&1 | grep '^probe')
    [ -n "$line" ] || { echo "bench_frame.sh: run $i of the probe reported nothing" >&2; exit 1; }
    set -- $line
    printf '  run %d: %s ms, VmHWM %.1f MB\n' "$i" "$3" "$(awk -v k="$5" 'BEGIN { print k / 1024 }')"
    printf 'first_swap_ms %s\nvmhwm_kb %s\n' "$3" "$5" >>"$runs"
  done
  echo "  median of ${reps:-9} runs: $(spread %.1f 1 first_swap_ms "$runs") ms to the first swap (goal < 150)"
  echo "  median VmHWM at the first swap: $(spread %.1f $kb_to_mb vmhwm_kb "$runs") MB (goal < 60)"
  exit 0
fi

# ---------------------------------------------------------------------------
# The harness: every measurement a fresh process in a folder of its own size.

bench=$build/bench/bench_frame
[ -x "$bench" ] || { echo "bench_frame.sh: no $bench" >&2; exit 1; }
reps=${reps:-5}
raw=$(mktemp -d /tmp/orrery-bench.XXXXXX)
trap 'rm -rf "$raw"' EXIT

# measure MODE SECONDS SIZE RUN: one process; its figures land in $raw/SIZE/MODE.RUN
measure() {
  local out=$raw/$3/$1.$4
  if ! (cd "$raw/$3/run" && ORRERY_BENCH_T0_US=${EPOCHREALTIME/./} exec "$bench" "$1" "$2" "${3%x*}" "${3#*x}") >"$out"; then
    echo "bench_frame.sh: $1 at $3 (run $4) failed" >&2
    exit 1
  fi
}

sizes="640x480 1920x1080"
for size in $sizes; do
  mkdir -p "$raw/$size/run"
  printf 'width %d\nheight %d\noglw 0\noglh 0\nbpp 0\nfullscreen 0\n' "${size%x*}" "${size#*x}" >"$raw/$size/run/configure.txt"
  ln -s "$source_dir/Data" "$raw/$size/run/Data"
  # Alternating the program and the bare window spreads the load of whatever
  # else runs on the machine over both.
  for ((i = 1; i <= reps; i++)); do
    measure frames "$frame_s" "$size" "$i"
    measure bare 2 "$size" "$i"
    measure breakdown "$frame_s" "$size" "$i"
    measure trails "$frame_s" "$size" "$i"
    measure text "$frame_s" "$size" "$i"
    echo "frames $size run $i: frame $(value frame_median_ms "$raw/$size/frames.$i") ms," \
      "floor $(value floor_median_ms "$raw/$size/frames.$i") ms," \
      "start-up $(value startup_ms "$raw/$size/frames.$i") ms (bare $(value bare_startup_ms "$raw/$size/bare.$i") ms)" >&2
  done
  # The goal is set for the big window; one run in the small one shows the
  # cap at work when frames are cheap.
  runs=$loop_reps
  [ "$size" = 1920x1080 ] || runs=$((loop_reps < 1 ? loop_reps : 1))
  for ((i = 1; i <= runs; i++)); do
    measure loop "$loop_s" "$size" "$i"
    echo "loop $size run $i: $(value steps_per_s "$raw/$size/loop.$i") steps/s, captions: $(value caption_fps_all "$raw/$size/loop.$i")" >&2
  done
done

first=$raw/640x480/frames.1
echo "orrery frame and tick benchmark"
echo "  machine: $(nproc) cores, GL_RENDERER \"$(value gl_renderer "$first")\", GL_VERSION \"$(value gl_version "$first")\""
echo "  $reps fresh processes per size, $frame_s s of frames each after 1 s warm-up; $loop_reps loop runs of $loop_s s"
echo "  figures: median of the runs [lowest .. highest run]"
echo
for size in $sizes; do
  f=("$raw/$size"/frames.*)
  b=("$raw/$size"/bare.*)
  p=("$raw/$size"/breakdown.*)
  echo "$size, default camera, Update+Render per frame, no cap"
  row "frame time median (ms)" frame_median_ms %.2f "" 1 "${f[@]}"
  row "frame time p90 (ms)" frame_p90_ms %.2f "" 1 "${f[@]}"
  row "  Render incl. swap, median (ms)" render_median_ms %.2f "" 1 "${f[@]}"
  row "  Update, median (ms)" update_median_ms %.4f "" 1 "${f[@]}"
  row "uncapped frames per second" frames_per_s_uncapped %.1f "" 1 "${f[@]}"
  row "floor: glClear+SwapBuffers, median (ms)" floor_median_ms %.2f "" 1 "${f[@]}"
  row "floor: glClear+SwapBuffers, p90 (ms)" floor_p90_ms %.2f "" 1 "${f[@]}"
  echo "  where the frame time goes (Render only, variants alternating in one process;"
  echo "  wall ms, then processor ms of all our threads per frame):"
  while read -r variant label; do
    printf '    %-44s %-30s cpu %s\n' "$label" "$(spread %.2f 1 "bd_${variant}_ms" "${p[@]}")" \
      "$(spread %.2f 1 "bd_${variant}_cpu_ms" "${p[@]}")"
  done <<'EOF'
full full frame
no_text without text
no_lighting without lighting
sky_linear sky texture GL_LINEAR, no mipmaps
no_sky without the sky sphere
only_sky only the sky sphere, no text
only_sky_no_depth only the sky sphere, no depth test
floor glClear + swap only
clear_only glClear + glFinish, no swap
EOF
  t=("$raw/$size"/trails.*)
  echo "  trails (every ring full, seen from above; off and on alternating in one process):"
  row "  frame without trails, median (ms)" trails_off_frame_ms %.2f "" 1 "${t[@]}"
  row "  frame with trails, median (ms)" trails_on_frame_ms %.2f "" 1 "${t[@]}"
  row "  with / without" trails_ratio %.3f "goal <= 1.1" 1 "${t[@]}"
  x=("$raw/$size"/text.*)
  echo "  text (translate 0 and 1, LANGUAGE=$(value text_language "${x[0]}"), alternating in one process):"
  row "  status and info lines, translate 0, median (ms)" text_status_translate0_frame_ms %.2f "" 1 "${x[@]}"
  row "  status and info lines, translate 1, median (ms)" text_status_translate1_frame_ms %.2f "" 1 "${x[@]}"
  row "  translate 1 / 0" text_status_ratio %.3f "goal <= 1.05" 1 "${x[@]}"
  row "  help screen, translate 0, median (ms)" text_help_translate0_frame_ms %.2f "" 1 "${x[@]}"
  row "  help screen, translate 1, median (ms)" text_help_translate1_frame_ms %.2f "" 1 "${x[@]}"
  row "  translate 1 / 0" text_help_ratio %.3f "goal <= 1.05" 1 "${x[@]}"
  row "start to first frame swapped (ms)" startup_ms %.1f "goal < 150" 1 "${f[@]}"
  row "  processor time to then, all threads (ms)" startup_cpu_ms %.1f "" 1 "${f[@]}"
  row "  exec to main (ms)" exec_to_main_ms %.1f "" 1 "${f[@]}"
  row "  Application::Init (ms)" init_ms %.1f "" 1 "${f[@]}"
  row "  first Render + glFinish (ms)" first_frame_ms %.1f "" 1 "${f[@]}"
  row "bare GL window: start to first swap (ms)" bare_startup_ms %.1f floor 1 "${b[@]}"
  row "  processor time to then, all threads (ms)" bare_startup_cpu_ms %.1f "" 1 "${b[@]}"
  row "  exec to main (ms)" bare_exec_to_main_ms %.1f "" 1 "${b[@]}"
  row "  SDL_Init (ms)" bare_sdl_init_ms %.1f "" 1 "${b[@]}"
  row "  SDL_SetVideoMode (ms)" bare_set_video_mode_ms %.1f "" 1 "${b[@]}"
  row "  first clear + swap + glFinish (ms)" bare_first_swap_ms %.1f "" 1 "${b[@]}"
  memory_rows "peak resident VmHWM after ~4 s (MB)" "goal < 60" "${f[@]}"
  memory_rows "bare GL window: VmHWM (MB)" floor "${b[@]}"
  echo
done
for size in $sizes; do
  l=("$raw/$size"/loop.*)
  [ -e "${l[0]}" ] || continue
  echo "$size, real main loop (RunMainLoop, SDL_GetTicks) for $loop_s s, ${#l[@]} run(s)"
  row "simulation steps per wall-clock second" steps_per_s %.2f "goal 100.0 +-0.5%" 1 "${l[@]}"
  row "  same, counting the last frame's time" steps_per_s_whole_run %.2f "" 1 "${l[@]}"
  row "frames per second (counted)" frames_per_s %.1f "" 1 "${l[@]}"
  row "caption fps, median of full seconds" caption_fps_median %.0f "goal 100" 1 "${l[@]}"
  row "caption fps, lowest full second" caption_fps_min %.0f "" 1 "${l[@]}"
  row "caption fps, highest full second" caption_fps_max %.0f "" 1 "${l[@]}"
  row "peak resident VmHWM after the run (MB)" vmhwm_kb %.1f "goal < 60" $kb_to_mb "${l[@]}"
  for ((i = 1; i <= ${#l[@]}; i++)); do
    echo "  run $i captions: $(value caption_fps_all "$raw/$size/loop.$i")"
  done
  echo
done
