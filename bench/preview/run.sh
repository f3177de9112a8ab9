#!/usr/bin/env bash
# The browser preview's built-in markup view on generated documents of 20 MB and
# 100 MB (made once in $BENCH_DIR, default /tmp/brindle-preview-bench), medians
# of $RUNS runs (default 3), with xmllint --noout on the same file for scale:
#   limited     TransformFileWithStylesheetText with the preview's element limit
#                                        goal: 20 MB well inside 3 s, leaving WebKit time
#   unlimited   the same without a limit (what the limit saves)
# Each line: milliseconds, HTML bytes, peak resident MB of the process.
#
#   bench/preview/run.sh [path/to/preview_bench]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program preview_bench "${1:-}")

dir=${BENCH_DIR:-/tmp/brindle-preview-bench}
runs=${RUNS:-3}
mkdir -p "$dir"

echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs); median of $runs runs"
for mb in 20 100; do
  data=$dir/data-$mb.xml
  [[ -s "$data" ]] || "$bench" gen "$data" "$mb"
  ref=$(for ((i = 0; i < runs; i++)); do seconds xmllint --noout --huge "$data"; done | median)
  for limit in default 0; do
    args=("$data"); [[ $limit == 0 ]] && args+=(0)
    ms=(); bytes=0; peak=()
    for ((i = 0; i < runs; i++)); do
      read -r t b p < <("$bench" tree "${args[@]}")
      ms+=("$t"); bytes=$b; peak+=("$p")
    done
    name=$([[ $limit == 0 ]] && echo unlimited || echo limited)
    printf '%4s MB %-9s %8.0f ms  %6.1f MB html  peak %6.0f MB  (xmllint --noout %.0f ms)\n' "$mb" "$name" \
      "$(printf '%s\n' "${ms[@]}" | median)" "$(awk -v b="$bytes" 'BEGIN {print b / 1048576}')" \
      "$(printf '%s\n' "${peak[@]}" | median)" "$(awk -v s="$ref" 'BEGIN {print s * 1000}')"
  done
done

# Browser mode under a real window (Xvfb when there is no display): from the
# render request to the loaded page, and the longest the event loop was kept
# from running meanwhile. Goals: 20 MB first screen <= 3 s; stalls <= 0.5 s.
view=$(dirname "$bench")/preview_view_bench
run_view() { if [[ -z "${DISPLAY:-}" ]]; then xvfb-run -a -s "-screen 0 1280x1024x24" "$view" "$@"; else "$view" "$@"; fi; }
export BRINDLE_CONFIG_DIR=${BRINDLE_CONFIG_DIR:-$(mktemp -d)}
for mb in 20 100; do
  renders=(); stalls=()
  for ((i = 0; i < runs; i++)); do
    out=$(run_view "$dir/data-$mb.xml" 2> /dev/null)
    renders+=("$(awk '$1 == "render_ms" {print $2}' <<< "$out")")
    stalls+=("$(awk '$1 == "longest_stall_ms" {print $2}' <<< "$out")")
    grep -q '^failure $' <<< "$out" || echo "  failure: $(grep '^failure' <<< "$out")"
  done
  printf '%4s MB browser mode: page loaded %6.0f ms, longest stall %4.0f ms (medians)\n' "$mb" \
    "$(printf '%s\n' "${renders[@]}" | median)" "$(printf '%s\n' "${stalls[@]}" | median)"
done
