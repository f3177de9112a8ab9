#!/usr/bin/env bash
# The script interpreter's loops beside the same loops in Python 3 (another
# tree-walking interpreter of dynamic values); prints both and their ratio.
#
#   bench/script/run.sh [path/to/script_bench]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program script_bench "${1:-}")

echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
python_ms() {
  for _ in 1 2 3 4 5; do
    /usr/bin/python3 -c "import time
$1
t=time.perf_counter(); main(); print((time.perf_counter()-t)*1000)"
  done | median
}
declare -A py=(
  [counter_local]="def main():
  s=0
  for i in range(1,1000001): s=s+1"
  [array_sum]="def main():
  a=[0]*1000
  for j in range(1000):
    for i in range(1000): a[i]=a[i]+i"
  [calls]="def sq(n): return n*n
def main():
  t=0
  for i in range(1,300001): t=t+sq(i%10)"
)
"$bench" | while read -r name ms _; do
  if [[ -n "${py[$name]:-}" ]]; then
    p=$(python_ms "${py[$name]}")
    printf "%-18s %8s ms   python %8.1f ms   ratio %s\n" "$name" "$ms" "$p" "$(ratio "$ms" "$p")"
  else
    printf "%-18s %8s ms\n" "$name" "$ms"
  fi
done
