#include "web/webpage.h"

// Phones, TVs and stream overlays of every size: the remaining time is scaled to the window by the script,
// the digits keep one width, so the time does not jump while it counts.
const QByteArray &webPage()
{
    static const QByteArray page = QByteArrayLiteral(R"html(<!DOCTYPE html>
<html lang="de">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Velorand – Spieluhr</title>
<style>
html, body { margin: 0; height: 100%; background: #000; color: #fff; font-family: "DejaVu Sans", "Liberation Sans", sans-serif; }
body { display: flex; flex-direction: column; justify-content: center; align-items: center; overflow: hidden; }
#remaining { display: inline-block; white-space: nowrap; font-weight: bold; line-height: 1; font-variant-numeric: tabular-nums; }
#remaining.red { color: #ff0000; }
#elapsed { font-size: 6vmin; color: #bbb; font-variant-numeric: tabular-nums; margin: 1vmin 0 3vmin; }
.row { width: 92vw; display: flex; align-items: center; gap: 2vw; margin: 1vmin 0; font-size: 3.5vmin; }
.row span { width: 22vw; text-align: right; color: #bbb; }
.bar { flex: 1; position: relative; height: 5vmin; background: #222; }
.fill { position: absolute; left: 0; top: 0; bottom: 0; width: 0; }
.banner { position: absolute; inset: 0; display: flex; align-items: center; justify-content: center; color: #000; background: #fff; font-weight: bold; }
.banner[hidden] { display: none; }
#status { position: fixed; bottom: 1vmin; font-size: 3vmin; color: #f66; }
</style>
</head>
<body>
<div id="remaining">--:--</div>
<div id="elapsed">gespielt --:--</div>
<div class="row"><span>1. Halbzeit</span><div class="bar"><div class="fill" id="half1"></div><div class="banner" id="half1Text" hidden></div></div></div>
<div class="row"><span>2. Halbzeit</span><div class="bar"><div class="fill" id="half2"></div><div class="banner" id="half2Text" hidden></div></div></div>
<div class="row"><span>Spielzeit</span><div class="bar"><div class="fill" id="game"></div><div class="banner" id="gameText" hidden></div></div></div>
<div id="status" hidden>Verbindung unterbrochen – neuer Versuch …</div>
<script>
"use strict";
const $ = id => document.getElementById(id);
function fit() {
  const time = $("remaining");
  time.style.fontSize = "100px";
  time.style.fontSize = Math.min(94 * innerWidth / time.scrollWidth, 0.55 * innerHeight) + "px";
}
function show(state) {
  $("remaining").textContent = state.remaining;
  $("remaining").className = state.secondsRed ? "red" : "";
  $("elapsed").textContent = "gespielt " + state.elapsed;
  for (const bar of ["half1", "half2", "game"]) {
    $(bar).style.width = state.bars[bar].percent + "%";
    $(bar).style.background = state.bars[bar].color;
    const banner = state.banners[bar];
    $(bar + "Text").textContent = banner ?? "";
    $(bar + "Text").hidden = banner === null;
  }
  fit();
}
function follow() {
  const events = new EventSource("/events");
  events.onmessage = event => { $("status").hidden = true; show(JSON.parse(event.data)); };
  events.onerror = () => {
    $("status").hidden = false;
    // The browser retries by itself unless the server refused (e.g. too many clients).
    if (events.readyState === EventSource.CLOSED) setTimeout(follow, 5000);
  };
}
addEventListener("resize", fit);
fit();
// The state as it is now, before the page counts as loaded; the event stream follows it from there.
try {
  const now = new XMLHttpRequest();
  now.open("GET", "/state", false);
  now.send();
  show(JSON.parse(now.responseText));
} catch (error) {}
follow();
</script>
</body>
</html>
)html");
    return page;
}
