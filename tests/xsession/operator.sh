#!/usr/bin/env bash
# The real program in a virtual X session with a window manager, driven with
# xdotool as an operator would: it stays on top of the hall view, a drag on the background
# moves it, a button lights up under the pointer in the real style (Start also when it is enabled
# under a resting pointer), a short game runs to its end and "Uhr aus" ends the program; asked for a
# tournament's plan, the operator can decline, or choose one.
#   operator.sh VELORAND [WRAPPER...]     e.g. a valgrind command line as the wrapper;
#   VELORAND_SLOW=N stretches every wait N times (for valgrind).
set -euo pipefail
for tool in Xvfb xdpyinfo openbox xdotool xprop import convert; do command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed" && exit 77; }; done
program="$1" && shift
slow="${VELORAND_SLOW:-1}"
wait_s() { sleep "$(awk "BEGIN { print $1 * $slow }")"; }
fail() { echo "FAIL: $*" >&2 && exit 1; }
shown() { for _ in $(seq $((60 * slow))); do xdotool search --onlyvisible --name "$1" | head -n1 | grep . && return; sleep 0.5; done; false; } # a window's id

display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY SESSION_MANAGER
Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 & pids=($!)
tmp=$(mktemp -d) && trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break || sleep 0.1; done
openbox >/dev/null 2>&1 & pids+=($!) && wait_s 1
# The hall view on the one screen there is, as a window.
"$@" "$program" --zuschauer & program_pid=$! && pids+=($!)
wid=$(shown '^ Velorand') || fail "no window"
wait_s 1

color() { import -window "$wid" -depth 8 -crop "1x1+$1+$2" txt:- | sed -n 's/^0,0: *(\([0-9,]*\)).*/\1/p'; } # at X Y, as r,g,b
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1 && wait_s 0.5; }

xprop -id "$wid" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the window does not stay on top"
hall=$(xdotool search --onlyvisible --name '^Velorand – Zuschauer$') || fail "no hall view"
# The hall shows the time from the start: its big yellow digits, far more than the operator window's.
[ "$(import -window "$hall" miff:- | convert - -fill black +opaque yellow -format '%[fx:mean.r > .03]' info:)" = 1 ] || fail "blank hall"

eval "$(xdotool getwindowgeometry --shell "$wid")" && x0=$X y0=$Y
xdotool mousemove --window "$wid" 150 216 mousedown 1 && wait_s 0.3 # the program hands the move to the window manager
for step in 1 2 3 4; do xdotool mousemove_relative 20 10 && wait_s 0.1; done
xdotool mouseup 1 && wait_s 0.5
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$((X - x0))" -eq 80 ] && [ "$((Y - y0))" -eq 40 ] || fail "a drag by 80,40 moved the window by $((X - x0)),$((Y - y0))"

xdotool mousemove --window "$wid" 374 190 && wait_s 0.5
[ "$(color 348 174)" = "255,0,0" ] || fail "\"Uhr aus\" under the pointer shows $(color 348 174)"
xdotool mousemove --window "$wid" 150 216 && wait_s 0.5
[ "$(color 348 174)" = "212,208,200" ] || fail "\"Uhr aus\" after the pointer left shows $(color 348 174)"

click 272 42 # the seconds field: its text is selected, typing replaces it
xdotool mousemove --window "$wid" 374 38 && wait_s 0.3 # onto Start, not lit while disabled
xdotool type --delay 100 03
xdotool mousemove --window "$wid" 375 38 && wait_s 0.5 # enabled now: the next move lights it
[ "$(color 348 26)" = "0,255,0" ] || fail "Start enabled under the pointer shows $(color 348 26)"
click 374 38 # Start
wait_s 4
title=$(xdotool getwindowname "$wid")
[[ "$title" =~ ^\ Velorand\ :\ \ \[[0-9]{2}:[0-9]{2}:[0-9]{2}\]$ ]] || fail "title '$title'"
[ "$(color 30 362)" = "255,0,0" ] || fail "no end banner over the game bar: $(color 30 362)"
[ "$(import -window "$hall" miff:- | convert - -fill black +opaque red -format '%[fx:mean.r > .03]' info:)" = 1 ] || fail "the hall shows no end"
click 374 38 && click 374 135 && click 374 186 # Stopp, Reset, Uhr aus
for _ in $(seq $((40 * slow))); do kill -0 "$program_pid" 2>/dev/null && sleep 0.5 || break; done
wait "$program_pid" || fail "the program ended with status $?"

# A plan chosen in the dialog: a bad one is said in a box too, and the program ends with status 2; a good
# one opens the tournament beside the clock.
choose() { # not under the wrapper: the dialog is Qt's own
    XDG_STATE_HOME="$tmp" "$program" --turnier & program_pid=$! && pids+=($!)
    dialog=$(shown '^Turnierplan öffnen$') || fail "no dialog for the plan"
    wait_s 1 && xdotool windowactivate --sync "$dialog" type --delay 50 "$1" && xdotool key Return
}
printf 'Nr;Heim;Gast\n' >"$tmp/bad.csv" && choose "$tmp/bad.csv"
box=$(shown '^Turnierplan$') || fail "a bad plan chosen in the dialog is not said in a box"
xdotool windowactivate --sync "$box" key Return && status=0 && wait "$program_pid" || status=$?
[ "$status" = 2 ] || fail "a bad plan chosen in the dialog: status $status"
plan=$tmp/plan.csv && printf 'Nr;Heim;Gast;Spielzeit\n1;A;B;0:04\n' >"$plan" && choose "$plan"
shown '^Turnier.*plan.csv$' >/dev/null || fail "the plan chosen in the dialog did not open"
kill "$program_pid"

# A tournament without a plan named asks for one; cancelled, the program ends as a plain one does.
"$program" --turnier & program_pid=$! && pids+=($!) # not under the wrapper: the dialog is Qt's own
# Escape on the file dialog, again until the program is gone.
for _ in $(seq $((30 * slow))); do sleep 1 && kill -0 "$program_pid" 2>/dev/null || break; xdotool search --onlyvisible --name '^Turnierplan' key --window %1 Escape 2>/dev/null || true; done
! kill -0 "$program_pid" 2>/dev/null && wait "$program_pid" || fail "no plan chosen: status $?, or no dialog"
echo "real window: on top, dragged, lit, a game to its end, closed; no plan chosen, ended; a bad one said, a good one opened"
