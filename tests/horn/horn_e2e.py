#!/usr/bin/env python3
# The horn with real parts: a PulseAudio server of its own with a null sink, a virtual X session
# and the real program running a 4 s game, with --hupe and without. The sink's monitor is recorded
# and must hold one burst starting at each end (first half, game) and silence elsewhere; the web view
# that the program with --hupe also serves has followed the game to its end.
# Usage: horn_e2e.py path/to/velorand
import os, shutil, subprocess as sp, sys, tempfile, time, urllib.request

for tool in ("pulseaudio", "parec", "pactl", "Xvfb", "openbox", "xdotool", "xprop"):
    shutil.which(tool) or sys.exit(print(f"SKIP: {tool} not installed") or 77)
started, home = [], tempfile.mkdtemp(prefix="horn-e2e-")
env = {k: v for k, v in os.environ.items() if k != "QT_QPA_PLATFORM"}  # the program runs on X
# The main thread's own messages (here: of each click) must pass the horn's filter of its thread's messages,
# and those Qt gives while the window system opens (here: the plugin's) come out once it is open.
env.update(HOME=home, XDG_RUNTIME_DIR=home, PULSE_SINK="hupe", LC_ALL="C.UTF-8", QT_LOGGING_RULES="qt.qpa.input.events=true;qt.qpa.plugin=true")

spawn = lambda *cmd, **kw: started.append(sp.Popen(cmd, **{"env": env, "stdin": sp.DEVNULL, "stderr": sp.DEVNULL, **kw})) or started[-1]

# Until the command's output holds the text, 10 s at most.
wait_for = lambda text, *cmd: any(text in sp.run(cmd, env=env, capture_output=True).stdout or time.sleep(0.1) for _ in range(100))

xdotool = lambda *args: sp.run(["xdotool", *args], env=env, check=True, capture_output=True, timeout=20).stdout

# A 4 s game: when the bursts of sound start and when there was sound, in s after the Start click.
def game(*args):
    app = spawn(sys.argv[1], *args, stdout=sp.DEVNULL, stderr=sp.PIPE)
    win = xdotool("search", "--sync", "--onlyvisible", "--name", "^ Velorand").split()[0]
    # txtStd has the focus: 4 s into txtSek, the pointer onto Start.
    xdotool("windowfocus", "--sync", win, "mousemove", "--window", win, "374", "38", "key", "Tab", "Tab", "0", "4")
    rec = spawn("parec", "--device=hupe.monitor", "--rate=44100", "--channels=1", "--format=s16le",
                "--latency-msec=5", stdout=sp.PIPE)
    recording, chunks, click = bytearray(), [(0, 0)], float("inf")  # chunks: arrival time, samples so far
    while chunks[-1][0] < click + 5.5 and (data := rec.stdout.read1(65536)):
        recording += data
        chunks.append((time.monotonic(), len(recording) // 2))
        if len(chunks) == 100:  # recording steadily
            click = time.monotonic()  # taken before the click: what follows is measured late, never early
            xdotool("click", "1")
    state = [urllib.request.urlopen(f"http://127.0.0.1:{a[6:]}/state").read() for a in args if a[:6] == "--web="]
    rec.terminate(), app.terminate()
    sys.stderr.buffer.write(said := app.communicate()[1])  # a horn and a server that work make no complaints
    # The server renders a sample before it reaches the monitor; the chunk's arrival is its latest time.
    samples = memoryview(bytes(recording)).cast("h")
    loud = [t - click for (_, n0), (t, n) in zip(chunks, chunks[1:]) if max(map(abs, samples[n0:n])) > 2000]
    return [t for i, t in enumerate(loud) if i == 0 or t - loud[i - 1] > 0.3], loud, state, said

try:
    spawn("pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--system=false",
          "-L", "module-native-protocol-unix", "-L", "module-null-sink sink_name=hupe")
    wait_for(b"Server Name", "pactl", "info") or sys.exit("horn_e2e: pulseaudio did not start")
    env["DISPLAY"] = ":" + spawn("Xvfb", "-displayfd", "1", "-nolisten", "tcp", stdout=sp.PIPE).stdout.readline().decode()[:-1]
    # Now and then openbox cannot open a display that has only just come up; then it starts again.
    any(spawn("openbox", "--sm-disable", stdout=sp.DEVNULL) and wait_for(b"window id", "xprop", "-root",
        "_NET_SUPPORTING_WM_CHECK") for _ in range(3)) or sys.exit("horn_e2e: openbox did not start")
    # Its port lies below the kernel's ephemeral range, out of the way of other tests' connections.
    (starts, loud, state, said), silent = game("--hupe", f"--web={10000 + os.getpid() % 20000}"), game()[0]
    # No sound server: one line says so, and the clock window runs; Qt's own complaints stay out.
    mute = spawn(sys.argv[1], "--hupe", stderr=sp.PIPE, env={**env, "PULSE_SERVER": "unix:/nirgends", "QT_LOGGING_RULES": ""})
    win = xdotool("search", "--sync", "--onlyvisible", "--pid", str(mute.pid)).split()[0]; time.sleep(1)
    # The sound has a thread of its own, named for top -H and debuggers.
    named = "horn" in sp.run(["ps", "-T", "-o", "comm=", "-p", str(mute.pid)], capture_output=True, text=True).stdout.split()
    xdotool("windowfocus", "--sync", win, "key", "alt+F4")  # closed as an operator does: it ends well
    alone = mute.communicate(timeout=20)[1] == "velorand: Hupe nicht verfügbar: kein Audioausgang gefunden (läuft ein Sound-Server wie PulseAudio?); die Uhr läuft ohne Ton.\n".encode() and mute.returncode == 0
    print(f"bursts start {[round(t, 3) for t in starts]} s after the Start click with --hupe, {silent} without")
    ends = (2.0, 4.0)  # of the first half and of the game; each horn lasts 1.2 s
    ok = len(starts) == 2 and all(abs(t - end) <= 0.1 for t, end in zip(starts, ends)) and not silent and b'"elapsed":"00:04"' in state[0] and b"Hupe" not in said and b"fehlgeschlagen" not in said and b"XI2 mouse press" in said and b"init_platform called" in said and alone and named
    sys.exit(0 if ok and all(any(end - 0.1 <= t <= end + 1.3 for end in ends) for t in loud) else 1)
finally:
    for p in reversed(started):
        p.terminate(), p.wait()
    shutil.rmtree(home)
