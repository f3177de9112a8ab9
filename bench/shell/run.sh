#!/usr/bin/env bash
# The local folder controls on this machine, under Xvfb: a folder of $FILES
# files (default 100,000, of a few types and sizes) listed and sorted by each
# column, median of $RUNS runs (default 3), with `ls -l` on the same folder side
# by side; and a hierarchy $DEPTH levels deep (default 40, four folders a
# level) opened along one path, counting the folders read.
#   goals: every list and sort step <= 1000 ms; FolderReads = levels opened + 1
#
#   bench/shell/run.sh [path/to/shell_bench]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program shell_bench "${1:-}")
runs=${RUNS:-3}
files=${FILES:-100000}
depth=${DEPTH:-40}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/many"
python3 - "$work/many" "$files" <<'PY'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
types = [".xml", ".xsl", ".dtd", ".txt", ".png", ".qzx"]
for i in range(count):
    path = os.path.join(folder, "file_%06d%s" % ((i * 7919) % count, types[i % len(types)]))
    with open(path, "wb") as f:
        f.write(b"x" * (i % 5000))
    os.utime(path, (1700000000 + i * 613, 1700000000 + i * 613))
PY
level="$work/deep"
for d in $(seq 1 "$depth"); do
  mkdir -p "$level/a" "$level/b" "$level/c" "$level/d"
  level="$level/a"
done

echo "machine: $(nproc) cores, $(uname -sr)"
ls_times=$(for _ in $(seq 1 "$runs"); do seconds ls -l "$work/many"; done | median)
echo "ls_l_ms $(awk -v s="$ls_times" 'BEGIN {printf "%.1f", s*1000}')"
BRINDLE_CONFIG_DIR=$work xvfb-run -a "$bench" "$runs" "$work/many" "$work/deep" "$depth"
