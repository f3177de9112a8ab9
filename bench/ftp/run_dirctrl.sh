#!/usr/bin/env bash
# The FTP directory list on this machine: a folder of 10,000 files on a pyftpdlib
# server on loopback is listed, sorted and shown in the list under Xvfb, median
# of $RUNS runs (default 5); `curl` listing the same folder side by side.
#   goal: list_sort_show_ms <= 1000
#
#   bench/ftp/run_dirctrl.sh [path/to/ftp_dirctrl_bench]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program ftp_dirctrl_bench "${1:-}")
runs=${RUNS:-5}

work=$(mktemp -d)
server_pid=
cleanup() { [[ -n "$server_pid" ]] && kill "$server_pid" 2> /dev/null; rm -rf "$work"; }
trap cleanup EXIT

mkdir -p "$work/root/many"
(cd "$work/root/many" && for i in $(seq 1 10000); do echo "$i" > "file_$i.xml"; done)

port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p "$port" -u bench -P bench-pw -d "$work/root" > /dev/null 2>&1 &
server_pid=$!
for _ in $(seq 1 100); do
  (exec 3<> "/dev/tcp/127.0.0.1/$port") 2> /dev/null && break
  sleep 0.1
done

echo "machine: $(nproc) cores, $(uname -sr)"
curl_times=$(for _ in $(seq 1 "$runs"); do seconds curl -s -u bench:bench-pw "ftp://127.0.0.1:$port/many/"; done | median)
echo "curl_list_ms $(awk -v s="$curl_times" 'BEGIN {printf "%.1f", s*1000}')"
BRINDLE_CONFIG_DIR=$work xvfb-run -a "$bench" "$runs" "$port" bench bench-pw /many
