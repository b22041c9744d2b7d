#!/usr/bin/env bash
# The short soak: one minute of random keys, mouse, saves, loads and resizes
# with damaged files swapped in, on the program under test (soak.sh, which
# also runs longer or under valgrind by hand).
#   $1 = the orrery binary, $2 = the source folder; DISPLAY is set.
# A fixed seed keeps the input the same from run to run; set ORRERY_SOAK_SEED
# to explore others.
exec bash "$(dirname "$0")/soak.sh" --seconds "${ORRERY_SOAK_SECONDS:-60}" --seed "${ORRERY_SOAK_SEED:-20261207}" "$1" "$2"
