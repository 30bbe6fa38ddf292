#!/usr/bin/env bash
# Runs the real program under valgrind's memcheck in a virtual X session,
# plays a short game with the mouse and keyboard, and ends the program the
# way an operator does, with "Uhr aus". Fails when memcheck reports an error
# (or a definite leak) whose stack involves our code, or when the program does
# not end by itself.
#
# Usage: tests/robustness/valgrind/run-window.sh BUILD_DIR/src/velorand [LOG_DIR]
# VELORAND_NO_VALGRIND=1 plays the same game without valgrind, and VELORAND_SHOTS=DIR
# saves screenshots along the way (to check where the clicks land).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
program="$(realpath "$1")"
logdir="$(realpath -m "${2:-$(dirname "$program")/valgrind}")"
mkdir -p "$logdir"

# Without a display, start a virtual one and come back in it.
if [ -z "${VELORAND_IN_XVFB:-}" ]; then
    export VELORAND_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$program" "$logdir"
fi

export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
unset SESSION_MANAGER

runner=()
if [ -z "${VELORAND_NO_VALGRIND:-}" ]; then
    runner=(valgrind --tool=memcheck --error-exitcode=1 --leak-check=full
        --errors-for-leak-kinds=definite --show-leak-kinds=definite --num-callers=40
        --suppressions="$here/system.supp" --gen-suppressions=all
        --xml=yes --xml-file="$logdir/memcheck.xml" --log-file="$logdir/memcheck.log")
fi

started=$(date +%s)
"${runner[@]}" "$program" &
pid=$!

fail() {
    echo "valgrind window run: $*" >&2
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    exit 1
}

# The window's title starts with " Velorand"; under valgrind the start-up takes a while.
wid=""
for _ in $(seq 1 240); do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before its window appeared"
    wid=$(xdotool search --onlyvisible --name '^ Velorand' 2>/dev/null | head -n1 || true)
    [ -n "$wid" ] && break
    sleep 0.5
done
[ -n "$wid" ] || fail "no window after 120 s"
echo "window $wid shown after $(($(date +%s) - started)) s"
sleep 2

# Points in window coordinates, from the window's design (group origin + element centre).
shot() {
    if [ -n "${VELORAND_SHOTS:-}" ]; then
        mkdir -p "$VELORAND_SHOTS"
        import -window "$wid" "$VELORAND_SHOTS/$1.png" || true
    fi
}
click() {
    xdotool mousemove --window "$wid" "$1" "$2" click 1
    sleep "${3:-0.7}"
}
txtSek=(272 42)
spnsekUp=(306 30)
cmdStart=(374 38)
cmdPause=(374 83)
cmdReset=(374 135)
cmdUhrAus=(374 186)

click "${txtSek[@]}"
xdotool type --delay 100 4
sleep 0.7
click "${spnsekUp[@]}"
click "${spnsekUp[@]}" # a six-second game
shot 1-entered
click "${cmdStart[@]}" 2
click "${cmdPause[@]}" 1 # Pause
shot 2-paused
click "${cmdPause[@]}" 8 # weiter; the game runs out meanwhile
shot 3-over
click "${cmdStart[@]}" # Stopp
click "${cmdReset[@]}"
shot 4-reset
click "${cmdUhrAus[@]}" 0

# "Uhr aus" closes the window and ends the program; memcheck then checks for leaks.
for _ in $(seq 1 240); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after \"Uhr aus\""
status=0
wait "$pid" || status=$?
echo "program ended with status $status after $(($(date +%s) - started)) s"

if [ -n "${VELORAND_NO_VALGRIND:-}" ]; then
    exit "$status"
fi
# memcheck's exit status 1 means errors; only those touching our code fail the run.
# Any other non-zero status is the program's own failure (a crash, for instance).
if [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
    python3 "$here/classify.py" "$logdir/memcheck.xml" "$program" || true
    echo "valgrind window run: the program failed with status $status" >&2
    exit 1
fi
python3 "$here/classify.py" "$logdir/memcheck.xml" "$program"
