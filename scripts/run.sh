#!/usr/bin/env bash
# Sets up, builds and starts Brindle, on the files given or on a sample document.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -- Brindle
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Brindle is built ($root/build/app/Brindle) but there is no display to show it on (DISPLAY is not set)." >&2
  echo "Start it from a desktop session, or under a virtual display: xvfb-run $root/build/app/Brindle" >&2
  exit 1
fi
if [ $# -eq 0 ]; then set -- "$root/samples/catalog.xml"; fi
exec "$root/build/app/Brindle" "$@"
