#!/usr/bin/python3
# The real program in a virtual X session and a real browser as the phone: the pairing dialog's QR code
# reads as the pairing address, the page keeps its token but takes it out of the address bar, a tap on
# Start runs the tournament's game, a quick double tap on Pause pauses it once (it does not pause and
# resume), the phone stays paired when the program is killed and started again, and the token is never
# written to the program's output, its journal or its results.
#   phone.py VELORAND      VELORAND_SLOW=N stretches every wait N times.
import contextlib, glob, itertools, json, os, re, shutil, signal, socket, subprocess, sys, tempfile, time
import urllib.request

try:
    import websocket
except ImportError:
    sys.exit(print("SKIP: python3-websocket not installed") or 77)
for tool in ("Xvfb", "openbox", "xdotool", "import", "zbarimg", "chromium"):
    shutil.which(tool) or sys.exit(print(f"SKIP: {tool} not installed") or 77)
program, slow = os.path.abspath(sys.argv[1]), float(os.environ.get("VELORAND_SLOW", "1"))
tmp, procs = tempfile.mkdtemp(prefix="velorand-phone."), []


fail = lambda message: sys.exit(print("FAIL: " + message, file=sys.stderr) or 1)


def wait_for(what, probe, timeout=15):  # probe()'s first true value within timeout seconds
    end = time.monotonic() + timeout * slow
    while time.monotonic() < end:
        try:
            if value := probe():
                return value
        except (OSError, ValueError):  # not up yet
            pass
        time.sleep(0.2)
    fail("timed out waiting for " + what)


start = lambda *command, out=subprocess.DEVNULL, err=subprocess.DEVNULL, **options: procs.append(  # in a group of its own
    subprocess.Popen(command, env=env, stdout=out, stderr=err, start_new_session=True, **options)) or procs[-1]


free_port = lambda: (s := socket.socket()).bind(("127.0.0.1", 0)) or s.getsockname()[1]  # closed on return
run = lambda *command: subprocess.run(command, env=env, capture_output=True, text=True).stdout.strip()
window = lambda name: run("xdotool", "search", "--onlyvisible", "--name", name).split("\n")[0]
state = lambda: json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/state", timeout=5))


env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "SESSION_MANAGER")}
env.update(QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8", XDG_RUNTIME_DIR=f"{tmp}/run", XDG_STATE_HOME=f"{tmp}/state")
os.makedirs(f"{tmp}/run", mode=0o700), os.makedirs(f"{tmp}/state")
try:
    # Xvfb takes a free display itself (other tests may be choosing one now) and names it once it is up.
    xvfb = start("Xvfb", "-displayfd", "1", "-screen", "0", "1920x1080x24", "-nolisten", "tcp", out=subprocess.PIPE)
    env["DISPLAY"] = ":" + (xvfb.stdout.readline().decode().strip() or fail("Xvfb did not start"))
    start("openbox"), time.sleep(1 * slow)
    port = free_port()
    # A tournament of one 30 s game, time enough for the taps below on a slow machine.
    open(f"{tmp}/plan.csv", "w").write("Nr;Heim;Gast;Spielzeit\n1;A;B;0:30\n")
    launch = lambda: start(program, f"--web=127.0.0.1:{port}", "--fernbedienung", f"--turnier={tmp}/plan.csv",
                           out=open(f"{tmp}/out", "ab"), err=open(f"{tmp}/err", "ab"))
    velorand, wid = launch(), wait_for("the clock window", lambda: window("^ Velorand"), 30)
    wait_for("Start to be enabled for the game", lambda: state()["enabled"]["start"]), time.sleep(1 * slow)
    # The context menu on the background: Minimieren, Schliessen, Fernbedienung koppeln…
    run("xdotool", "mousemove", "--window", wid, "150", "216", "click", "3", "sleep", str(1 * slow),
        "key", "--delay", "150", "Down", "Down", "Down", "Return")
    dialog = wait_for("the pairing dialog", lambda: window("^Fernbedienung koppeln$"))
    url = wait_for("a QR code in the pairing dialog", lambda: time.sleep(0.5 * slow)  # drawn completely
                   or run("import", "-window", dialog, f"png:{tmp}/qr.png") or run("zbarimg", "--raw", "-q", f"{tmp}/qr.png"))
    match = re.fullmatch(rf"http://127\.0\.0\.1:{port}/fernbedienung#([A-Za-z0-9_-]{{22}})", url)
    token = match[1] if match else fail(f"the QR code reads {url!r}")

    devport = free_port()
    start("chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
          "--disable-background-networking", "--disable-component-update", "--disable-sync",
          f"--user-data-dir={tmp}/chrome", f"--remote-debugging-port={devport}", "--window-size=400,800",
          "about:blank", err=open(f"{tmp}/chromium.log", "wb"))
    pages = wait_for("chromium's debugging port", lambda: [p for p in json.load(
        urllib.request.urlopen(f"http://127.0.0.1:{devport}/json", timeout=5)) if p["type"] == "page"], 30)
    ws = websocket.create_connection(pages[0]["webSocketDebuggerUrl"], timeout=30 * slow, suppress_origin=True)
    calls = itertools.count(1)

    def cdp(method, **params):  # a DevTools call's result, skipping the events
        ws.send(json.dumps({"id": (call := next(calls)), "method": method, "params": params}))
        while (reply := json.loads(ws.recv())).get("id") != call:
            pass
        return reply["result"] if "error" not in reply else fail(f"{method}: {reply['error']}")

    def js(expression):  # its value in the page, with $ for document.getElementById
        return cdp("Runtime.evaluate", expression=f"($ => {expression})(id => document.getElementById(id))",
                   returnByValue=True)["result"].get("value")

    def tap(button):  # a real press and release at the button's centre
        x, y = js(f"(r => [r.x + r.width / 2, r.y + r.height / 2])($('{button}').getBoundingClientRect())")
        for kind in ("mousePressed", "mouseReleased"):
            cdp("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)

    cdp("Page.navigate", url=url)
    wait_for("the page with the live state", lambda: js("document.readyState === 'complete' && "
             "location.pathname === '/fernbedienung' && !$('start').disabled"))
    href = js("location.href")
    "#" not in href and token not in href or fail(f"the address bar shows {href}")
    js("localStorage.getItem('velorand-token')") == token or fail("the page did not keep the token")

    tap("start")
    wait_for("the clock to run after a tap on Start", lambda: state()["phase"] == "running", 5)
    wait_for("Stopp and Pause on the page", lambda: js("$('start').textContent === 'Stopp' && !$('pause').disabled"), 5)
    # A double tap at a thumb's pace, the second after the first one's answer came back and turned the
    # button to "weiter": the clock pauses once, it does not pause and then resume.
    tap("pause"), time.sleep(0.25), tap("pause"), time.sleep(1 * slow)
    phase, button = state()["phase"], js("$('pause').textContent")
    log = open(f"{tmp}/err", encoding="utf-8", errors="replace").read()
    commands = re.findall(r"^velorand: Fernbedienung \d\d:\d\d:\d\d .* (\w+): (\d+)$", log, re.M)
    phase == "paused" or fail(f"after a double tap on Pause the clock is {phase}; commands: {commands}")
    button == "weiter" or fail(f"the paused clock's Pause reads {button} on the page")
    # Done were the start and one pause; a second pause may have been refused, a resume is wrong.
    [c for c in commands if c[1] == "200"] == [("start", "200"), ("pause", "200")] or fail(f"commands: {commands}")
    os.killpg(velorand.pid, signal.SIGKILL), velorand.wait(), launch()
    wait_for("the killed clock to come back paused", lambda: state()["phase"] == "paused")
    resume = urllib.request.Request(f"http://127.0.0.1:{port}/api/command", b'{"command": "resume"}',
                                    {"Authorization": "Bearer " + token, "Content-Type": "application/json"})
    urllib.request.urlopen(resume, timeout=5).status == 200 and state()["phase"] == "running" or fail("the phone did not resume it")
    for path in [f"{tmp}/out", f"{tmp}/err"] + glob.glob(f"{tmp}/*.csv") + glob.glob(f"{tmp}/state/**", recursive=True):
        os.path.isfile(path) and token.encode() in open(path, "rb").read() and fail(f"the token is in {path}")
    print(f"PASS: paired over the QR code ({url.split('#')[0]}), the token kept out of the address, "
          f"Start runs the clock, a double tap on Pause pauses once: {commands}; still paired after kill -9")
finally:
    for proc in reversed(procs):  # each with what it started itself (chromium's helpers) in its own group
        with contextlib.suppress(ProcessLookupError, subprocess.TimeoutExpired):
            os.killpg(proc.pid, signal.SIGTERM) or proc.wait(5)
        with contextlib.suppress(ProcessLookupError):
            os.killpg(proc.pid, signal.SIGKILL)  # what did not end
    shutil.rmtree(tmp, ignore_errors=True)
