#!/usr/bin/env bash
# Configures and builds Brindle. Usage: build.sh <build-dir> [cmake options...] [-- targets...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
opts=(); targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
  opts+=("$1"); shift
done

# ccache must not be fooled by the precompiled headers' timestamps.
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-5G}
# Paths relative to the checkout, so that clones and worktrees in other folders share the cache.
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1

if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${opts[@]}" >/dev/null
elif [ ${#opts[@]} -gt 0 ]; then
  cmake "$dir" "${opts[@]}" >/dev/null
fi
ninja -C "$dir" "${targets[@]}"
