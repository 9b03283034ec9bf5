#!/usr/bin/env bash
# Auto Fit of rate constants as a user runs it, through kivex-batch: simulate a quasi-reversible
# cycle (A + e = B, 1 cm2, 1 mM, 5 mV steps, alpha 0.45) with the Instrument dialog's noise,
# export it, import it, tick ks and alpha and fit from the Chemicals dialog's default ks (1e4,
# clamped onto its bound 100) and from 1e-2. Then the EC case and a reversible couple.
#   bench/fit_table.sh [KIVEX_BATCH [NOISE]]     # defaults: build/kivex-batch, Noise (%) 1
# The Noise (%) field gives Gaussian noise of standard deviation NOISE/4 % of the largest current.
# Prints one markdown row per fit; "ok" marks ks within 5 % and alpha within 0.01 (where
# Lambda < 10) or its 95 % interval covering 0.45 (elsewhere).
set -euo pipefail
batch=$(realpath "${1:-build/kivex-batch}")
noise=${2:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The report's numbers: fitted values 1 and 2 and their 95 % intervals, flag, iterations, trials,
# time, and after a "|" the other lines that follow the report.
report() {
  awk '
    /^No\.  / && !after { table = 1; next }
    table && /^ *[0-9]+ / { fitted[$1] = $3; next }
    table && /^$/ { table = 0 }
    /^Convergence flag =/ { flag = $4 }
    /^No\. of iteration =/ { it = $5 }
    /^No\. of obj\. fun\. =/ { trials = $6 }
    /^Computation time \(s\) =/ { time = $5; after = 1; next }
    after && /^ *[0-9]+ / { interval[$1] = $2 == "not" ? "undetermined" : $3 "_to_" $4; next }
    after && NF { extra = extra " " $0 }
    END {
      for (j = 1; j <= 2; ++j) if (interval[j] == "") interval[j] = "-"
      printf "%s %s %s %s %s %s %s %s|%s\n", fitted[1], fitted[2], interval[1], interval[2], flag, it,
             trials, time, extra
    }'
}

fit_ks() {  # rate truth start
  cat >fit.kivex <<SCRIPT
choose FormIns.ComboScan cycle
type FormIns.V $1
type FormIns.Noise $noise
type FormExpr.ks(1) $2
type FormExpr.alph(1) 0.45
menu mnuSimulate
file m.csv
menu mnuExport
file m.csv
menu mnuImport
type FormExpr.ks(1) $3
type FormExpr.alph(1) 0.5
click FormExpr.CheckFitted(1)
click FormExpr.CheckFitted(7)
click FormExpr.CheckFitted(10)
menu mnuAutoFit
SCRIPT
  "$batch" fit.kivex 2>&1 | report
}

echo "| v (V/s) | ks (cm/s) | Lambda | start | ks fitted | error | ks 95 % | alpha fitted | alpha 95 % | flag | iterations | trials | time (s) | |"
echo "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|"
passed=0
total=0
for start in 1e4 1e-2; do
  for v in 0.01 0.1 1; do
    for ks in 1e-4 3e-4 1e-3 3e-3 1e-2 3e-2 0.1; do
      read -r line < <(fit_ks "$v" "$ks" "$start")
      read -r kfit afit kint aint flag it trials time <<<"${line%%|*}"
      verdict=$(awk -v k="$ks" -v kf="$kfit" -v af="$afit" -v v="$v" -v aint="$aint" 'BEGIN {
        lambda = k / sqrt(1e-5 * 96484.6 / (8.31441 * 298.14) * v)
        err = (kf / k - 1) * 100
        ok = (err < 5 && err > -5)
        if (lambda < 10) ok = ok && (af - 0.45 < 0.01 && 0.45 - af < 0.01)
        else {
          split(aint, ends, /_to_/)
          ok = ok && aint ~ /_to_/ && ends[1] + 0 <= 0.45 && ends[2] + 0 >= 0.45
        }
        printf "%.3g %+.1f%% %s\n", lambda, err, ok ? "ok" : "FAIL"
      }')
      read -r lambda err ok <<<"$verdict"
      printf '| %s | %s | %s | %s | %.4g | %s | %s | %.4g | %s | %s | %s | %s | %.4f | %s |\n' \
        "$v" "$ks" "$lambda" "$start" "$kfit" "$err" "${kint//_to_/ to }" "$afit" "${aint//_to_/ to }" \
        "$flag" "$it" "$trials" "$time" "$ok"
      total=$((total + 1))
      [[ $ok == ok ]] && passed=$((passed + 1))
    done
  done
done
echo
echo "$passed of $total fits pass."

# A + e = B, B = C (reversible charge transfer), truth kf 3 1/s and E0 0.08 V, no noise; kf and
# E0 fitted from the dialog's defaults (10 and 0.1).
cat >fit.kivex <<SCRIPT
choose FormIns.ComboScan cycle
type FormMech.chem(1) B
type FormMech.chem(2) C
menu mnuExperimental
type FormExpr.kf(1) 3
type FormExpr.Eze(1) 0.08
menu mnuSimulate
file m.csv
menu mnuExport
file m.csv
menu mnuImport
type FormExpr.kf(1) 10
type FormExpr.Eze(1) 0.1
click FormExpr.CheckFitted(1)
click FormExpr.CheckFitted(13)
click FormExpr.CheckFitted(16)
menu mnuAutoFit
SCRIPT
# One row of the cases below: fitted values with their intervals, the counts, and the lines after
# the report that say why a fit is doubtful.
row() {
  local line
  read -r line
  read -r first second fint sint flag it trials time <<<"${line%%|*}"
  local notes=${line#*|}
  notes=$(sed -e 's/ *No\. *Std\. error.* to */ /' -e 's/Largest correlation = *[^)]*)//' <<<"$notes")
  printf '| %s | %.4g | %s | %.4g | %s | %s | %s | %s | %.4f |%s |\n' "$1" "$first" \
    "${fint//_to_/ to }" "$second" "${sint//_to_/ to }" "$flag" "$it" "$trials" "$time" "$notes"
}

echo
echo "EC, truth E0 0.08 V and kf 3 1/s, no noise, from E0 0.1 V and kf 10 1/s:"
echo
echo "| | E0 fitted | 95 % | kf fitted | 95 % | flag | iterations | trials | time (s) | notes |"
echo "|---|---|---|---|---|---|---|---|---|---|"
"$batch" fit.kivex 2>&1 | report | row "EC"

# A reversible couple (ks 1 cm/s) cannot tell its ks: the fit must say so.
echo
echo "Reversible couple, ks 1 cm/s, alpha 0.45:"
echo
echo "| v (V/s), start | ks fitted | 95 % | alpha fitted | 95 % | flag | iterations | trials | time (s) | notes |"
echo "|---|---|---|---|---|---|---|---|---|---|"
for v in 0.01 0.1 1; do
  for start in 1e4 1e-2; do
    fit_ks "$v" 1 "$start" | row "$v, $start"
  done
done
