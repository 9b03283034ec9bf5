#!/usr/bin/env bash
# Mutation check of the test suite: each of a few one-line faults that a user would see is put
# into a scratch copy of the tree in turn, the copy is rebuilt and ctest run; a fault that no test
# fails is reported as SURVIVED. The working tree itself is never edited.
#   tools/mutate.sh              # every mutant
#   tools/mutate.sh clamp peak   # only the mutants whose names are given
# The copy lives in build-mutate/ (ignored by git) and is kept, so a second run rebuilds only
# what changed; its build directory sits at the same depth as build/, so ccache serves it.
# Exit status: 0 when every mutant is caught, 1 when one survives or its line cannot be found.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=${KIVEX_MUTATE_DIR:-$root/build-mutate}
tree=$scratch/tree
jobs=${KIVEX_MUTATE_JOBS:-2}

# name | file under src/ | exact text | replacement. The text must occur exactly once in the file,
# so a refactor that moves or rewrites the line makes the mutant report NOT FOUND rather than
# silently test nothing. "\n" in the text stands for a line break.
mutants=(
  "diffusion-floor|simulation/digital_simulation.cpp|return std::max(kModelDiffusionWithoutChemistry, dm);|return dm;"
  "pair-4001|io/csv_import.cpp|pairs_.x.size() >= static_cast<std::size_t>(model::kMaxPoints)|pairs_.x.size() > static_cast<std::size_t>(model::kMaxPoints)"
  "semi-weight|numerics/semi_differentiate.cpp|- 2.0 * std::sqrt(static_cast<double>(m))|- 1.99 * std::sqrt(static_cast<double>(m))"
  "sweep-scale|simulation/analytical_route.cpp|return 2.0 * model::Sqrt(model::Div(app.tDrop * app.scanRate, app.Estep));|return 2.01 * model::Sqrt(model::Div(app.tDrop * app.scanRate, app.Estep));"
  "peak-threshold|analysis/peak_finding.cpp|a(i) > threshold|a(i) >= threshold"
  "clamp|fitting/marquardt.cpp|std::clamp(work.z[j] + work.S[j], work.zMin[j], work.zMax[j])|(work.z[j] + work.S[j])"
  "block-elimination|simulation/block_solver.cpp|b[s] * aNext[t] * W[s][t]|b[s] * aNext[s] * W[s][t]"
  "f-over-rt|ui/commit_chain.cpp|app.fOverRT = (model::kFaraday / model::kGasConstant) / app.temperature;\n  app.RToverF|app.fOverRT = (model::kFaraday / model::kGasConstant) / (app.temperature + 0.5);\n  app.RToverF"
)

# Replaces the single occurrence of $2 by $3 in file $1; fails when it occurs zero or several times.
substitute() {
  FROM=$2 TO=$3 perl -0777 -i -pe '
    my $from = $ENV{FROM}; $from =~ s/\\n/\n/g;
    my $to = $ENV{TO}; $to =~ s/\\n/\n/g;
    my $count = () = /\Q$from\E/g;
    if ($count != 1) { print STDERR "$count\n"; exit 3; }
    s/\Q$from\E/$to/;
  ' "$1"
}

# The scratch tree: what git would commit from the working tree (tracked and untracked files,
# ignored ones left out). Only files whose content differs are copied, and files gone from the
# working tree are removed, so ninja rebuilds exactly what changed since the last run.
mkdir -p "$tree"
declare -A wanted=()
while IFS= read -r -d '' f; do
  [ -f "$root/$f" ] || continue
  wanted[$f]=1
  if ! cmp -s "$root/$f" "$tree/$f"; then
    mkdir -p "$(dirname "$tree/$f")"
    cp -p "$root/$f" "$tree/$f"
    touch "$tree/$f"
  fi
done < <(cd "$root" && git ls-files -co --exclude-standard -z)
while IFS= read -r -d '' f; do
  f=${f#./}
  [ -n "${wanted[$f]:-}" ] || rm -f "$tree/$f"
done < <(cd "$tree" && find . -path ./build -prune -o -type f -print0)

if [ ! -f "$tree/build/build.ninja" ]; then
  launcher=()  # ccache (apt-get install ccache) only speeds the rebuilds up
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$tree" -B "$tree/build" -G Ninja "${launcher[@]}" >/dev/null || exit 1
fi
echo "building the unmutated copy ..."
if ! cmake --build "$tree/build" -j"$jobs" >"$scratch/build.log" 2>&1; then
  echo "the unmutated copy does not build; see $scratch/build.log"
  exit 1
fi

status=0
for entry in "${mutants[@]}"; do
  IFS='|' read -r name file from to <<<"$entry"
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  path=$tree/src/$file
  cp "$path" "$scratch/original"
  if ! substitute "$path" "$from" "$to" 2>/dev/null; then
    printf '%-18s NOT FOUND in src/%s\n' "$name" "$file"
    status=1
    continue
  fi
  log=$scratch/$name.log
  if ! cmake --build "$tree/build" -j"$jobs" >"$log" 2>&1; then
    printf '%-18s caught by the compiler\n' "$name"
  else
    (cd "$tree/build" && ctest -j"$jobs" --timeout 300 -E '^x11\.' >>"$log" 2>&1)
    failed=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' "$log")
    count=$(printf '%s' "$failed" | grep -c . || true)
    if [ "$count" -eq 0 ]; then
      printf '%-18s SURVIVED\n' "$name"
      status=1
    else
      printf '%-18s caught by %d tests: %s\n' "$name" "$count" "$(echo $failed)"
    fi
  fi
  # Restore with a fresh time stamp, so ninja rebuilds the object from the original.
  cp "$scratch/original" "$path"
  touch "$path"
done
# Leave the copy built as the working tree is, so the next run starts from it.
cmake --build "$tree/build" -j"$jobs" >"$scratch/build.log" 2>&1
exit $status
