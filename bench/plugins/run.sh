#!/usr/bin/env bash
# The plugin engine on a 10 MB source text against the C++ standard library
# doing the same replacements; goal: at most 3 times the library's time.
#
#   bench/plugins/run.sh [path/to/plugin_bench] [megabytes] [runs]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program plugin_bench "${1:-}")

echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
"$bench" "${2:-10}" "${3:-5}"
