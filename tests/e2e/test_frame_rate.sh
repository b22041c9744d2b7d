#!/usr/bin/env bash
# "fps 30" in configure.txt: the caption shows 30 +- 1 frames a second, and
# never more, while the simulation keeps its 100 steps a second. (A second
# may show fewer when the machine is too busy to draw; the median may not.) The steps
# are counted from the date that two F2 saves a few seconds apart carry (a
# universe started with --date moves its date on by deltat times the day
# length at every step).
. "$(dirname "$0")/lib.sh"

SECONDS_MEASURED=7
make_workdir
echo "fps 30" >>"$WORK/configure.txt"
APP_ARGS=(--date 2000-01-01)
start_app
wait_window || { fail "no window"; finish; }
wait_caption >/dev/null || { fail "caption never set"; finish; }
focus_app

now() { local t=${EPOCHREALTIME/,/.}; echo "$t"; }
# F2, and the moment it was pressed, once the new file is there: sets SAVED_AT.
save_as() {
    local before i
    before=$(stat -c %Y.%i "$WORK/Data/vesmir.ves" 2>/dev/null)
    SAVED_AT=$(now)
    xdo key F2
    for i in $(seq 1 100); do
        [ -s "$WORK/Data/vesmir.ves" ] && [ "$(stat -c %Y.%i "$WORK/Data/vesmir.ves")" != "$before" ] && break
        sleep 0.05
    done
    cp "$WORK/Data/vesmir.ves" "$1"
}
# Julian day, deltat, kapa and the Sun's mass of a universe file.
file_clock() { awk -F'\t' '$1=="datum"{d=$2} $1=="deltat"{t=$2} $1=="kapa"{k=$2} $1=="ins"&&$2=="Slunce"{m=$5} END{print d, t, k, m}' "$1"; }

sleep 1.5
save_as "$WORK/first.ves"
first_at=$SAVED_AT
captions=()
for _ in $(seq 1 "$SECONDS_MEASURED"); do
    sleep 1
    name=$(xdo getwindowname "$WIN")
    case $name in "fps: "*" (100)") name=${name#fps: }; captions+=("${name%% *}") ;; esac
done
save_as "$WORK/second.ves"
second_at=$SAVED_AT

echo "captions: ${captions[*]}"
check "the caption was read every second (${#captions[@]} of $SECONDS_MEASURED)" test "${#captions[@]}" -ge $((SECONDS_MEASURED - 1))
median=$(printf '%s\n' "${captions[@]}" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
check "fps 30: the caption shows 30 +- 1 (median $median)" test "${median:-0}" -ge 29 -a "${median:-0}" -le 31
for n in "${captions[@]}"; do
    check "fps 30: never more than 31 in a second (got $n)" test "$n" -le 31
done
steps=$(awk -v a="$(file_clock "$WORK/first.ves")" -v b="$(file_clock "$WORK/second.ves")" -v t1="$first_at" -v t2="$second_at" 'BEGIN {
    split(a, x, " "); split(b, y, " ")
    if (x[2] <= 0 || x[3] <= 0 || x[4] <= 0 || t2 <= t1) { print 0; exit }
    day = sqrt(x[3] * x[4] / 1e6) / 0.01720209895   # the model time unit in days
    printf "%.1f", (y[1] - x[1]) / (x[2] * day) / (t2 - t1)
}')
echo "steps per second: $steps"
# Two key presses bound the interval, each a few tens of milliseconds late.
check "100 steps a second hold at fps 30 (got $steps)" awk -v s="$steps" 'BEGIN { exit !(s >= 97 && s <= 103) }'

quit_app; status=$?
check "Esc ends with status 0 (got $status)" test "$status" -eq 0
finish
