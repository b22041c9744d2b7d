#!/usr/bin/env bash
# Runs every benchmark of BENCHMARKS.md from one release build, in one go, so
# that all figures come from the same machine and the same hour:
#   bench/run_benchmarks.sh [build-dir] [all|bmp|integrator|sandbox|frame|probe]
# The build dir defaults to build-bench-rel, configured with
#   cmake -S . -B build-bench-rel -DCMAKE_BUILD_TYPE=Release && cmake --build build-bench-rel -j2
# Frame, start-up and memory figures need Xvfb and Mesa (llvmpipe); the run
# takes about eight minutes. Extra arguments for bench/bench_frame.sh can be
# passed in BENCH_FRAME_ARGS, e.g. BENCH_FRAME_ARGS="--reps 3 --loop-seconds 10".
set -u
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-bench-rel}
what=${2:-all}
case $build in /*) ;; *) build=$source_dir/$build ;; esac
if [ ! -x "$build/bench/bench_frame" ]; then
  echo "run_benchmarks: no $build/bench/bench_frame; build a Release tree first" >&2
  exit 1
fi

echo "== machine"
echo "commit: $(git -C "$source_dir" rev-parse --short HEAD)$(git -C "$source_dir" diff --quiet HEAD -- app sim gfx core platform bench || echo ' (+ uncommitted changes in the tree)')"
echo "cpu: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(free -m | awk '/^Mem:/{print $2}') MB RAM"
echo "kernel: $(uname -r); load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "compiler: $(grep -m1 CMAKE_CXX_COMPILER: "$build/CMakeCache.txt" | cut -d= -f2) ($(grep -m1 CMAKE_BUILD_TYPE: "$build/CMakeCache.txt" | cut -d= -f2))"
echo

if [ "$what" = all ] || [ "$what" = bmp ]; then
  echo "== bench_bmp"
  "$build/bench/bench_bmp"
  echo
fi
if [ "$what" = all ] || [ "$what" = integrator ]; then
  echo "== bench_integrator"
  "$build/bench/bench_integrator"
  echo
fi
if [ "$what" = all ] || [ "$what" = sandbox ]; then
  echo "== bench_sandbox"
  "$build/bench/bench_sandbox"
  echo
fi

if [ "$what" = all ] || [ "$what" = frame ]; then
  echo "== bench_frame (Xvfb 1920x1080x24, LIBGL_ALWAYS_SOFTWARE=1)"
  # shellcheck disable=SC2086
  ORRERY_XVFB_SCREEN=1920x1080x24 "$source_dir/tests/run_with_xvfb.sh" \
    "$source_dir/bench/bench_frame.sh" ${BENCH_FRAME_ARGS:-} "$build" 2>/dev/null
  echo
fi

if [ "$what" = all ] || [ "$what" = probe ]; then
  # The real binary, timed from outside: a preloaded probe reports the first
  # swap and exits. configure.txt and Data/ of the source tree (640x480).
  echo "== real orrery binary: start to first frame swapped (LD_PRELOAD probe), 640x480"
  ORRERY_XVFB_SCREEN=1920x1080x24 "$source_dir/tests/run_with_xvfb.sh" \
    "$source_dir/bench/bench_frame.sh" --probe "$build" || exit 1
fi
