#!/usr/bin/env bash
# The command line's --run-plugin over $FILES small documents (default 1,000),
# median of $RUNS runs (default 3), with `cp` of the same files side by side,
# and the same run printing to standard output (no file written back).
#   goal: <= 3 s for 1,000 files
#
#   bench/batch/run.sh [path/to/Brindle]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
program=${1:-$root/build/app/Brindle}
[[ -x "$program" ]] || { echo "Brindle not found at $program; build it (ninja -C build Brindle) or pass its path" >&2; exit 2; }
runs=${RUNS:-3}
files=${FILES:-1000}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export BRINDLE_CONFIG_DIR=$work/config
mkdir -p "$work/docs" "$work/copy" "$BRINDLE_CONFIG_DIR"
cat > "$work/upper.vbs" <<'VBS'
Function Main(text)
  Main = Replace(text, "<item", "<entry")
End Function
VBS
make_docs() {
  for ((i = 0; i < files; i++)); do
    printf '<?xml version="1.0"?>\n<list n="%d">\n  <item id="a">first</item>\n  <item id="b">second</item>\n</list>\n' \
      "$i" > "$work/docs/doc$i.xml"
  done
}

plugin=() printed=() copy=()
for ((r = 0; r < runs; r++)); do
  make_docs
  plugin+=("$(seconds env -u DISPLAY "$program" --run-plugin "$work/upper.vbs" "$work"/docs/*.xml)")
  grep -q '<entry' "$work/docs/doc0.xml" || { echo "the plugin did not run" >&2; exit 1; }
  make_docs
  printed+=("$(seconds env -u DISPLAY "$program" --run-plugin "$work/upper.vbs" "$work"/docs/*.xml --stdout)")
  copy+=("$(seconds cp "$work"/docs/*.xml "$work/copy/")")
done
p=$(printf '%s\n' "${plugin[@]}" | median)
s=$(printf '%s\n' "${printed[@]}" | median)
c=$(printf '%s\n' "${copy[@]}" | median)
echo "machine: $(nproc) cores, $(uname -m)"
echo "--run-plugin on $files files: ${p} s (goal <= 3 s); cp of the same files: ${c} s; ratio $(ratio "$p" "$c")"
# Each file written back is flushed to disk before it replaces the original.
echo "--run-plugin --stdout (no files written): ${s} s"
