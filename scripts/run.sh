#!/usr/bin/env bash
# Builds the clock and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target velorand -j"$(nproc)"
exec build/src/app/velorand
