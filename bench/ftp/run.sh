#!/usr/bin/env bash
# FTP client benchmarks on this machine against a pyftpdlib server on loopback,
# medians of $RUNS runs (default 5), each figure side by side with curl:
#   download  a 50 MB file, connecting and logging in included   goal ratio <= 1.2
#             (also against curl followed by `sync` of its file: the client
#             flushes the download to disk before renaming it into place)
#   upload    the same file                                        goal ratio <= 1.2
#   list      a folder of 10,000 files (MLSD read and parsed)      goal <= 1 s
#
#   bench/ftp/run.sh [path/to/ftp_bench]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../common.sh"
bench=$(bench_program ftp_bench "${1:-}")
runs=${RUNS:-5}

work=$(mktemp -d)
server_pid=
cleanup() { [[ -n "$server_pid" ]] && kill "$server_pid" 2> /dev/null; rm -rf "$work"; }
trap cleanup EXIT

mkdir -p "$work/root/many" "$work/local"
head -c $((50 * 1024 * 1024)) /dev/urandom > "$work/root/big.bin"
(cd "$work/root/many" && for i in $(seq 1 10000); do : > "file_$i.xml"; done)

port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p "$port" -u bench -P bench-pw -d "$work/root" -w > /dev/null 2>&1 &
server_pid=$!
for _ in $(seq 1 100); do
  (exec 3<> "/dev/tcp/127.0.0.1/$port") 2> /dev/null && break
  sleep 0.1
done

echo "machine: $(nproc) cores, $(uname -sr), $(curl --version | head -1 | cut -d' ' -f1-2)"
"$bench" "$runs" "$port" bench bench-pw big.bin many "$work/local"
