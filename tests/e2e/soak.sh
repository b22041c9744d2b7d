#!/usr/bin/env bash
# Soak test of the real program: seeded random keys, key holds, mouse motion,
# saves, loads and window resizes for a bounded time, with a damaged universe
# file and damaged textures swapped in for part of the time. It closes the
# message boxes that the damage calls for and fails on a crash, a sanitizer or
# valgrind report, a message box nobody asked for or left open, or an unclean
# exit. Resident memory is sampled and reported; only a long run judges it.
#
#   tests/e2e/soak.sh [--seconds N] [--seed S] [--valgrind] [--keep] <orrery> <source-dir>
#
# ctest runs one minute of it (test_soak.sh). By hand, on a private display:
#   tests/run_with_xvfb.sh tests/e2e/soak.sh --seconds 600 build-asan/orrery .
#   tests/run_with_xvfb.sh tests/e2e/soak.sh --valgrind --seconds 900 build/orrery .
# Damaged textures are written by the bmp_write tool of the same build
# (<build>/tools/bmp_write beside <build>/orrery).
# The same seed gives the same sequence of actions; how far a run gets into it
# depends on the machine's speed.
set -u

usage() {
  echo "usage: $0 [--seconds N] [--seed S] [--valgrind] [--keep] <orrery-binary> <source-dir>" >&2
  exit 2
}

seconds=600
seed=""
use_valgrind=0
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) [ $# -ge 2 ] || usage; seconds=$2; shift 2 ;;
    --seed) [ $# -ge 2 ] || usage; seed=$2; shift 2 ;;
    --valgrind) use_valgrind=1; shift ;;
    --keep) export E2E_KEEP=1; shift ;;
    -h|--help) usage ;;
    --) shift; break ;;
    -*) echo "soak: unknown option $1" >&2; usage ;;
    *) break ;;
  esac
done
[ $# -eq 2 ] || usage
case "$seconds" in ''|*[!0-9]*) echo "soak: --seconds wants a whole number" >&2; exit 2 ;; esac
[ "$seconds" -ge 10 ] || { echo "soak: at least 10 seconds" >&2; exit 2; }
[ -x "$1" ] || { echo "soak: no program at $1" >&2; exit 2; }
[ -f "$2/configure.txt" ] && [ -d "$2/Data/planety_256x128x24" ] ||
  { echo "soak: $2 has no configure.txt or Data/planety_256x128x24" >&2; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "soak: no DISPLAY (run it under tests/run_with_xvfb.sh)" >&2; exit 2; }
command -v xdotool >/dev/null 2>&1 || { echo "soak: xdotool is not installed" >&2; exit 2; }
if [ $use_valgrind = 1 ]; then
  command -v valgrind >/dev/null 2>&1 || { echo "soak: valgrind is not installed" >&2; exit 2; }
  # Software GL under valgrind draws a frame in about a second, and a key has
  # to stay down across a frame to be seen at all.
  export E2E_SLOW=12
fi
bmp_write=$(dirname "$(readlink -f "$1")")/tools/bmp_write
[ -x "$bmp_write" ] || { echo "soak: no $bmp_write (build the bmp_write target of the same build)" >&2; exit 2; }

if [ -z "$seed" ]; then seed=$(( $(date +%s) % 1000000 )); fi
case "$seed" in ''|*[!0-9]*) echo "soak: --seed wants a whole number" >&2; exit 2 ;; esac

. "$(dirname "$0")/lib.sh"
RANDOM=$seed

good="$WORK/good"          # pristine copies that damage is restored from
cases="$WORK/cases"        # the damaged universe files, made from the seed
mkdir -p "$good" "$cases"
make_workdir copy
# The log kept with the folder: a failure under a busy CI run is read there.
exec > >(tee -a "$WORK/soak.log") 2>&1
cp -r "$SOURCE_DIR/Data/planety_256x128x24" "$good/"
# Under valgrind a 640 x 480 frame takes a second; a quarter of the pixels
# brings that down to a third.
base_w=640; base_h=480
if [ $use_valgrind = 1 ]; then
  base_w=320; base_h=240
  sed -i 's/^width .*/width 320/; s/^height .*/height 240/' "$WORK/configure.txt"
fi
tex="$WORK/Data/planety_256x128x24"
ves="$WORK/Data/vesmir.ves"

# A random number below $1, without a subshell (a subshell would not advance
# the seeded sequence): sets R.
rnd() { R=$(( (RANDOM * 32768 + RANDOM) % $1 )); }
# A pause of $1..$2 milliseconds (scaled).
pause_ms() { rnd $(($2 - $1 + 1)); sleep_ms $(( ($1 + R) * E2E_SLOW )); }

# The keys of the help screen and the time keys; Esc only at the end. Held
# keys are those that act at every tick while down.
tap_keys="F1 Left Right Up Down a s d w Shift_L Control_L Alt_L space KP_Add KP_Subtract KP_Multiply Page_Up Page_Down 0 1 2 3 4 5 6 7 8 9 l b F2"
hold_keys="Left Right Up Down a s d w Shift_L Control_L KP_Add KP_Subtract 1 2 3 4 5 6 7 8 9 0"
read -r -a tap_list <<<"$tap_keys"
read -r -a hold_list <<<"$hold_keys"

sampler=""
on_cleanup() { [ -n "$sampler" ] && kill "$sampler" 2>/dev/null; }

# ---------------------------------------------------------------------------
# Damaged inputs.

rand_bytes() {  # rand_bytes N SEED > file: N reproducible random bytes
  LC_ALL=C awk -v n="$1" -v s="$2" 'BEGIN { srand(s); for (i = 0; i < n; i++) printf "%c", int(rand() * 256) }'
}
long_word() { LC_ALL=C awk -v n="$1" -v c="$2" 'BEGIN { for (i = 0; i < n; i++) printf "%s", c }'; }

# Universe files, each a different way of being wrong. The good file is the
# one the program itself saves right after start.
make_universe_cases() {
  local p="$good/vesmir.ves" n=0
  rand_bytes 3000 "$seed" >"$cases/random.ves"
  { printf 'ins\t'; rand_bytes 400 $((seed + 1)); printf '\ndeltat '; rand_bytes 50 $((seed + 2));
    printf '\nins ins ins\n'; rand_bytes 800 $((seed + 3)); } >"$cases/random_words.ves"
  : >"$cases/empty.ves"
  printf ' \t\r\n\n   \r\n' >"$cases/blank.ves"
  {
    printf 'poc_planet\t99999999999999999999\n'
    printf 'deltat\t%s.000000\n' "$(long_word 400 9)"
    printf 'kapa\t1e999\n'
    printf '//meno\n'
    printf 'ins\tVesmir\tData/planety_256x128x24/Spacea.bmp\t1e308\t1\t0\t0\t0\t0\t0\t0\t0\t0\n'
    printf 'ins\tSlunce\tData/planety_256x128x24/0Sun.bmp\t%s\t1e300\t0\t0\t0\t1e308\t-1e308\t1e308\t1e300\t-1e300\n' "$(long_word 300 9)"
    printf 'ins\tZeme\tData/planety_256x128x24/3Earth.bmp\t-1e999\t-1e300\t1e308\t1e308\t1e308\t0\t0\t0\t99999999999\t0\n'
    printf 'ins\tMesic\tData/planety_256x128x24/1Mercury.bmp\t1\t1e-320\t1\t1\t1\t0\t0\t0\t0\t0\n'
  } >"$cases/huge_numbers.ves"
  {
    printf 'poc_planet\tnan\ndeltat\tnan\nkapa\tinf\n'
    printf 'ins\tVesmir\tData/planety_256x128x24/Spacea.bmp\tnan\t1\tnan\tnan\tnan\t0\t0\t0\t0\t0\n'
    printf 'ins\tSlunce\tData/planety_256x128x24/0Sun.bmp\tinf\tinf\t0\t0\t0\tnan\tnan\tnan\tinf\t-inf\n'
    printf 'ins\tZeme\tData/planety_256x128x24/3Earth.bmp\t-nan\tnan\tinf\t-inf\tnan\tinfinity\t-infinity\tNAN\tnan\tnan\n'
    printf 'ins\tMars\tData/planety_256x128x24/4Mars.bmp\t1\t-1\t0x1p999\t0x1p-1074\t-0\t0\t0\t0\t0\t0\n'
  } >"$cases/nan_inf.ves"
  {
    printf 'poc_planet\t3\ndeltat\t0.005\nkapa\t0.01\n'
    for n in 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19; do
      printf 'ins\tTeleso%d\tData/planety_256x128x24/4Mars.bmp\t%d\t%d\t%d\t0\t0\t0\t0\t0\t1\t2\n' "$n" $((n + 1)) $((n + 1)) $((n * 10))
    done
  } >"$cases/twenty_bodies.ves"
  {
    printf 'deltat\t0.005\n'
    printf 'ins\t%s\t%s\t5\t1\t0\t0\t0\t0\t0\t0\t0\t0\n' "$(long_word 2000 N)" "Data/planety_256x128x24/Spacea.bmp"
    printf 'ins\tDlouhaCesta\t%s\t5\t1\t0\t0\t0\t0\t0\t0\t0\t0\n' "Data/$(long_word 2000 p).bmp"
    printf '%s\n' "$(long_word 5000 x)"
    printf 'ins\t%s\t%s\t%s\t1\n' "$(long_word 999 m)" "$(long_word 999 s)" "$(long_word 999 7)"
  } >"$cases/long_names.ves"
  {
    printf 'deltat\t0.005\nkapa\t0.01\n'
    printf 'ins\tVesmir\tData/planety_256x128x24/Spacea.bmp\t5000\t1\t0\t0\t0\t0\t0\t0\t0\t0\n'
    printf 'ins\tNikde\tData/planety_256x128x24/neni.bmp\t10\t332800\t0\t0\t0\t0\t0\t0\t5\t0\n'
    printf 'ins\tAdresar\tData\t1\t1\t100\t0\t0\t0\t0\t1\t0\t0\n'
    printf 'ins\tNic\t/dev/null\t1\t1\t-100\t0\t0\t0\t0\t-1\t0\t0\n'
    printf 'ins\tBezCesty\tneexistuje/ani/tady/nic.bmp\t1\t1\t0\t0\t100\t1\t0\t0\t0\t0\n'
  } >"$cases/missing_textures.ves"
  {
    printf 'deltat\t0\nkapa\t-5\n'
    for n in 0 1 2 3 4 5; do
      printf 'ins\tBod%d\tData/planety_256x128x24/2Venus.bmp\t0\t-%d\t1\t1\t1\t0\t0\t0\t0\t0\n' "$n" "$n"
    done
    printf 'ins\tVelky\tData/planety_256x128x24/2Venus.bmp\t-3\t1\t1\t1\t1\t0\t0\t0\t0\t0\n'
  } >"$cases/degenerate.ves"
  printf 'poc_planet\ndeltat\nkapa\nins\n' >"$cases/keywords_only.ves"
  printf 'deltat abc\nkapa --1\nins\tA\tB\tx\ty\n//' >"$cases/bad_values.ves"
  if [ -s "$p" ]; then
    sed 's/$/\r/; s/\t/   \t  /g' "$p" >"$cases/crlf_spaces.ves"
    LC_ALL=C tr '\t' '\000' <"$p" >"$cases/nul_separators.ves"
    cat "$p" "$p" "$p" >"$cases/thrice.ves"
    grep -v '^ins' "$p" >"$cases/no_bodies.ves"
    head -n 6 "$p" >"$cases/two_bodies.ves"
  fi
}

# Writes a damaged universe file into the run: a random pick of the cases, or
# the good file cut at a random byte.
damage_universe() {
  local list=("$cases"/*.ves) size
  rnd $(( ${#list[@]} + 2 ))
  if [ "$R" -ge "${#list[@]}" ]; then
    size=$(stat -c %s "$good/vesmir.ves")
    rnd "$size"
    head -c "$R" "$good/vesmir.ves" >"$ves"
    damage_name="truncated at $R of $size bytes"
  else
    cp "${list[$R]}" "$ves"
    damage_name=$(basename "${list[$R]}" .ves)
  fi
}

# bmp_file FILE WIDTH HEIGHT BITS COMPRESSION COLOURS_USED PIXEL_OFFSET HEADER_SIZE:
# a BMP with exactly these header fields, followed by standard input.
bmp_file() {
  "$bmp_write" "$@" - || fail "bmp_write could not write $1"
}

# Damages one texture file in place. Sets tex_damage_name, and tex_must_fail
# when no decoder may accept the result.
tex_names=(0Sun 1Mercury 2Venus 3Earth 4Mars 5Jupiter 6Saturn 7Uran 8Neptun 9Pluto Spacea)
damage_texture() {
  local name file kind
  rnd ${#tex_names[@]}; name=${tex_names[$R]}
  file="$tex/$name.bmp"
  rm -rf "$file"
  tex_must_fail=1
  rnd 12; kind=$R
  case $kind in
    0) : >"$file"; tex_damage_name="$name empty" ;;
    1) head -c 10 "$good/planety_256x128x24/$name.bmp" >"$file"; tex_damage_name="$name cut to 10 bytes" ;;
    2) head -c 40 "$good/planety_256x128x24/$name.bmp" >"$file"; tex_damage_name="$name cut inside its header" ;;
    3) head -c 50000 "$good/planety_256x128x24/$name.bmp" >"$file"; tex_damage_name="$name cut to half its pixels" ;;
    4) rand_bytes 2000 $((seed + kind)) >"$file"; tex_must_fail=0; tex_damage_name="$name random bytes" ;;
    5) { printf 'BM'; rand_bytes 52 $((seed + 7)); tail -c +55 "$good/planety_256x128x24/$name.bmp"; } >"$file"
       tex_must_fail=0; tex_damage_name="$name garbage header" ;;
    6) rand_bytes 100 1 | bmp_file "$file" 100000 100000 24 0 0 54 40; tex_damage_name="$name 100000x100000 without pixels" ;;
    7) rand_bytes 100 2 | bmp_file "$file" 65536 -2147483648 24 0 0 54 40; tex_damage_name="$name extreme height" ;;
    8) rand_bytes 64 3 | bmp_file "$file" 4 4 8 0 4294967295 1078 40; tex_damage_name="$name palette count 2^32-1" ;;
    9) printf '\xff\x00\xff\x00\xff\x00\xff\x00\xff\x07\x00\x02\x7f\x7f\x00\x00' | bmp_file "$file" 64 64 8 1 2 62 40
       tex_must_fail=0; tex_damage_name="$name RLE8 that runs past its rows" ;;
    10) bmp_file "$file" 16 16 7 0 0 4294967295 4294967280 </dev/null; tex_damage_name="$name bad depth, offset and header size" ;;
    11) mkdir "$file"; tex_damage_name="$name is a directory" ;;
  esac
}

restore_textures() {
  local f
  for f in "$good"/planety_256x128x24/*.bmp; do
    if ! cmp -s "$f" "$tex/$(basename "$f")"; then
      rm -rf "${tex:?}/$(basename "$f")"
      cp "$f" "$tex/"
    fi
  done
}

# ---------------------------------------------------------------------------
# Input.

tap() {  # tap KEY...: down together, held across a few frames, released
  key_down "$@"
  pause_ms 60 200
  key_up "$@"
}
load() {  # F3, then the message boxes it brings
  local t0 n0=$BOXES_CLOSED
  tick_ms; t0=$MS
  tap F3
  close_boxes
  tick_ms
  [ "$BOXES_CLOSED" = "$n0" ] || note "  load: $((BOXES_CLOSED - n0)) message box(es) closed in $(( (MS - t0) / 1000 )).$(( (MS - t0) / 100 % 10 )) s"
}
loads=0
saves=0
resizes=0
sizes=(640x480 800x600 1280x1024 320x240 1x1 1024x768 100x700 1279x1 640x480 2x3)

random_action() {
  local k i n w h
  rnd 100
  if [ "$R" -lt 38 ]; then
    rnd ${#tap_list[@]}; k=${tap_list[$R]}
    tap "$k"
    [ "$k" = F2 ] && saves=$((saves + 1))
  elif [ "$R" -lt 55 ]; then
    rnd ${#hold_list[@]}; k=${hold_list[$R]}
    key_down "$k"
    rnd 3
    if [ "$R" = 0 ]; then rnd ${#hold_list[@]}; i=${hold_list[$R]}; key_down "$i"; else i=""; fi
    pause_ms 50 1200
    key_up "$k"; [ -n "$i" ] && key_up "$i"
  elif [ "$R" -lt 70 ]; then
    rnd 8; n=$((R + 1))
    for ((i = 0; i < n; i++)); do
      rnd 401; w=$((R - 200)); rnd 401; h=$((R - 200))
      xdo mousemove_relative -- "$w" "$h"
      pause_ms 5 40
    done
  elif [ "$R" -lt 80 ]; then
    load; loads=$((loads + 1))
  elif [ "$R" -lt 85 ]; then
    tap F2; saves=$((saves + 1))
  elif [ "$R" -lt 88 ]; then
    # Both in one tick: the file just written is read straight back.
    tap F2 F3; close_boxes; saves=$((saves + 1)); loads=$((loads + 1))
  elif [ "$R" -lt 93 ]; then
    rnd ${#sizes[@]}; w=${sizes[$R]%x*}; h=${sizes[$R]#*x}
    # A larger window takes more memory for as long as it lasts; samples
    # taken meanwhile are marked and not counted.
    : >"$WORK/resized"
    xdo windowsize "$WIN" "$w" "$h"; resizes=$((resizes + 1))
    pause_ms 200 1500
    rnd 3; [ "$R" = 0 ] && { tap Page_Up; xdo mousemove_relative -- 30 -20; }
    xdo windowsize "$WIN" "$base_w" "$base_h"
    pause_ms 200 400
    rm -f "$WORK/resized"
  else
    pause_ms 50 500
  fi
}

# ---------------------------------------------------------------------------
# Memory: sampled for the report, not for the verdict of a short run.

sample_memory() {  # background: "<ms since start> <VmRSS kB> <r if resized>"
  local rss flag
  while kill -0 "$APP_PID" 2>/dev/null; do
    flag=""; [ -e "$WORK/resized" ] && flag=r
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$APP_PID/status" 2>/dev/null)
    tick_ms
    [ -n "$rss" ] && echo "$MS $rss $flag" >>"$WORK/rss.log"
    sleep $((2 * E2E_SLOW))
  done
}

# ---------------------------------------------------------------------------
# Start.

export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1:detect_leaks=1:quarantine_size_mb=4${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$SOURCE_DIR/tests/lsan.supp:print_suppressions=0}"
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1}

echo "soak: seed $seed, $seconds s, program $ORRERY_BIN$([ $use_valgrind = 1 ] && echo ' under valgrind')"
echo "soak: working folder $WORK"
if [ $use_valgrind = 1 ]; then
  start_app valgrind --tool=memcheck --error-exitcode=99 --suppressions="$SOURCE_DIR/tests/valgrind.supp" \
    --gen-suppressions=all --num-callers=30 --track-origins=no --keep-debuginfo=yes \
    --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
    --log-file="$WORK/valgrind.log"
else
  start_app
fi

if ! wait_window || ! wait_caption >/dev/null; then
  fail "no window with a caption within $((60 * E2E_SLOW)) s"
  finish
fi
note "window $WIN is up"
close_boxes
[ "$BOXES_CLOSED" = 0 ] || fail "message boxes at start-up with good files"

sample_memory &
sampler=$!

# The good universe file is the program's own, saved before any input.
for _ in 1 2 3 4 5; do
  tap F2
  sleep "$E2E_SLOW"
  [ -s "$ves" ] && break
done
if [ -s "$ves" ]; then
  cp "$ves" "$good/vesmir.ves"
else
  fail "F2 wrote no Data/vesmir.ves"
fi
make_universe_cases

# Warm-up: every window size once, so that the memory the run settles at is
# known before the samples start to count.
if [ "$seconds" -ge 180 ]; then warm=60; else warm=$((seconds / 3)); fi
note "warm-up: memory samples of the first $warm s of input do not count"
xdo windowsize "$WIN" 1280 1024; sleep "$E2E_SLOW"; xdo windowsize "$WIN" "$base_w" "$base_h"
# The software GL driver compiles code for every new combination of lighting,
# blending and the help text, and keeps it: megabytes each, once. All eight
# combinations come up here (in Gray-code order).
for k in l b l F1 l b l F1; do tap "$k"; sleep "$E2E_SLOW"; done

# ---------------------------------------------------------------------------
# Phases: clean ones between damaged ones. A clean phase starts by restoring
# the good files and loading them, after which no message box may appear.

if [ "$seconds" -ge 300 ]; then phase_s=30; else phase_s=$(( seconds / 10 > 4 ? seconds / 10 : 4 )); fi
# Under valgrind every action is slow: fewer, longer phases.
[ $use_valgrind = 1 ] && [ $phase_s -lt $((seconds / 4)) ] && phase_s=$((seconds / 4))
phase_kinds=(universe textures both)
phase_index=0
damaged_loads=0

begin_phase() {
  local kind=$1 first must boxes0=$BOXES_CLOSED
  case $kind in
    clean)
      # A damaged load's boxes can come later than close_boxes waits for
      # (each texture decoded on a busy machine): they are the damage's.
      close_boxes
      boxes0=$BOXES_CLOSED
      restore_textures
      [ -s "$good/vesmir.ves" ] && cp "$good/vesmir.ves" "$ves"
      load; loads=$((loads + 1))
      [ "$BOXES_CLOSED" = "$boxes0" ] || fail "message boxes after loading the good files"
      note "phase clean" ;;
    universe)
      damage_universe
      note "phase universe: $damage_name"
      load; loads=$((loads + 1)); damaged_loads=$((damaged_loads + 1)) ;;
    textures)
      restore_textures
      [ -s "$good/vesmir.ves" ] && cp "$good/vesmir.ves" "$ves"
      damage_texture; first=$tex_damage_name; must=$tex_must_fail
      rnd 2; [ "$R" = 0 ] && { damage_texture; first="$first; $tex_damage_name"; must=$((must | tex_must_fail)); }
      note "phase textures: $first"
      load; loads=$((loads + 1)); damaged_loads=$((damaged_loads + 1))
      [ "$must" = 1 ] && [ "$BOXES_CLOSED" = "$boxes0" ] && fail "no message box for a texture that cannot load ($first)" ;;
    both)
      damage_texture
      damage_universe
      note "phase both: $damage_name; $tex_damage_name"
      load; loads=$((loads + 1)); damaged_loads=$((damaged_loads + 1)) ;;
  esac
  phase=$kind
}

# In a damaged phase a load may be preceded by fresh damage: a save may have
# replaced the damaged universe file with the state it loaded.
damaged_action() {
  rnd 100
  if [ "$R" -lt 8 ]; then
    case $phase in
      universe|both) damage_universe; note "  again: $damage_name" ;;
      textures) damage_texture; note "  again: $tex_damage_name" ;;
    esac
    load; loads=$((loads + 1)); damaged_loads=$((damaged_loads + 1))
  else
    random_action
  fi
}

# The N seconds of input count from here, after start-up.
tick_ms; input_start=$MS
begin_phase clean
tick_ms; phase_end=$((MS + phase_s * 1000))
while :; do
  tick_ms
  [ $(( (MS - input_start) / 1000 )) -ge "$seconds" ] && break
  if ! kill -0 "$APP_PID" 2>/dev/null; then fail "the program ended in phase $phase"; break; fi
  if [ "$MS" -ge "$phase_end" ]; then
    if [ "$phase" = clean ]; then
      begin_phase "${phase_kinds[$((phase_index % 3))]}"
      phase_index=$((phase_index + 1))
    else
      begin_phase clean
    fi
    tick_ms; phase_end=$((MS + phase_s * 1000))
  fi
  before=$BOXES_CLOSED
  if [ "$phase" = clean ]; then random_action; else damaged_action; fi
  if [ "$phase" = clean ] && [ "$BOXES_CLOSED" != "$before" ]; then
    fail "message box in a clean phase"
  fi
done

# ---------------------------------------------------------------------------
# End: release everything, load the good files once more, quit with Esc.

# shellcheck disable=SC2086
key_up $HELD_KEYS
exit_status=""
if kill -0 "$APP_PID" 2>/dev/null; then
  xdo windowsize "$WIN" "$base_w" "$base_h"
  begin_phase clean
  sleep "$E2E_SLOW"
  note "quitting with Esc"
  quit_app; exit_status=$?
  [ -z "$APP_PID" ] && [ "$exit_status" != 0 ] && fail "exit status $exit_status"
else
  wait "$APP_PID"; exit_status=$?; APP_PID=""
  fail "the program died (status $exit_status)"
fi
kill "$sampler" 2>/dev/null; wait "$sampler" 2>/dev/null; sampler=""

# ---------------------------------------------------------------------------
# Verdict.

left=$(xdo search --name "^($BOX_TITLES)\$" | wc -l)
[ "$left" = 0 ] || fail "$left message box window(s) left"
announced=$(announced_boxes)
[ "$announced" = "$BOXES_CLOSED" ] || fail "$announced message boxes announced on stderr, $BOXES_CLOSED closed"

if [ $use_valgrind = 1 ]; then
  vg_summary=$(grep -E 'ERROR SUMMARY' "$WORK/valgrind.log" | tail -n 1)
  echo "valgrind: ${vg_summary#==*== }"
  case "$vg_summary" in
    *"ERROR SUMMARY: 0 errors"*) ;;
    *) fail "valgrind found errors (log: $WORK/valgrind.log)"
       grep -E '^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|Source and|Argument)|definitely lost' "$WORK/valgrind.log" | sort | uniq -c | head -n 20 ;;
  esac
fi

if grep -a -q -E 'Segmentation fault|Aborted|core dumped' "$WORK/stderr.txt" 2>/dev/null; then fail "crash messages on stderr"; fi

# Leaks are LeakSanitizer's and valgrind's to find. Resident memory only
# reports on a short run: single samples under the sanitizers swing by
# megabytes (a texture being decoded, freed blocks held in quarantine), so the
# floor of one minute rises and falls by more than a real leak adds in that
# time. Over a long run the floor is judged with a generous bound: the lowest
# sample of the first third of the counted samples against the lowest of the
# last third. A leak this catches and LeakSanitizer cannot, such as GL
# objects never deleted, grows with every load, hundreds of them an hour.
rss_span_s=$((seconds - warm))
rss_limit_kb=16384
echo "memory (VmRSS in kB every $((2 * E2E_SLOW)) s; * = counted, from $warm s into the input on; r = window resized, not counted):"
counted=()
while read -r ms kb flag; do
  mark=" "
  if [ -n "$flag" ]; then mark=r
  elif [ $(( (ms - input_start) / 1000 )) -ge "$warm" ]; then mark="*"; counted+=("$kb"); fi
  printf '  %s %6ss %8d\n' "$mark" "$((ms / 1000)).$((ms / 100 % 10))" "$kb"
done <"$WORK/rss.log"
lowest() { printf '%s\n' "$@" | sort -n | head -n 1; }
nc=${#counted[@]}
if [ "$nc" -ge 6 ]; then
  k=$((nc / 3))
  first=$(lowest "${counted[@]:0:k}")
  final=$(lowest "${counted[@]:nc-k:k}")
  growth=$((final - first))
  echo "memory: $nc counted samples, lowest $(lowest "${counted[@]}") kB, highest $(printf '%s\n' "${counted[@]}" | sort -n | tail -n 1) kB; floor of the first $k $first kB, of the last $k $final kB: growth $growth kB"
  if [ $use_valgrind = 1 ]; then
    echo "memory: not judged under valgrind, whose own translated-code cache grows with every new path"
  elif [ "$rss_span_s" -lt 300 ]; then
    echo "memory: not judged over $rss_span_s s of counted samples (judged from 300 s on: --seconds 360 or more)"
  elif [ "$growth" -ge "$rss_limit_kb" ]; then
    fail "resident memory grew by $growth kB over $rss_span_s s (limit $rss_limit_kb kB)"
  fi
else
  echo "memory: too few samples after the warm-up to report growth ($nc)"
  [ $use_valgrind = 0 ] && [ "$rss_span_s" -ge 300 ] && fail "too few memory samples over a long run ($nc)"
fi

echo "soak: seed $seed; loads $loads ($damaged_loads with damage), saves $saves, resizes $resizes"
echo "soak: message boxes closed $BOXES_CLOSED (texture $BOXES_TEXTURE, decoder $BOXES_ERROR, other $BOXES_OTHER); announced $announced; left open $left"
echo "soak: exit status ${exit_status:-none}"
finish
