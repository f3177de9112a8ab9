#!/usr/bin/env bash
# XPath over the generated 100 MB document against xmllint --xpath, both
# including the parse, both writing every result to standard output (xmllint
# each node's serialisation, xml_bench each result row: path, kind, value).
#
#   bench/xml/run_xpath.sh [path/to/xml_bench]          goal: ratio <= 1.2
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program xml_bench "${1:-}")

dir=${BENCH_DIR:-/tmp/brindle-xml-bench}
runs=${RUNS:-5}
expr=${XPATH_EXPR:-'//*[@id]'}
mkdir -p "$dir"
data=$dir/data.xml
[[ -s "$data" ]] || "$bench" gen "$data" 100

ours=() ref=()
for ((i = 0; i < runs; i++)); do
  ref+=("$(seconds xmllint --huge --xpath "$expr" "$data")")
  ours+=("$(seconds "$bench" xpath "$data" "$expr")")
done
o=$(printf '%s\n' "${ours[@]}" | median)
r=$(printf '%s\n' "${ref[@]}" | median)
echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs); $(du -m "$data" | cut -f1) MB input; median of $runs runs"
echo "xpath '$expr' (parse included): ours $o s  xmllint $r s  ratio $(ratio "$o" "$r")  (goal <= 1.2)"
