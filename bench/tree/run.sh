#!/usr/bin/env bash
# Node tree benchmarks on this machine, medians of $RUNS runs (default 5), on a
# document of 1,000,004 elements made in memory (an element of 100,000 children,
# one of 10,000 attributes, 899 records of 1,001 elements):
#   show_tree      from the loaded DOM to the end of the tree's first paint   goal <= 1.5 s
#   refresh        Refresh with a node four levels down current              goal <= 1.5 s
#   expand_100000  opening the element of 100,000 children, painted          goal <= 1 s
#   drop, rename, delete   the answer to a drop of a record onto another, a
#                  rename of the element of 100,000 children, a delete among
#                  its children                                              goal <= 0.1 s each
#   tree_memory    resident memory the tree adds: when shown, after opening
#                  the big element, and at the end                           goal <= 50 MB
#   list_10000_attributes  the node list of the element of 10,000 attributes,
#                  filled and painted                                        goal <= 0.3 s
#
#   bench/tree/run.sh [path/to/tree_bench]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program tree_bench "${1:-}")
runs=${RUNS:-5}

export BRINDLE_CONFIG_DIR=${BRINDLE_CONFIG_DIR:-$(mktemp -d)}
if command -v xvfb-run > /dev/null && [[ -z "${DISPLAY:-}" ]]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" "$bench" "$runs"
else
  "$bench" "$runs"
fi
