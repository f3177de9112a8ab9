#!/usr/bin/env bash
# View benchmarks on this machine, medians of $RUNS runs (default 5):
#   keystroke   insertion at the last line of a 1,000,000-line document plus re-colouring
#               of the visible lines, with the XML colouring and with the plain line
#               colouring, and with the XML colouring plus line numbers and folding
#               (numbers and fold markers of the visible lines, a fold on screen)
#                                                                      goal <= 1 ms
#   first paint from the loaded 100 MB buffer to the end of the first paint of a real
#               window under Xvfb (what the paint leaves for after it is shown, such as
#               the search for fold markers, is timed apart)           goal <= 500 ms
#               (also with line numbers and folding on)                no slower
#   Ctrl+End    the command with its EnsureVisible on that file         goal <= 50 ms
#   find        FindText of an absent string over that file, throughput against
#               grep -F -c on the same file                            goal >= 0.5 x grep
#
#   bench/view/run.sh [path/to/view_bench]
#
# The data file (100 MB, 2,000,000 CRLF lines of XML) is generated once in $BENCH_DIR
# (default /tmp/brindle-view-bench).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program view_bench "${1:-}")

dir=${BENCH_DIR:-/tmp/brindle-view-bench}
runs=${RUNS:-5}
mkdir -p "$dir"
data=$dir/data.xml
needle=Brindle-absent-needle

if [[ ! -s "$data" ]]; then
  echo "generating $data" >&2
  python3 "$(dirname "$0")/../make_lines_xml.py" "$data" 7
fi

field() { awk -v k="$1" '$1 == k {print $2}'; }

size=$(stat -c %s "$data")
echo "file: $data, $size bytes; $runs runs each"
cat "$data" > /dev/null # into the page cache

for colouring in xml plain; do
  out=$("$bench" keystroke 1000000 $((runs * 100)) $colouring)
  echo "keystroke, $colouring colouring (1,000,000 lines, $((runs * 100)) keys): median $(field keystroke_median <<< "$out") ms, max $(field keystroke_max <<< "$out") ms   goal <= 1 ms"
  echo "  (first colouring at the end, one pass over the document: $(field keystroke_first_colour <<< "$out") ms)"
done
out=$("$bench" keystroke 1000000 $((runs * 100)) xml gutter)
echo "keystroke, xml colouring, line numbers and folding: median $(field keystroke_median <<< "$out") ms, max $(field keystroke_max <<< "$out") ms   goal <= 1 ms"

open_bench() {
  if command -v xvfb-run > /dev/null && [[ -z "${DISPLAY:-}" ]]; then
    xvfb-run -a "$bench" open "$data" "$runs" "$@"
  else
    "$bench" open "$data" "$runs" "$@"
  fi
}
out=$(open_bench)
echo "first paint: median $(field first_paint_median <<< "$out") ms   goal <= 500 ms   ($(grep '^load' <<< "$out"))"
echo "Ctrl+End: median $(field ctrl_end_median <<< "$out") ms   goal <= 50 ms"
echo "  (the paint after it, which parses the whole file once: $(field paint_after_ctrl_end_median <<< "$out") ms;"
echo "   events after a paint is done: $(field after_paint_median <<< "$out") ms)"
out=$(open_bench gutter)
echo "with line numbers and folding: first paint median $(field first_paint_median <<< "$out") ms, Ctrl+End $(field ctrl_end_median <<< "$out") ms, paint after it $(field paint_after_ctrl_end_median <<< "$out") ms   goal: no slower"
echo "  (events after a paint is done, with the fold markers' search: $(field after_paint_median <<< "$out") ms)"

out=$("$bench" find "$data" "$runs")
greps=()
for ((i = 0; i < runs; i++)); do
  s=$(date +%s%N); grep -F -c "$needle" "$data" > /dev/null || true; e=$(date +%s%N)
  greps+=("$(awk -v s="$s" -v e="$e" 'BEGIN {printf "%.3f\n", (e-s)/1e6}')")
done
grep_ms=$(printf '%s\n' "${greps[@]}" | median)
mbps() { awk -v b="$size" -v ms="$1" 'BEGIN {printf "%.0f", b / 1e6 / (ms / 1000)}'; }
for mode in case nocase; do
  ms=$(field find_${mode}_median <<< "$out")
  echo "find ($mode): median $ms ms = $(mbps "$ms") MB/s; grep -F -c $grep_ms ms = $(mbps "$grep_ms") MB/s; ratio $(awk -v a="$grep_ms" -v b="$ms" 'BEGIN {printf "%.2f", a/b}') x grep   goal >= 0.5"
done
