#!/usr/bin/env bash
# The short soak: one minute of random keys, mouse, saves, loads and resizes
# with damaged files swapped in, on the program under test. The long run
# (ten minutes, or under valgrind) is tools/soak.sh by hand.
#   $1 = the orrery binary, $2 = the source folder; DISPLAY is set.
set -u
# A fixed seed keeps the input the same from run to run; set ORRERY_SOAK_SEED
# to explore others.
exec bash "$2/tools/soak.sh" --seconds "${ORRERY_SOAK_SECONDS:-60}" --seed "${ORRERY_SOAK_SEED:-20261207}" "$1" "$2"
