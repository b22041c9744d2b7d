#!/usr/bin/env bash
# Soak test of the real program: seeded random keys, key holds, mouse motion,
# saves, loads and window resizes for a bounded time, with a damaged universe
# file and damaged textures swapped in for part of the time. It closes the
# message boxes that the damage calls for and fails on a crash, a sanitizer or
# valgrind report, a message box nobody asked for or left open, an unclean
# exit, or resident memory that keeps growing after the warm-up.
#
#   tools/soak.sh [--seconds N] [--seed S] [--valgrind] [--keep] <orrery> <source-dir>
#
# Needs an X display (DISPLAY; tests/run_with_xvfb.sh makes one) and xdotool.
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
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) [ $# -ge 2 ] || usage; seconds=$2; shift 2 ;;
    --seed) [ $# -ge 2 ] || usage; seed=$2; shift 2 ;;
    --valgrind) use_valgrind=1; shift ;;
    --keep) keep=1; shift ;;
    -h|--help) usage ;;
    --) shift; break ;;
    -*) echo "soak: unknown option $1" >&2; usage ;;
    *) break ;;
  esac
done
[ $# -eq 2 ] || usage
case "$seconds" in ''|*[!0-9]*) echo "soak: --seconds wants a whole number" >&2; exit 2 ;; esac
[ "$seconds" -ge 10 ] || { echo "soak: at least 10 seconds" >&2; exit 2; }

binary=$(readlink -f "$1")
source_dir=$(readlink -f "$2")
[ -x "$binary" ] || { echo "soak: no program at $1" >&2; exit 2; }
[ -f "$source_dir/configure.txt" ] && [ -d "$source_dir/Data/planety_256x128x24" ] ||
  { echo "soak: $2 has no configure.txt or Data/planety_256x128x24" >&2; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "soak: no DISPLAY (run it under tests/run_with_xvfb.sh)" >&2; exit 2; }
command -v xdotool >/dev/null 2>&1 || { echo "soak: xdotool is not installed" >&2; exit 2; }
if [ $use_valgrind = 1 ]; then
  command -v valgrind >/dev/null 2>&1 || { echo "soak: valgrind is not installed" >&2; exit 2; }
fi

if [ -z "$seed" ]; then seed=$(( $(date +%s) % 1000000 )); fi
case "$seed" in ''|*[!0-9]*) echo "soak: --seed wants a whole number" >&2; exit 2 ;; esac
RANDOM=$seed

# Everything that waits is scaled: software GL under valgrind draws a frame in
# about a second, and a key has to stay down across a frame to be seen at all,
# because the program reads the key state once per tick and a press released
# before the next tick is lost.
if [ $use_valgrind = 1 ]; then slow=12; else slow=1; fi

work=$(mktemp -d /tmp/orrery-soak.XXXXXX)
good="$work/good"          # pristine copies that damage is restored from
cases="$work/cases"        # the damaged universe files, made from the seed
mkdir -p "$good" "$cases" "$work/run/Data"
cp "$source_dir/configure.txt" "$work/run/"
# Under valgrind a 640 x 480 frame takes a second; a quarter of the pixels
# brings that down to a third.
base_w=640; base_h=480
if [ $use_valgrind = 1 ]; then
  base_w=320; base_h=240
  sed -i 's/^width .*/width 320/; s/^height .*/height 240/' "$work/run/configure.txt"
fi
cp -r "$source_dir/Data/planety_256x128x24" "$work/run/Data/"
cp -r "$source_dir/Data/planety_256x128x24" "$good/"
run="$work/run"
tex="$run/Data/planety_256x128x24"
ves="$run/Data/vesmir.ves"
rm -f "$ves"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
note() { printf '[%6.1fs] %s\n' "$(elapsed)" "$*"; }

start_time=${EPOCHREALTIME/[.,]/}
now_ms() { local t=${EPOCHREALTIME/[.,]/}; echo $(( (t - start_time) / 1000 )); }
elapsed() { local t=${EPOCHREALTIME/[.,]/}; echo "$(( (t - start_time) / 1000000 )).$(( (t - start_time) / 100000 % 10 ))"; }
# Whole milliseconds since the start, without a subshell: sets MS.
tick_ms() { local t=${EPOCHREALTIME/[.,]/}; MS=$(( (t - start_time) / 1000 )); }
# A random number below $1, without a subshell (a subshell would not advance
# the seeded sequence): sets R.
rnd() { R=$(( (RANDOM * 32768 + RANDOM) % $1 )); }
# A pause of $1..$2 milliseconds (scaled).
pause_ms() {
  local lo=$1 hi=$2 ms
  rnd $((hi - lo + 1)); ms=$(( (lo + R) * slow ))
  sleep "$((ms / 1000)).$(printf '%03d' $((ms % 1000)))"
}

# The keys of the help screen and the time keys; Esc only at the end. Held
# keys are those that act at every tick while down.
tap_keys="F1 Left Right Up Down a s d w Shift_L Control_L Alt_L space KP_Add KP_Subtract KP_Multiply Page_Up Page_Down 0 1 2 3 4 5 6 7 8 9 l b F2"
hold_keys="Left Right Up Down a s d w Shift_L Control_L KP_Add KP_Subtract 1 2 3 4 5 6 7 8 9 0"
all_keys="$tap_keys F3"
read -r -a tap_list <<<"$tap_keys"
read -r -a hold_list <<<"$hold_keys"

pid=""
sampler=""
x() { timeout 10 xdotool "$@" 2>/dev/null; }

cleanup() {
  [ -n "$sampler" ] && kill "$sampler" 2>/dev/null
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null; sleep 1; kill -9 "$pid" 2>/dev/null
  fi
  # Keys left down would follow the display into the next test's program.
  for k in $all_keys Escape; do timeout 5 xdotool keyup "$k" >/dev/null 2>&1; done
  if [ $keep = 0 ] && [ "$failures" = 0 ]; then rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'echo "soak: interrupted"; exit 130' INT TERM


# ---------------------------------------------------------------------------
# Damaged inputs.

rand_bytes() {  # rand_bytes N SEED > file: N reproducible random bytes
  LC_ALL=C awk -v n="$1" -v s="$2" 'BEGIN { srand(s); for (i = 0; i < n; i++) printf "%c", int(rand() * 256) }'
}
# Little-endian fields: le16/le32 VALUE writes the bytes themselves.
le_bytes() {
  local v=$1 n=$2 i out=""
  for ((i = 0; i < n; i++)); do out+=$(printf '\\%03o' $(( (v >> (8 * i)) & 255 ))); done
  printf "$out"
}
le16() { le_bytes "$1" 2; }
le32() { le_bytes "$1" 4; }
# bmp_header WIDTH HEIGHT BITS COMPRESSION COLOURS_USED PIXEL_OFFSET HEADER_SIZE
bmp_header() {
  printf 'BM'; le32 0; le32 0; le32 "$6"; le32 "$7"; le32 "$1"; le32 "$2"; le16 1; le16 "$3"
  le32 "$4"; le32 0; le32 2835; le32 2835; le32 "$5"; le32 0
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
    6) { bmp_header 100000 100000 24 0 0 54 40; rand_bytes 100 1; } >"$file"; tex_damage_name="$name 100000x100000 without pixels" ;;
    7) { bmp_header 65536 -2147483648 24 0 0 54 40; rand_bytes 100 2; } >"$file"; tex_damage_name="$name extreme height" ;;
    8) { bmp_header 4 4 8 0 4294967295 1078 40; rand_bytes 64 3; } >"$file"; tex_damage_name="$name palette count 2^32-1" ;;
    9) { bmp_header 64 64 8 1 2 62 40; printf '\xff\x00\xff\x00\xff\x00\xff\x00'; printf '\xff\x07\x00\x02\x7f\x7f'; printf '\x00\x00'; } >"$file"
       tex_must_fail=0; tex_damage_name="$name RLE8 that runs past its rows" ;;
    10) { bmp_header 16 16 7 0 0 4294967295 4294967280; } >"$file"; tex_damage_name="$name bad depth, offset and header size" ;;
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
# Message boxes: found by title, closed with Return, counted.

box_titles='^(Nepodarilo se nacist texturu|Error|ERROR)$'
boxes_closed=0
boxes_texture=0
boxes_error=0
boxes_other=0
boxes_in_phase=0

box_lines() {  # message boxes the program has announced on standard error
  LC_ALL=C grep -a -c -E '^orrery: (Nepodarilo se nacist texturu|Error|ERROR): ' "$work/stderr.log" 2>/dev/null || true
}
box_title() {  # title of announced box number $1
  LC_ALL=C grep -a -E '^orrery: (Nepodarilo se nacist texturu|Error|ERROR): ' "$work/stderr.log" |
    LC_ALL=C sed -n "$1{s/^orrery: \([^:]*\): .*/\1/p;q}"
}

# Closes message boxes until none is announced but not yet closed and none has
# come for a quiet while. The program prints each box's line on standard error
# before it opens the window, and opens the next box only after the last one
# was closed, so the count of those lines says which box is up. (Window ids
# are no help there: each box has its own display connection, and the next
# box often gets the id of the one just closed.)
drain_boxes() {
  local before=$boxes_closed
  close_boxes
  # Without a window manager the focus goes back to the root window when a
  # box closes, and keys then reach the program only while the pointer is over
  # its window. Counted, and put right so that the run can go on.
  if [ "$boxes_closed" != "$before" ] && kill -0 "$pid" 2>/dev/null; then
    if [ "$(x getwindowfocus)" != "$window" ]; then
      focus_lost=$((focus_lost + 1))
      x windowfocus "$window"
    fi
  fi
}
focus_lost=0
count_box() {
  boxes_closed=$((boxes_closed + 1)); boxes_in_phase=$((boxes_in_phase + 1))
  case "$1" in
    "Nepodarilo se nacist texturu") boxes_texture=$((boxes_texture + 1)) ;;
    Error) boxes_error=$((boxes_error + 1)) ;;
    *) boxes_other=$((boxes_other + 1)); fail "unexpected message box \"$1\"" ;;
  esac
}
close_boxes() {
  local quiet_ms=$((1500 * slow)) give_up_ms=$((30000 * slow)) last id title sent n
  tick_ms; last=$MS
  while :; do
    kill -0 "$pid" 2>/dev/null || return
    n=$(box_lines)
    tick_ms
    if [ "$n" -le "$boxes_closed" ]; then
      [ $((MS - last)) -gt $quiet_ms ] && return
      sleep 0.1
      continue
    fi
    # A repeated Return may have closed the next box as soon as it opened
    # (it often has the id of the one before); nothing else sends keys here.
    while [ "$n" -gt $((boxes_closed + 1)) ]; do count_box "$(box_title $((boxes_closed + 1)))"; done
    id=$(x search --onlyvisible --name "$box_titles" | head -n 1)
    if [ -z "$id" ]; then
      [ $((MS - last)) -gt $give_up_ms ] && { fail "message box $((boxes_closed + 1)) announced but never shown"; return; }
      sleep 0.1
      continue
    fi
    # Box number boxes_closed+1 is up: Return until it goes away or the next
    # one is announced.
    sent=0
    while :; do
      # Now and then a Return sent just as a box opens goes unseen: again
      # after a second.
      if [ $((sent % (10 * slow))) = 0 ]; then
        [ $sent -gt 0 ] && [ -n "${SOAK_DEBUG:-}" ] && note "  box $id: Return again"
        x key --window "$id" Return
      fi
      sent=$((sent + 1))
      sleep 0.1
      [ "$(box_lines)" -gt "$n" ] && break
      x search --onlyvisible --name "$box_titles" | grep -qx "$id" || break
      kill -0 "$pid" 2>/dev/null || return
      if [ $sent -gt $((150 * slow)) ]; then fail "message box $id does not close"; return; fi
    done
    count_box "$(box_title "$n")"
    tick_ms; last=$MS
  done
}

# ---------------------------------------------------------------------------
# Input.

press() {  # press KEY...: down together, held across a few frames, released
  local k
  for k in "$@"; do x keydown "$k"; done
  pause_ms 60 200
  for k in "$@"; do x keyup "$k"; done
}
load() {  # F3, then the message boxes it brings
  local t0 n0=$boxes_closed
  tick_ms; t0=$MS
  press F3
  drain_boxes
  tick_ms
  [ "$boxes_closed" = "$n0" ] || note "  load: $((boxes_closed - n0)) message box(es) closed in $(( (MS - t0) / 1000 )).$(( (MS - t0) / 100 % 10 )) s"
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
    press "$k"
    [ "$k" = F2 ] && saves=$((saves + 1))
  elif [ "$R" -lt 55 ]; then
    rnd ${#hold_list[@]}; k=${hold_list[$R]}
    x keydown "$k"
    rnd 3
    if [ "$R" = 0 ]; then rnd ${#hold_list[@]}; i=${hold_list[$R]}; x keydown "$i"; else i=""; fi
    pause_ms 50 1200
    x keyup "$k"; [ -n "$i" ] && x keyup "$i"
  elif [ "$R" -lt 70 ]; then
    rnd 8; n=$((R + 1))
    for ((i = 0; i < n; i++)); do
      rnd 401; w=$((R - 200)); rnd 401; h=$((R - 200))
      x mousemove_relative -- "$w" "$h"
      pause_ms 5 40
    done
  elif [ "$R" -lt 80 ]; then
    load; loads=$((loads + 1))
  elif [ "$R" -lt 85 ]; then
    press F2; saves=$((saves + 1))
  elif [ "$R" -lt 88 ]; then
    # Both in one tick: the file just written is read straight back.
    press F2 F3; drain_boxes; saves=$((saves + 1)); loads=$((loads + 1))
  elif [ "$R" -lt 93 ]; then
    rnd ${#sizes[@]}; w=${sizes[$R]%x*}; h=${sizes[$R]#*x}
    # A larger window takes more memory for as long as it lasts; samples
    # taken meanwhile are not counted.
    : >"$work/resized"
    x windowsize "$window" "$w" "$h"; resizes=$((resizes + 1))
    pause_ms 200 1500
    rnd 3; [ "$R" = 0 ] && { press Page_Up; x mousemove_relative -- 30 -20; }
    x windowsize "$window" "$base_w" "$base_h"
    pause_ms 200 400
    rm -f "$work/resized"
  else
    pause_ms 50 500
  fi
}

# ---------------------------------------------------------------------------
# Memory.

sample_memory() {  # background: "<ms since start> <VmRSS kB> <r if resized>"
  local every=$((2 * slow)) rss flag
  while kill -0 "$pid" 2>/dev/null; do
    flag=""; [ -e "$work/resized" ] && flag=r
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
    [ -n "$rss" ] && echo "$(now_ms) $rss $flag" >>"$work/rss.log"
    sleep "$every"
  done
}

# ---------------------------------------------------------------------------
# Start.

sanitizer_log="$work/sanitizer"
export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1:detect_leaks=1:quarantine_size_mb=4${ASAN_OPTIONS:+:$ASAN_OPTIONS}:log_path=$sanitizer_log"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}:log_path=$sanitizer_log"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$source_dir/tests/lsan.supp:print_suppressions=0}"
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1}

echo "soak: seed $seed, $seconds s, program $binary$([ $use_valgrind = 1 ] && echo ' under valgrind')"
echo "soak: working folder $work"
cd "$run" || exit 1
if [ $use_valgrind = 1 ]; then
  valgrind --tool=memcheck --error-exitcode=99 --suppressions="$source_dir/tests/valgrind.supp" \
    --gen-suppressions=all --num-callers=30 --track-origins=no --keep-debuginfo=yes \
    --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
    --log-file="$work/valgrind.log" "$binary" >"$work/stdout.log" 2>"$work/stderr.log" &
  pid=$!
else
  "$binary" >"$work/stdout.log" 2>"$work/stderr.log" &
  pid=$!
fi

# The caption reads "fps: ..." from the first second of ticks on.
startup_limit=$((60 * slow))
window=""
while [ -z "$window" ]; do
  window=$(x search --name '^fps: ' | head -n 1)
  [ -n "$window" ] && break
  if ! kill -0 "$pid" 2>/dev/null; then fail "the program ended during start-up"; break; fi
  tick_ms
  [ $((MS / 1000)) -ge $startup_limit ] && { fail "no window within $startup_limit s"; break; }
  sleep 0.2
done
if [ -z "$window" ]; then
  tail -n 20 "$work/stderr.log"
  echo "soak: FAILED"; exit 1
fi
note "window $window is up"
drain_boxes
[ "$boxes_closed" = 0 ] || fail "message boxes at start-up with good files"

sample_memory &
sampler=$!

# The good universe file is the program's own, saved before any input.
for try in 1 2 3 4 5; do
  press F2
  sleep "$slow"
  [ -s "$ves" ] && break
done
if [ -s "$ves" ]; then
  cp "$ves" "$good/vesmir.ves"
else
  fail "F2 wrote no Data/vesmir.ves"
fi
make_universe_cases

# Warm-up: every kind of damage and every window size once, so that the
# memory the run settles at is known before the samples start to count.
if [ "$seconds" -ge 180 ]; then warm=60; else warm=$((seconds / 3)); fi
note "warm-up: memory samples of the first $warm s of input do not count"
x windowsize "$window" 1280 1024; sleep "$slow"; x windowsize "$window" "$base_w" "$base_h"
# The software GL driver compiles code for every new combination of lighting,
# blending and the help text, and keeps it: megabytes each, once. All eight
# combinations come up here (in Gray-code order), with a damaged texture.
for k in l b l F1 l b l F1; do press "$k"; sleep "$(( slow ))"; done

# ---------------------------------------------------------------------------
# Phases: clean ones between damaged ones. A clean phase starts by restoring
# the good files and loading them, after which no message box may appear.

if [ "$seconds" -ge 300 ]; then phase_s=30; else phase_s=$(( seconds / 10 > 4 ? seconds / 10 : 4 )); fi
# Under valgrind every action is slow: fewer, longer phases.
[ $use_valgrind = 1 ] && [ $phase_s -lt $((seconds / 4)) ] && phase_s=$((seconds / 4))
phase_kinds=(universe textures both)
phase_index=0
damaged_loads=0
phase_log=""

begin_phase() {
  local kind=$1
  boxes_in_phase=0
  case $kind in
    clean)
      restore_textures
      [ -s "$good/vesmir.ves" ] && cp "$good/vesmir.ves" "$ves"
      load; loads=$((loads + 1))
      [ $boxes_in_phase = 0 ] || fail "message boxes after loading the good files"
      note "phase clean" ;;
    universe)
      damage_universe
      note "phase universe: $damage_name"
      load; loads=$((loads + 1)); damaged_loads=$((damaged_loads + 1)) ;;
    textures)
      restore_textures
      [ -s "$good/vesmir.ves" ] && cp "$good/vesmir.ves" "$ves"
      damage_texture; local first=$tex_damage_name must=$tex_must_fail
      rnd 2; [ "$R" = 0 ] && { damage_texture; first="$first; $tex_damage_name"; must=$((must | tex_must_fail)); }
      note "phase textures: $first"
      load; loads=$((loads + 1)); damaged_loads=$((damaged_loads + 1))
      [ "$must" = 1 ] && [ $boxes_in_phase = 0 ] && fail "no message box for a texture that cannot load ($first)" ;;
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
phase=clean
begin_phase clean
tick_ms; phase_end=$((MS + phase_s * 1000))
unexpected=0
while :; do
  tick_ms
  [ $(( (MS - input_start) / 1000 )) -ge "$seconds" ] && break
  if ! kill -0 "$pid" 2>/dev/null; then fail "the program ended in phase $phase"; break; fi
  if [ "$MS" -ge "$phase_end" ]; then
    if [ "$phase" = clean ]; then
      begin_phase "${phase_kinds[$((phase_index % 3))]}"
      phase_index=$((phase_index + 1))
    else
      begin_phase clean
    fi
    tick_ms; phase_end=$((MS + phase_s * 1000))
  fi
  before=$boxes_in_phase
  if [ "$phase" = clean ]; then random_action; else damaged_action; fi
  if [ "$phase" = clean ] && [ "$boxes_in_phase" != "$before" ]; then
    fail "message box in a clean phase"
  fi
done

# ---------------------------------------------------------------------------
# End: release everything, load the good files once more, quit with Esc.

for k in $all_keys; do x keyup "$k"; done
if kill -0 "$pid" 2>/dev/null; then
  x windowsize "$window" "$base_w" "$base_h"
  begin_phase clean
  sleep "$slow"
  [ "$(x getwindowfocus)" = "$window" ] || { note "focus is not on the program: giving it back"; x windowfocus "$window"; }
  note "quitting with Esc"
  exit_status=""
  for try in 1 2 3; do
    press Escape
    for ((i = 0; i < 100 * slow; i++)); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.3
    done
    kill -0 "$pid" 2>/dev/null || break
    note "still running after Esc (try $try)"
  done
  if kill -0 "$pid" 2>/dev/null; then
    fail "the program did not quit on Esc"
  else
    wait "$pid"; exit_status=$?
    [ "$exit_status" = 0 ] || fail "exit status $exit_status"
  fi
else
  wait "$pid"; exit_status=$?
  fail "the program died (status $exit_status)"
fi
pid_done=$pid; pid=""
kill "$sampler" 2>/dev/null; wait "$sampler" 2>/dev/null; sampler=""

# ---------------------------------------------------------------------------
# Verdict.

left=$(x search --name "$box_titles" | wc -l)
[ "$left" = 0 ] || fail "$left message box window(s) left"
announced=$(box_lines)
[ "$announced" = "$boxes_closed" ] || fail "$announced message boxes announced on stderr, $boxes_closed closed"

reports=$(cat "$sanitizer_log".* "$work/stderr.log" 2>/dev/null |
  grep -a -E 'ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|SUMMARY: UndefinedBehaviorSanitizer|AddressSanitizer:DEADLYSIGNAL' | sort | uniq -c)
if [ -n "$reports" ]; then
  fail "sanitizer reports:"; echo "$reports"
  for f in "$sanitizer_log".*; do [ -f "$f" ] && { echo "--- $f"; head -n 60 "$f"; }; done
fi
if [ $use_valgrind = 1 ]; then
  vg_summary=$(grep -E 'ERROR SUMMARY' "$work/valgrind.log" | tail -n 1)
  echo "valgrind: ${vg_summary#==*== }"
  case "$vg_summary" in
    *"ERROR SUMMARY: 0 errors"*) ;;
    *) fail "valgrind found errors (log: $work/valgrind.log)"
       grep -E '^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|Source and|Argument)|definitely lost' "$work/valgrind.log" | sort | uniq -c | head -n 20 ;;
  esac
fi
if grep -a -q -E 'Segmentation fault|Aborted|core dumped' "$work/stderr.log" 2>/dev/null; then fail "crash messages on stderr"; fi

# Growth is judged on the floor: the lowest sample of the first third of the
# counted samples against the lowest of the last third. Passing peaks (a
# texture being decoded, freed blocks held in the sanitizer's quarantine) lift
# single samples by megabytes; memory that stays taken lifts the floor.
echo "memory (VmRSS in kB every $((2 * slow)) s; * = counted, from $warm s into the input on; r = window resized, not counted):"
counted=()
while read -r ms kb flag; do
  mark=" "
  if [ -n "$flag" ]; then mark=r
  elif [ $(( (ms - input_start) / 1000 )) -ge "$warm" ]; then mark="*"; counted+=("$kb"); fi
  printf '  %s %6ss %8d\n' "$mark" "$((ms / 1000)).$((ms / 100 % 10))" "$kb"
done <"$work/rss.log"
lowest() { printf '%s\n' "$@" | sort -n | head -n 1; }
nc=${#counted[@]}
if [ "$nc" -ge 6 ]; then
  k=$((nc / 3))
  first=$(lowest "${counted[@]:0:k}")
  final=$(lowest "${counted[@]:nc-k:k}")
  low=$(printf '%s\n' "${counted[@]}" | sort -n | head -n 1)
  high=$(printf '%s\n' "${counted[@]}" | sort -n | tail -n 1)
  growth=$((final - first))
  echo "memory: $nc counted samples, lowest $low kB, highest $high kB; floor of the first $k $first kB, of the last $k $final kB: growth $growth kB (limit 1024 kB)"
  if [ "$growth" -ge 1024 ]; then
    if [ $use_valgrind = 1 ]; then
      echo "memory: not judged under valgrind, whose own translated-code cache grows with every new path"
    else
      fail "resident memory grew by $growth kB after the warm-up"
    fi
  fi
elif [ $use_valgrind = 1 ]; then
  echo "memory: too few samples after the warm-up to judge ($nc); not judged under valgrind anyway"
else
  fail "too few memory samples after the warm-up ($nc)"
fi

echo "soak: seed $seed; loads $loads ($damaged_loads with damage), saves $saves, resizes $resizes"
echo "soak: message boxes closed $boxes_closed (texture $boxes_texture, decoder $boxes_error, other $boxes_other); announced $announced; left open $left"
echo "soak: exit status ${exit_status:-none}"
[ "$focus_lost" = 0 ] || echo "soak: note: $focus_lost time(s) the keyboard focus was not back on the program after its message boxes closed (given back with xdotool windowfocus)"
if [ "$failures" = 0 ]; then
  echo "soak: PASSED"
  exit 0
fi
echo "soak: FAILED ($failures); logs in $work"
exit 1
