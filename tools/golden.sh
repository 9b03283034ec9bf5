#!/usr/bin/env bash
# Fingerprints of what the program computes, to show that a change of structure changes no
# number: every scenario, example and speed case is run through kivex-batch, followed by a dump of
# the final curves at full precision; each case prints one line with the hash of everything it
# printed and wrote. Timings are blanked. Compare two builds with diff:
#   tools/golden.sh build/kivex-batch > before.txt   # on the old tree
#   tools/golden.sh build/kivex-batch > after.txt    # on the new tree
#   diff before.txt after.txt
# With a second argument, the validation programs of a benchmark build are fingerprinted too:
#   tools/golden.sh build/kivex-batch build-bench
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
batch=$(realpath "${1:-$root/build/kivex-batch}")
bench=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs the concatenation of the given scripts with a full-precision dump of the curves at the
# end, and prints NAME and one hash of the output, the errors, the exit code and every file written
# or changed.
fingerprint() {
  local name=$1
  shift
  local dir="$work/$name"
  mkdir -p "$dir"
  [ -d "$root/tests/e2e/data" ] && cp -r "$root/tests/e2e/data/." "$dir/"
  [ -d "$root/tests/io/data" ] && mkdir -p "$dir/io" && cp -r "$root/tests/io/data/." "$dir/io/"
  [ -d "$root/examples/data" ] && mkdir -p "$dir/examples/data" && cp -r "$root/examples/data/." "$dir/examples/data/"
  cat "$@" > "$dir/case.kivex"
  printf '\nwrite-curves golden_final.csv\n' >> "$dir/case.kivex"
  # The data copied in are inputs: only what a run writes or changes counts.
  local inputs
  inputs=$(cd "$dir" && find . -type f ! -name case.kivex -print0 | sort -z | xargs -0 -r sha256sum)
  local code=0
  (cd "$dir" && "$batch" case.kivex > out.txt 2> err.txt) || code=$?
  while read -r sum file; do
    [ -n "$file" ] && [ -f "$dir/$file" ] &&
      [ "$(sha256sum < "$dir/$file" | cut -d' ' -f1)" = "$sum" ] && rm -f "$dir/$file"
  done <<< "$inputs"
  sed -i -E 's/(time[^=]*= ).*/\1<elapsed>/' "$dir/out.txt"
  sed -i -E 's/(time[^=]*= ).*/\1<elapsed>/' "$dir/err.txt"
  echo "$code" > "$dir/exit.txt"
  local hash
  hash=$(cd "$dir" && find . -type f ! -name case.kivex -print0 | sort -z |
    xargs -0 sha256sum | sha256sum | cut -c1-16)
  echo "$name $hash"
}

for script in "$root"/tests/e2e/*.kivex; do
  fingerprint "e2e_$(basename "$script" .kivex)" "$script"
done
for script in "$root"/examples/*.kivex; do
  fingerprint "example_$(basename "$script" .kivex)" "$script"
done
s="$root/bench/speed"
fingerprint speed_first_order "$s/pulse_setup.kivex" "$s/simulate.kivex"
fingerprint speed_second_order "$s/pulse_setup.kivex" "$s/second_order.kivex" "$s/simulate.kivex"
fingerprint speed_resistance "$s/pulse_setup.kivex" "$s/resistance.kivex" "$s/simulate.kivex"
fingerprint speed_both "$s/pulse_setup.kivex" "$s/second_order.kivex" "$s/resistance.kivex" \
  "$s/simulate.kivex"
fingerprint speed_fit "$s/fit_setup.kivex" "$s/fit.kivex"

if [ -n "$bench" ]; then
  for table in digital analytical; do
    program="$bench/kivex_validation_$table"
    [ -x "$program" ] || continue
    echo "validation_$table $("$program" | sed -E 's/[0-9.]+ (ms|s)\b/<elapsed>/g' |
      sha256sum | cut -c1-16)"
  done
fi
