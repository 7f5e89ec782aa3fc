#!/usr/bin/env bash
# Listing 100,000 files in 10,000 folders: our search against `find -iname '*.txt'`
# on the same tree, in the same script, warm cache for both. Prints the best of
# several rounds of each and their ratio (ours / find).
set -euo pipefail
bin=${1:-build/bin}
rounds=${ROUNDS:-5}
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
"$bin/search_bench" generate "$tree"

find_best=
for _ in $(seq "$rounds"); do
  start=$(date +%s.%N)
  n_find=$(find "$tree" -iname '*.txt' | wc -l)
  end=$(date +%s.%N)
  t=$(echo "$end - $start" | bc -l)
  if [ -z "$find_best" ] || [ "$(echo "$t < $find_best" | bc -l)" = 1 ]; then find_best=$t; fi
done
read -r n_ours ours_best < <("$bin/search_bench" list "$tree" "$rounds")

printf 'files listed: ours %s, find %s\n' "$n_ours" "$n_find"
printf 'best of %s: ours %.3f s, find %.3f s, ratio %.2f\n' "$rounds" "$ours_best" "$find_best" \
  "$(echo "$ours_best / $find_best" | bc -l)"
