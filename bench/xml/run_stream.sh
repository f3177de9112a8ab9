#!/usr/bin/env bash
# Peak memory and time of checking a 100 MB document: the streaming check, the
# DOM route, xmllint --stream --noout and xmllint --noout, each in its own process.
#
#   bench/xml/run_stream.sh [path/to/stream_check_bench]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program stream_check_bench "${1:-}")

dir=${BENCH_DIR:-/tmp/brindle-xml-bench}
runs=${RUNS:-3}
mkdir -p "$dir"
data=$dir/lines.xml
[[ -s "$data" ]] || python3 "$here/../make_lines_xml.py" "$data" 1

# measure NAME CMD...: median seconds and peak resident KB of $runs runs.
measure() {
  local name=$1; shift
  local t="" m=""
  for ((i = 0; i < runs; i++)); do
    read -r ti mi < <(time_of "$@")
    t+="$ti "; m+="$mi "
  done
  printf "%-16s %8s s  %8s MB peak\n" "$name" "$(tr ' ' '\n' <<< "$t" | grep -v '^$' | median)" \
    "$(tr ' ' '\n' <<< "$m" | grep -v '^$' | median | awk '{printf "%.0f", $1 / 1024}')"
}
echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs); $(du -m "$data" | cut -f1) MB input; median of $runs runs"
"$bench" stream "$data"
measure "stream check" "$bench" stream "$data"
measure "DOM route" "$bench" dom "$data"
measure "xmllint --stream" xmllint --stream --noout --huge "$data"
measure "xmllint" xmllint --noout --huge "$data"
