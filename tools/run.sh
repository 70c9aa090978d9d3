#!/usr/bin/env bash
# The main job: plays a home-theatre night on the simulated Windows and prints
# the log the program writes. With a file argument, plays that scenario instead
# of the built-in one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/native" --target slumberhold-sim -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
exec "$root/build/native/slumberhold-sim" "$@"
