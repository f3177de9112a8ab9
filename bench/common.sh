# Shared by the benchmark scripts: finding the built benchmark program and
# timing helpers. Source it after setting `here` to the script's folder.

root=$(cd "$here/../.." && pwd)

# bench_program NAME [PATH]: the given path, else build/bench/<folder>/NAME.
bench_program() {
  local name=$1 given=${2:-}
  local path=${given:-$root/build/bench/$(basename "$here")/$name}
  [[ -x "$path" ]] || { echo "$name not found at $path; build it (ninja -C build $name) or pass its path" >&2; exit 2; }
  echo "$path"
}

now() { date +%s%N; }
# Median of the numbers on standard input.
median() { sort -g | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }
# Wall time of a command in seconds, its output discarded.
seconds() { local s=$(now); "$@" > /dev/null; local e=$(now); awk -v s="$s" -v e="$e" 'BEGIN {printf "%.6f\n", (e-s)/1e9}'; }
# time_of CMD... -> "seconds peak_resident_kb" of one run, its output discarded.
time_of() {
  local out
  out=$(mktemp)
  /usr/bin/time -f "%e %M" -o "$out" "$@" > /dev/null 2> /dev/null || true
  cat "$out"
  rm -f "$out"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a/b}'; }
