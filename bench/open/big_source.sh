#!/usr/bin/env bash
# A 1 GB document edited as text only (bench/open/big_source.cpp): open, a
# keystroke at the end, Find near the end, Save against cp, Validate against
# xmllint --stream.
#
#   bench/open/big_source.sh [MEGABYTES | FILE] [path/to/big_source]
#
# The generated document is kept in $BENCH_DIR (default /tmp/brindle-big-source).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"

program=$(bench_program big_source "${2:-}")
command -v xmllint > /dev/null || { echo "xmllint is not installed (apt-get install libxml2-utils)" >&2; exit 2; }
export BRINDLE_CONFIG_DIR=${BENCH_DIR:-/tmp/brindle-big-source}/config
mkdir -p "$BRINDLE_CONFIG_DIR"
echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
"$program" "${1:-1024}"
