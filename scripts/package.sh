#!/usr/bin/env bash
# Sets up, builds the program alone (no tests or benchmarks) in build-deb/ and
# makes the Debian package there; prints the package's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build-deb" -DCMAKE_INSTALL_PREFIX=/usr -DBRINDLE_BUILD_TESTS=OFF -DBRINDLE_BUILD_BENCH=OFF
(cd "$root/build-deb" && cpack >/dev/null)
ls "$root"/build-deb/brindle_*.deb
