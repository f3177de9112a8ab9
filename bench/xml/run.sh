#!/usr/bin/env bash
# Parser component benchmarks against xmllint on the same generated document.
#
#   bench/xml/run.sh [path/to/xml_bench]
#
# Generates a 100 MB document (once, in $BENCH_DIR, default /tmp/brindle-xml-bench),
# then prints the median of $RUNS runs (default 5) of each measure and its ratio:
#   load     xml_bench load  vs  xmllint --noout               goal <= 1.1
#   xml      xml_bench xml   vs  xmllint --format (both > /dev/null, both parse too)
#                                                               goal <= 1.5
#   memory   max RSS of xml_bench load vs xmllint --noout       goal <= 1.3
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program xml_bench "${1:-}")

dir=${BENCH_DIR:-/tmp/brindle-xml-bench}
runs=${RUNS:-5}
mkdir -p "$dir"
data=$dir/data.xml
[[ -s "$data" ]] || "$bench" gen "$data" 100



declare -A samples
for ((i = 0; i < runs; i++)); do
  read -r t m < <(time_of xmllint --noout --huge "$data");         samples[ref_load]+="$t "; samples[ref_mem]+="$m "
  read -r t m < <(time_of "$bench" load "$data");                   samples[our_load]+="$t "; samples[our_mem]+="$m "
  read -r t _ < <(time_of xmllint --format --huge "$data");        samples[ref_xml]+="$t "
  read -r t _ < <(time_of "$bench" xml "$data");                    samples[our_xml]+="$t "
done

med() { tr ' ' '\n' <<< "${samples[$1]}" | grep -v '^$' | median; }
report() {
  local name=$1 ours=$2 ref=$3 goal=$4 unit=$5
  awk -v n="$name" -v o="$ours" -v r="$ref" -v g="$goal" -v u="$unit" \
    'BEGIN { printf "%-7s ours %10s %s  xmllint %10s %s  ratio %.2f  (goal <= %s)\n", n, o, u, r, u, o / r, g }'
}
echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs); $(du -m "$data" | cut -f1) MB input; median of $runs runs"
report load "$(med our_load)" "$(med ref_load)" 1.1 s
report xml "$(med our_xml)" "$(med ref_xml)" 1.5 s
report memory "$(med our_mem)" "$(med ref_mem)" 1.3 KB
