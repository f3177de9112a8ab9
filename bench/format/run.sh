#!/usr/bin/env bash
# Auto format against xmllint --format on the same generated document.
#
#   bench/format/run.sh [path/to/format_bench]
#
# Generates a 100 MB document (once, in $BENCH_DIR, default /tmp/brindle-format-bench),
# then runs each side $RUNS times (default 5), alternating, and prints the medians
# and their ratio (goal <= 1.5). Both sides parse the file, indent it and write the
# result to a file; ours is timed for the whole process.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program format_bench "${1:-}")
command -v xmllint > /dev/null || { echo "xmllint not found (Debian package libxml2-utils)" >&2; exit 2; }

dir=${BENCH_DIR:-/tmp/brindle-format-bench}
runs=${RUNS:-5}
mkdir -p "$dir"
data=$dir/data.xml
if [[ ! -s "$data" ]]; then
  echo "generating $data" >&2
  "$bench" generate "$data" 100
fi


echo "file: $data, $(stat -c %s "$data") bytes; $runs runs each; $(nproc) cores, $(uname -m)"
cat "$data" > /dev/null # into the page cache

ours=(); theirs=(); inner=()
for ((i = 0; i < runs; i++)); do
  s=$(now); xmllint --format "$data" > "$dir/xmllint.xml"; e=$(now)
  theirs+=("$(awk -v s="$s" -v e="$e" 'BEGIN {printf "%.6f\n", (e-s)/1e9}')")
  rm -f "$dir/xmllint.xml"
  s=$(now); report=$("$bench" format "$data" "$dir/ours.xml"); e=$(now)
  ours+=("$(awk -v s="$s" -v e="$e" 'BEGIN {printf "%.6f\n", (e-s)/1e9}')")
  inner+=("$(awk '/^format_seconds/ {print $2}' <<< "$report")")
  rm -f "$dir/ours.xml"
done
lint_t=$(printf '%s\n' "${theirs[@]}" | median)
ours_t=$(printf '%s\n' "${ours[@]}" | median)
fmt_t=$(printf '%s\n' "${inner[@]}" | median)
echo "xmllint --format: ${lint_t}s  (runs: ${theirs[*]})"
echo "auto format:      ${ours_t}s  (runs: ${ours[*]}; the walk alone ${fmt_t}s)"
echo "ratio $(ratio "$ours_t" "$lint_t")  (goal <= 1.5)"
