#!/bin/bash
# The README's speed table through kivex-batch: every case is a script without its last command
# (the start-up: dialogs typed, for the fit also a simulation, an export and an import) and with
# it; the case's time is the difference of the two whole-process times, the least of REPEATS runs.
#   bench/speed_table.sh build/kivex-batch [REPEATS]
set -e
batch=$(realpath "$1")
repeats=${2:-5}
speed=$(cd "$(dirname "$0")/speed" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The least wall time, in seconds, of running the concatenation of the given scripts.
least() {
  cat "$@" > case.kivex
  local best=""
  for _ in $(seq "$repeats"); do
    local start end
    start=$(date +%s.%N)
    "$batch" case.kivex > /dev/null
    end=$(date +%s.%N)
    best=$(echo "$end - $start" | bc -l | awk -v b="$best" '{print (b == "" || $1 < b) ? $1 : b}')
  done
  echo "$best"
}

row() {
  local name=$1
  shift
  local setup whole
  setup=$(least "$@")
  whole=$(least "$@" "$speed/$last")
  printf '| %s | %.3f s |\n' "$name" "$(echo "$whole - $setup" | bc -l)"
}

s=$speed
last=simulate.kivex
row "first-order chemistry, Ru = 0" "$s/pulse_setup.kivex"
row "with the second-order step (Newton)" "$s/pulse_setup.kivex" "$s/second_order.kivex"
row "first-order, Ru = 100 ohm" "$s/pulse_setup.kivex" "$s/resistance.kivex"
row "second-order step and Ru = 100 ohm" "$s/pulse_setup.kivex" "$s/second_order.kivex" \
  "$s/resistance.kivex"
last=fit.kivex
row "3-parameter Auto Fit, second-order step, 121-point differential pulse" "$s/fit_setup.kivex"
