#!/usr/bin/env bash
# Kills saves at random moments and counts the files they leave beside the target.
#
#   bench/killsave/run.sh [path/to/killsave_bench]
#
# $RUNS runs (default 100) of a $MB MB document (default 20) for each save path: the
# text buffer, the DOM save, the source save in the document's encoding and the
# settings store, in folders under $BENCH_DIR (default /tmp/brindle-killsave-bench).
# Goal: torn=0 and leftover_entries=0 on every line. Then the same with named
# temporaries (as on a file system without unnamed files), where a killed save may
# leave its file until the next save: goal torn=0 and after_next_save=0.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program killsave_bench "${1:-}")

echo "$(nproc) cores, $(uname -m); file system of the folder: $(stat -f -c %T "${BENCH_DIR:-/tmp}")"
"$bench" --runs "${RUNS:-100}" --mb "${MB:-20}"
echo "named temporaries:"
"$bench" --runs "${RUNS:-100}" --mb "${MB:-20}" --named
