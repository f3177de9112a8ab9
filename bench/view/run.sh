#!/usr/bin/env bash
# View benchmarks on this machine, medians of $RUNS runs (default 5):
#   keystroke   insertion at the last line of a 1,000,000-line document plus re-colouring
#               of the visible lines with the XML colouring parser     goal <= 1 ms
#   first paint from the loaded 100 MB buffer to the end of the first paint of a real
#               window under Xvfb                                      goal <= 500 ms
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
root=$(cd "$here/../.." && pwd)
bench=${1:-}
if [[ -z "$bench" ]]; then
  for candidate in "$root/build/bench/view/view_bench" /work/build/bench/view/view_bench; do
    [[ -x "$candidate" ]] && bench=$candidate && break
  done
fi
[[ -x "$bench" ]] || { echo "view_bench not found; pass its path" >&2; exit 2; }

dir=${BENCH_DIR:-/tmp/brindle-view-bench}
runs=${RUNS:-5}
mkdir -p "$dir"
data=$dir/data.xml
needle=Brindle-absent-needle

if [[ ! -s "$data" ]]; then
  echo "generating $data" >&2
  python3 - "$data" <<'PY'
import random, sys
random.seed(7)
words = ["alpha", "beta", "gamma", "delta", "item", "value", "name", "price", "order", "line"]
target_lines, target_size = 2_000_000, 100_000_000
out = open(sys.argv[1], "wb", buffering=1 << 20)
head = b'<?xml version="1.0"?>\r\n<catalog>\r\n'
tail = b"</catalog>"
out.write(head)
size, lines, chunk = len(head) + len(tail), 2, []
while lines < target_lines:
    want = max(1, int(random.gauss((target_size - size) / (target_lines - lines) - 2, 15)))
    tag = random.choice(words)
    start = "  " * random.randint(1, 4) + '<%s id="%d">' % (tag, lines)
    end = "</%s>" % tag
    body = ""
    while len(body) < want - len(start) - len(end):
        body += random.choice(words) + " "
    body = body[:max(1, want - len(start) - len(end))]
    b = (start + body + end).encode() + b"\r\n"
    chunk.append(b)
    size += len(b)
    lines += 1
    if len(chunk) == 10000:
        out.write(b"".join(chunk)); chunk = []
out.write(b"".join(chunk))
out.write(tail)
out.close()
PY
fi

median() { sort -g | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }
field() { awk -v k="$1" '$1 == k {print $2}'; }

size=$(stat -c %s "$data")
echo "file: $data, $size bytes; $runs runs each"
cat "$data" > /dev/null # into the page cache

out=$("$bench" keystroke 1000000 $((runs * 100)))
echo "keystroke (1,000,000 lines, $((runs * 100)) keys): median $(field keystroke_median <<< "$out") ms, max $(field keystroke_max <<< "$out") ms   goal <= 1 ms"
echo "  (first colouring at the end, one pass over the document: $(field keystroke_first_colour <<< "$out") ms)"

if command -v xvfb-run > /dev/null && [[ -z "${DISPLAY:-}" ]]; then
  out=$(xvfb-run -a "$bench" open "$data" "$runs")
else
  out=$("$bench" open "$data" "$runs")
fi
echo "first paint: median $(field first_paint_median <<< "$out") ms   goal <= 500 ms   ($(grep '^load' <<< "$out"))"
echo "Ctrl+End: median $(field ctrl_end_median <<< "$out") ms   goal <= 50 ms"
echo "  (the paint after it, which parses the whole file once: $(field paint_after_ctrl_end_median <<< "$out") ms)"

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
