#!/usr/bin/env bash
# The real program: --web=ADDRESS:PORT serves a page a real browser shows with the remaining time, a plain
# start listens on no port, and in tournament mode the plan's team names show as text, never as markup.
# Usage: browser.sh VELORAND SCREENSHOT.png
# Its ports lie below the kernel's ephemeral range, which other tests' connections take from meanwhile.
set -u
for tool in chromium ss ip; do command -v $tool >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }; done
velorand=$1 shot=$2 web= plain= turnier= port=$((10000 + $$ % 20000)) tmp=$(mktemp -d)
export QT_QPA_PLATFORM=offscreen
trap 'kill $web $plain $turnier 2>/dev/null; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$velorand" --web=0.0.0.0:$port >"$tmp/out" 2>"$tmp/err" & web=$!
for _ in $(seq 50); do [ -s "$tmp/out" ] && break; sleep 0.1; done
# Bound to every interface, on both stacks where there is IPv6, it names the address of each that is up, in
# the system's order, IPv4 first; no link-local IPv6 address, which a browser cannot open.
urls=$( (ip -4 -o address show up; ip -6 -o address show up | grep -v 'scope link') |
    awk -v port=$port '{ sub("/.*", "", $4); print "http://" ($3 == "inet6" ? "[" $4 "]" : $4) ":" port "/" }' | paste -sd' ')
grep -qxF "velorand: Webansicht unter $urls" "$tmp/out" || fail "address line: $(cat "$tmp/out" "$tmp/err"), not $urls"

browse() {
    timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
        --disable-component-update --disable-sync --user-data-dir="$(mktemp -d -p "$tmp")" --window-size=640,360 \
        --timeout=3000 "$@" "http://127.0.0.1:$port/" 2>>"$tmp/chromium.log"
}
# A busy machine may take longer than one try to show the first event.
for _ in 1 2 3; do browse --dump-dom >"$tmp/dom" && grep -q '<div id="remaining"[^>]*>00:00</div>' "$tmp/dom" && break || sleep 1; done
grep -q '<div id="remaining"[^>]*>00:00</div>' "$tmp/dom" || fail "page shows no remaining time: $(grep -m1 'id="remaining"' "$tmp/dom"; tail -3 "$tmp/chromium.log")"
grep -q 'gespielt 00:00' "$tmp/dom" || fail "page shows no elapsed time"
(cd "$tmp" && browse --screenshot="$tmp/web.png") && cp "$tmp/web.png" "$shot" || fail "no screenshot"

# Every failed system call is said, but not the errors that are part of the work (EAGAIN, EINTR).
! grep "fehlgeschlagen" "$tmp/err" || fail "the server complained"
"$velorand" & plain=$! && sleep 2
kill -0 $plain && ! ss -ltnpH | grep -q "pid=$plain," || fail "a plain start listens on a port"

# The home team's name holds the delimiter, so it is quoted as a spreadsheet would.
printf 'Nr;Beginn;Heim;Gast;Spielzeit\n1;10:00;"<b>Nord</b> &amp;";<script>x()</script>;0:04\n' >"$tmp/plan.csv"
XDG_STATE_HOME="$tmp/state" "$velorand" --turnier "$tmp/plan.csv" --web=127.0.0.1:$((port + 1)) >"$tmp/out2" 2>&1 & turnier=$!
for _ in $(seq 50); do [ -s "$tmp/out2" ] && break; sleep 0.1; done
names() { grep -qF 'Nächstes Spiel: &lt;b&gt;Nord&lt;/b&gt; &amp;amp; – &lt;script&gt;x()&lt;/script&gt;' "$tmp/dom2"; }
for _ in 1 2 3; do port=$((port + 1)) browse --dump-dom >"$tmp/dom2" && names && break || sleep 1; done
names && ! grep -qE '<b>Nord|<script>x' "$tmp/dom2" || fail "team names not as text: $(grep -m1 'id="announce"' "$tmp/dom2"; cat "$tmp/out2")"
echo "PASS: page at http://127.0.0.1:$port/ shows the time and a tournament's teams as text, screenshot $shot"
