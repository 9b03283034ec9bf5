#!/usr/bin/env bash
# clang-format and clang-tidy on the C++ files changed against a base, with the checked-in
# .clang-format and .clang-tidy. The base is the merge base with origin/main where the branch has
# moved on from it, else the previous commit; changes not yet committed count too.
#   tools/lint.sh              # against the default base
#   tools/lint.sh main         # against the merge base with another branch
#   KIVEX_LINT_FILES="a.cpp b.h" tools/lint.sh   # these files instead of the changed ones
# clang-tidy reads the compile commands of build/ (KIVEX_LINT_BUILD to choose another); files the
# build does not compile (the Qt sources of a build without Qt) are left out; a header is checked
# through its own source file and every changed source that includes it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KIVEX_LINT_BUILD:-build}

if [ $# -ge 1 ]; then
  base=$(git merge-base HEAD "$1")
elif base=$(git merge-base HEAD origin/main 2>/dev/null) && [ "$base" != "$(git rev-parse HEAD)" ]; then
  :
else
  # On main itself (a fresh clone of it), the last commit's changes: a merge's whole branch.
  base=HEAD~1
fi

# tests/lint holds the lint's own planted finding, checked only when named.
if [ -n "${KIVEX_LINT_FILES:-}" ]; then
  read -r -a files <<< "$KIVEX_LINT_FILES"
else
  mapfile -t files < <(
    { git diff --name-only --diff-filter=d "$base" -- ; git ls-files --others --exclude-standard; } |
      grep -E '\.(cpp|h)$' | grep -v '^tests/lint/' | sort -u)
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "lint: no C++ files changed against $base"
  exit 0
fi

echo "== clang-format (${#files[@]} files against $base)"
clang-format --dry-run -Werror "${files[@]}"

echo "== clang-tidy"
if [ ! -f "$build/compile_commands.json" ]; then
  echo "lint: $build/compile_commands.json is missing; configure the build first" >&2
  exit 1
fi
# A changed header is checked through its own source file.
compiled=()
for f in "${files[@]}"; do
  case $f in
    *.h) source=${f%.h}.cpp ;;
    *) source=$f ;;
  esac
  if grep -q "\"file\": \"$PWD/$source\"" "$build/compile_commands.json"; then
    compiled+=("$source")
  fi
done
if [ ${#compiled[@]} -gt 0 ]; then
  mapfile -t compiled < <(printf '%s\n' "${compiled[@]}" | sort -u)
fi
if [ ${#compiled[@]} -gt 0 ]; then
  clang-tidy -p "$build" --quiet --warnings-as-errors='*' "${compiled[@]}"
fi
