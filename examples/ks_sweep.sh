#!/usr/bin/env bash
# A parameter sweep as independent kivex-batch processes: a cyclic voltammogram at 0.1 V/s for
# each heterogeneous rate constant ks, one CSV per value, then the peak separation of each. The
# runs share nothing, so they go side by side on every core here (xargs -P); on a cluster the
# same run_one body becomes one task of a job array, and with GNU parallel installed
#   parallel run_one ::: 1e-4 1e-3 ...
# does the same. Run from the repository's top folder:
#   examples/ks_sweep.sh [path/to/kivex-batch] [output folder]
# It writes OUTPUT/ks_VALUE.csv and OUTPUT/ks_VALUE.txt (the result lines) for every value and
# prints "ks  Ep2 - Ep1" for each, slowest first.
set -euo pipefail
batch=$(realpath "${1:-build/kivex-batch}")
out=${2:-ks_sweep}
mkdir -p "$out"

run_one() {
  local ks=$1
  "$batch" >"$out/ks_$ks.txt" <<SCRIPT
choose FormIns.ComboScan cycle
type FormIns.V 0.1
type FormExpr.ks(1) $ks
type FormExpr.alph(1) 0.5
menu mnuSimulate
menu mnuFindPeak
write-curves $out/ks_$ks.csv
SCRIPT
}
export -f run_one
export batch out

values=(1e-4 3e-4 1e-3 3e-3 1e-2 3e-2 1e-1 1)
printf '%s\n' "${values[@]}" | xargs -P "$(nproc)" -I{} bash -c 'run_one {}'

echo "ks (cm/s)   Ep2 - Ep1 (V)"
for ks in "${values[@]}"; do
  separation=$(sed -n 's/^Ep2 - Ep1 = *\([^ ]*\).*/\1/p' "$out/ks_$ks.txt")
  printf '%-11s %s\n' "$ks" "${separation:-no return peak}"
done
