#!/usr/bin/env bash
# Text engine benchmarks against reference commands on the same generated file.
#
#   bench/text/run.sh [path/to/text_bench]
#
# Generates a 100 MB XML-like file of 2,000,000 CRLF lines (once, in $BENCH_DIR,
# default /tmp/brindle-text-bench), then prints the median of $RUNS runs (default 5)
# of each measure and its ratio to the reference:
#   load     text_bench load   vs  wc -l         goal <= 3
#   save     text_bench save   vs  cp            goal <= 2   (ours includes fsync)
#   insert   median µs per one-character insertion, 100,000 at random places   goal <= 2
#   memory   resident bytes after loading over the file size                    goal <= 1.6
#   undo     on the first 5 MB: delete all, then 1,000 undo/redo cycles; resident
#            bytes after them over after one                                    goal <= 2
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program text_bench "${1:-}")

dir=${BENCH_DIR:-/tmp/brindle-text-bench}
runs=${RUNS:-5}
mkdir -p "$dir"
data=$dir/data.xml
out=$dir/out.xml

if [[ ! -s "$data" ]]; then
  echo "generating $data" >&2
  python3 "$(dirname "$0")/../make_lines_xml.py" "$data" 42 windows-1252
fi


size=$(stat -c %s "$data")
count=$(wc -l < "$data")
echo "file: $data, $size bytes, $count line feeds; $runs runs each"
cat "$data" > /dev/null # into the page cache

ours=(); theirs=()
for ((i = 0; i < runs; i++)); do
  theirs+=("$(seconds wc -l "$data")")
  ours+=("$(seconds "$bench" load "$data")")
done
wc_t=$(printf '%s\n' "${theirs[@]}" | median)
load_t=$(printf '%s\n' "${ours[@]}" | median)
inner=()
for ((i = 0; i < runs; i++)); do
  inner+=("$("$bench" load "$data" | awk '/^load_seconds/ {print $2}')")
done
inner_t=$(printf '%s\n' "${inner[@]}" | median)
echo "load:   ours ${load_t}s (whole process; LoadFromFile alone ${inner_t}s)  wc -l ${wc_t}s  ratio $(ratio "$load_t" "$wc_t")  (goal <= 3)"

ours=(); theirs=()
for ((i = 0; i < runs; i++)); do
  # Start each from a quiet disk: no earlier run's writes still going out.
  rm -f "$out"; sync
  theirs+=("$(seconds cp "$data" "$out")")
  rm -f "$out"; sync
  ours+=("$("$bench" save "$data" "$out" | awk '/^save_seconds/ {print $2}')")
  cmp -s "$data" "$out" || { echo "saved file differs from the loaded one" >&2; exit 1; }
done
cp_t=$(printf '%s\n' "${theirs[@]}" | median)
save_t=$(printf '%s\n' "${ours[@]}" | median)
rm -f "$out"
sync_t=$( { s=$(now); cp "$data" "$out"; sync "$out"; e=$(now); awk -v s="$s" -v e="$e" 'BEGIN {printf "%.6f\n", (e-s)/1e9}'; } )
rm -f "$out"
echo "save:   ours ${save_t}s  cp ${cp_t}s  ratio $(ratio "$save_t" "$cp_t")  (goal <= 2; cp+sync once: ${sync_t}s)"

ins=()
for ((i = 0; i < runs; i++)); do
  ins+=("$("$bench" insert "$data" 100000 "$((i + 1))" | awk '/^insert_median_us/ {print $2}')")
done
ins_t=$(printf '%s\n' "${ins[@]}" | median)
echo "insert: median ${ins_t} µs per insertion over 100,000  (goal <= 2)"

mem=()
for ((i = 0; i < runs; i++)); do
  mem+=("$("$bench" memory "$data" | awk '/^rss_over_file/ {print $2}')")
done
mem_r=$(printf '%s\n' "${mem[@]}" | median)
echo "memory: resident after load / file size ${mem_r}  (goal <= 1.6)"

head -c 5000000 "$data" > "$dir/five.xml"
undo=$("$bench" undo "$dir/five.xml" "${UNDO_CYCLES:-1000}")
echo "undo:   resident after ${UNDO_CYCLES:-1000} delete/undo/redo cycles / after one $(awk '/^rss_growth/ {print $2}' <<< "$undo")  ($(awk '/^cycle_ms/ {print $2}' <<< "$undo") ms per cycle; goal <= 2)"
rm -f "$dir/five.xml"
