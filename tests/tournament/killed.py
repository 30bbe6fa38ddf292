#!/usr/bin/env python3
"""A tournament day killed with SIGKILL at seeded random moments (between commands, during games,
pauses and breaks, and while a command is being written) and restarted each time: the loaded game,
the scores, the results, running or paused and the game time (within 200 ms of a watch that ran on
while the program was down) all come back. Then: a second clock on the same plan is refused, and
the journal is for its owner only.
    killed.py DAYRUNNER [MOMENTS] [SEED]"""
import json, os, random, re, signal, stat, subprocess, sys, tempfile, time

runner = sys.argv[1]
moments = int(sys.argv[2]) if len(sys.argv) > 2 else 20
seed = int(sys.argv[3]) if len(sys.argv) > 3 else random.randrange(1 << 30)
rng = random.Random(seed)
folder = tempfile.mkdtemp()
plan, journals = os.path.join(folder, 'plan.csv'), os.path.join(folder, 'state')
with open(plan, 'w') as f:
    f.write('Nr;Heim;Gast;Spielzeit\n1;A;B;0:03\n2;C;D;0:20\n3;E;F;0:06\n4;G;H;0:10\n')
lengths = [3000, 20000, 6000, 10000]
env = dict(os.environ, QT_QPA_PLATFORM='offscreen', LC_ALL='C.UTF-8')


def fail(why):
    print(f'FAIL (seed {seed}): {why}')
    sys.exit(1)


def launch():
    return subprocess.Popen([runner, plan, journals], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=env, text=True)


def ask(program, command):
    program.stdin.write(command + '\n')
    program.stdin.flush()
    line = program.stdout.readline()
    if not line:
        fail(f'no answer to {command}: {program.stderr.read()}')
    return json.loads(line), time.monotonic()


def advanced(state, since, until, command=None):
    """The state at until, as a watch would count it; with command, as if it was given at since."""
    s = json.loads(json.dumps(state))
    game = s['results'][s['current']] if s['current'] >= 0 else None
    on = s['running'] and s['elapsedMs'] < lengths[s['current']]
    if command in ('home', 'away') and game and game[2]:
        game[command == 'away'] += 1
    if command == 'pause' and on:
        s['paused'] = not s['paused']
    if s['running'] and not s['paused']:
        s['elapsedMs'] = min(s['elapsedMs'] + (until - since) * 1000, lengths[s['current']])
        game[3] = game[3] or s['elapsedMs'] >= lengths[s['current']]
    return s


def same(got, want):
    near_end = want['running'] and abs(want['elapsedMs'] - lengths[want['current']]) < 250
    if near_end:  # the end may have come just before or after
        got = json.loads(json.dumps(got))
        got['results'][got['current']][3] = want['results'][want['current']][3]
    return all(got[k] == want[k] for k in ('current', 'running', 'paused', 'results')) \
        and abs(got['elapsedMs'] - want['elapsedMs']) <= 200


program = launch()
state, at = ask(program, 'state')
for moment in range(moments):
    for _ in range(rng.randrange(4)):
        time.sleep(rng.uniform(0, 0.8))
        state, at = ask(program, rng.choice(['start', 'start', 'pause', 'home', 'away', 'next']))
    pending = None
    if rng.random() < 0.3:  # killed while a command is handled and written
        pending = rng.choice(['home', 'away', 'pause'])
        program.stdin.write(pending + '\n')
        program.stdin.flush()
        time.sleep(rng.uniform(0, 0.005))
    else:
        time.sleep(rng.uniform(0, 0.6))
    killed = time.monotonic()
    os.kill(program.pid, signal.SIGKILL)
    program.wait()
    program = launch()
    got, now = ask(program, 'state')
    before = advanced(state, at, now)
    landed = advanced(advanced(state, at, killed), killed, now, pending) if pending else before
    if not same(got, before) and not same(got, landed):
        fail(f'moment {moment}, killed {"during " + pending if pending else "between commands"}:\n'
             f'  before {json.dumps(state)}\n  now    {json.dumps(got)}')
    if 'beschädigt' in got['status'] or (got['running'] and 'Wiederhergestellt: Spiel' not in got['status']):
        fail(f'moment {moment}: status {got["status"]!r}')
    state, at = got, now

for name in os.listdir(journals):  # a lock is not stale for its age, only for a dead holder
    os.utime(os.path.join(journals, name), (time.time() - 86400, time.time() - 86400))
second = subprocess.run([runner, plan, journals], env=env, capture_output=True, text=True, timeout=30)
if second.returncode != 2 or f'Dieser Turnierplan ist schon geöffnet (PID {program.pid})' not in second.stderr:
    fail(f'a second clock on the plan: status {second.returncode}, {second.stderr!r}')
program.kill()
modes = {name: stat.S_IMODE(os.stat(os.path.join(journals, name)).st_mode) for name in os.listdir(journals)}
names = {re.sub('^[0-9a-f]{16}', 'HASH', name) for name in modes}
if stat.S_IMODE(os.stat(journals).st_mode) != 0o700 or set(modes.values()) != {0o600} \
        or names != {'HASH.journal', 'HASH.journal.prev', 'HASH.journal.lock'}:
    fail(f'modes {oct(stat.S_IMODE(os.stat(journals).st_mode))} {modes}')
print(f'{moments} kills survived (seed {seed})')
