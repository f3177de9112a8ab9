#!/usr/bin/env bash
# Opening a large document: Brindle against XML Copy Editor, side by side.
#
#   bench/open/run.sh [path/to/Brindle ...]     (default build/app/Brindle)
#
# Generates documents of $SIZES megabytes (default "20 100", once, in $BENCH_DIR,
# default /tmp/brindle-open-bench) and opens each in every program given and in
# Debian's xmlcopyeditor (installed with apt-get when missing and run as root),
# under Xvfb. Each program runs until it goes idle (bench/open/measure.py: its CPU
# time stops growing for $QUIET seconds, default 2); printed are the time until
# idle, the peak resident size (VmHWM) and the resident size once idle (VmRSS),
# medians of $RUNS runs (default 1), and the ratios against XML Copy Editor.
#   goal: peak <= 1.0 x XML Copy Editor's on the 100 MB file (acceptable <= 1.4)
# Then, on the $SWITCH_SIZE MB file (default 100), each program given switches to
# Source mode and back (bench/open/switch.py: Alt+1, Alt+2, each timed until idle,
# with its own peak and the resident size after it), against its own open; then
# again with the text changed in Source mode before each Alt+2 ("edited").
#   goals: Alt+1 <= 3 s, Alt+1 peak <= open peak + 300 MiB, Alt+2 <= the open's
#   time, resident after Alt+1 and after Alt+2 <= open's resident + 300 MiB
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

programs=("$@")
[[ ${#programs[@]} -gt 0 ]] || programs=("$root/build/app/Brindle")
for p in "${programs[@]}"; do
  [[ -x "$p" ]] || { echo "$p not found; build it (ninja -C build Brindle) or pass its path" >&2; exit 2; }
done
if ! command -v xmlcopyeditor > /dev/null; then
  [[ $(id -u) -eq 0 ]] || { echo "xmlcopyeditor is not installed (apt-get install xmlcopyeditor)" >&2; exit 2; }
  apt-get install -y xmlcopyeditor > /dev/null || { apt-get update > /dev/null && apt-get install -y xmlcopyeditor > /dev/null; }
fi

dir=${BENCH_DIR:-/tmp/brindle-open-bench}
runs=${RUNS:-1}
quiet=${QUIET:-2}
mkdir -p "$dir"
# Fresh settings for every program, so none starts with a remembered layout.
export BRINDLE_CONFIG_DIR=$dir/brindle-config
export HOME=$dir/home
rm -rf "$BRINDLE_CONFIG_DIR" "$HOME"
mkdir -p "$BRINDLE_CONFIG_DIR" "$HOME"

# measure PROGRAM FILE -> "idle_s peak_mib settled_mib", medians of $runs runs
measure() {
  local out=$dir/samples.txt
  : > "$out"
  for ((i = 0; i < runs; i++)); do python3 "$here/measure.py" "$quiet" "$@" >> "$out"; done
  local idle peak settled
  idle=$(cut -d' ' -f1 "$out" | median)
  peak=$(cut -d' ' -f2 "$out" | median)
  settled=$(cut -d' ' -f3 "$out" | median)
  awk -v t="$idle" -v p="$peak" -v s="$settled" 'BEGIN {printf "%.2f %.0f %.0f\n", t, p / 1024, s / 1024}'
}

echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs); median of $runs run(s)"
printf "%-6s %-40s %9s %10s %12s   %s\n" size program "idle (s)" "peak MiB" "settled MiB" "ratio to XML Copy Editor: time peak settled"
for size in ${SIZES:-20 100}; do
  data=$dir/data$size.xml
  [[ -s "$data" ]] || python3 "$here/../make_lines_xml.py" "$data" 11 "" "$size"
  read -r rt rp rs < <(measure xmlcopyeditor "$data")
  printf "%-6s %-40s %9s %10s %12s\n" "${size}MB" xmlcopyeditor "$rt" "$rp" "$rs"
  for p in "${programs[@]}"; do
    read -r t pk s < <(measure "$p" "$data")
    label=$p
    (( ${#label} <= 40 )) || label=...${label: -37}
    printf "%-6s %-40s %9s %10s %12s   %s %s %s\n" "${size}MB" "$label" "$t" "$pk" "$s" \
      "$(ratio "$t" "$rt")" "$(ratio "$pk" "$rp")" "$(ratio "$s" "$rs")"
  done
done

size=${SWITCH_SIZE:-100}
data=$dir/data$size.xml
[[ -s "$data" ]] || python3 "$here/../make_lines_xml.py" "$data" 11 "" "$size"
echo
printf "%-6s %-40s %-12s %9s %10s %12s   %s\n" size program step "idle (s)" "peak MiB" "settled MiB" "vs open: peak+ settled+ MiB"
for p in "${programs[@]}"; do
  label=$p
  (( ${#label} <= 40 )) || label=...${label: -37}
  # Plain switches, then switches with the text changed in Source mode.
  { python3 "$here/switch.py" "$quiet" "$p" "$data" "${ROUNDS:-2}"
    python3 "$here/switch.py" "$quiet" "$p" "$data" "${ROUNDS:-2}" edit | sed 's/^open /open\/edit /'; } |
    awk -v size="${size}MB" -v label="$label" '
      $1 ~ /^open/ { op = $3; os = $4 }
      { printf "%-6s %-40s %-12s %9s %10.0f %12.0f   %+.0f %+.0f\n", size, label, $1, $2, $3 / 1024, $4 / 1024,
               ($3 - op) / 1024, ($4 - os) / 1024 }'
done
