#!/usr/bin/env bash
# Installs the Debian packages a task needs, or says how to.
# Usage: scripts/deps.sh build|test
set -euo pipefail

build_packages=(cmake make g++ pkg-config qt6-base-dev qt6-svg-dev qt6-multimedia-dev libgl-dev libmicrohttpd-dev
    libqrencode-dev fonts-dejavu-core fonts-liberation2)
# Real-window tests run the program under a virtual X server with a window manager;
# the Wayland test runs it natively on a headless weston; the fuzzer needs clang's
# runtime; the format check needs clang-format (14, as Debian 12 ships it); the leak
# check needs valgrind; the horn's test records a PulseAudio server of its own
# (pulseaudio, and parec and pactl from pulseaudio-utils); the web view's test opens
# the page in chromium and looks for listening ports and addresses with ss and ip (iproute2); the remote's
# test reads the pairing QR code with zbarimg (zbar-tools) and taps the phone page's buttons in chromium
# through its DevTools protocol (python3-websocket); the package
# stage builds the Debian package (dpkg-dev, gzip) and checks it, its AppStream
# metadata, its desktop entry and the licensing (lintian, appstream,
# desktop-file-utils, reuse); the package depends on qt6-translations-l10n.
test_packages=(xvfb xauth openbox xdotool x11-utils imagemagick weston qt6-wayland clang clang-format libclang-rt-14-dev
    valgrind pulseaudio pulseaudio-utils python3 chromium iproute2 lintian reuse desktop-file-utils dpkg-dev
    appstream gzip qt6-translations-l10n zbar-tools python3-websocket)

case "${1:-build}" in
build) wanted=("${build_packages[@]}") ;;
test) wanted=("${build_packages[@]}" "${test_packages[@]}") ;;
*)
    echo "usage: $0 build|test" >&2
    exit 2
    ;;
esac

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
fi
