#!/usr/bin/env bash
# Takes docs/screenshot.png: the real window with its frame right after start-up,
# under Xvfb and openbox, by running the start-up check of the real-window test.
# Usage: tests/xsession/screenshot.sh [build-dir]   (default: build)
set -euo pipefail

repo="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$repo/build}"
test_binary="$build/tests/xsession/tst_realwindow"
if [ ! -x "$test_binary" ]; then
    echo "screenshot.sh: $test_binary not found; build first: cmake --build $build" >&2
    exit 1
fi
mkdir -p "$repo/docs"
QT_QPA_PLATFORM=offscreen VELORAND_SCREENSHOT="$repo/docs/screenshot.png" "$test_binary" startUp >/dev/null
echo "wrote $repo/docs/screenshot.png"
