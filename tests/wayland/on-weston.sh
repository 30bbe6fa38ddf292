#!/usr/bin/env bash
# Usage: on-weston.sh PROGRAM [ARGS...]
# Runs PROGRAM natively on a headless weston of its own (own runtime directory
# and socket), stops weston afterwards and returns PROGRAM's status.
set -u
command -v weston >/dev/null || { echo "SKIP: weston not installed"; exit 77; }
XDG_RUNTIME_DIR="$(mktemp -d)" # mode 0700, as Wayland wants it
export XDG_RUNTIME_DIR WAYLAND_DISPLAY="velorand-$$" QT_QPA_PLATFORM=wayland
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 --no-config \
    --log="$XDG_RUNTIME_DIR/weston.log" & weston_pid=$!
trap 'kill "$weston_pid" 2>/dev/null; wait "$weston_pid"; rm -rf "$XDG_RUNTIME_DIR"' EXIT
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || ! kill -0 "$weston_pid" 2>/dev/null && break || sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] ||
    { echo "weston did not start (scripts/deps.sh test installs it):"; cat "$XDG_RUNTIME_DIR/weston.log"; exit 1; } >&2
"$@"
