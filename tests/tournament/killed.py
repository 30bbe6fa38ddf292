#!/usr/bin/env python3
# A tournament day killed with SIGKILL at seeded random moments (between commands, during games,
# pauses and breaks, and while a command is being written) and restarted each time: the loaded game,
# the scores, the results, running or paused and the game time (within 200 ms of a watch that ran on
# while the program was down) all come back; what a kill left half-written goes. Then: a second clock on the same plan is refused, and
# the journal is for its owner only.
#     killed.py DAYRUNNER [MOMENTS] [SEED]
import json, os, random, re, signal, subprocess, sys, tempfile, time

runner, moments = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 20
seed = int(sys.argv[3]) if len(sys.argv) > 3 else random.randrange(1 << 30)
rng, folder = random.Random(seed), tempfile.mkdtemp()
plan, journals = os.path.join(folder, 'plan.csv'), os.path.join(folder, 'state')
with open(plan, 'w') as f:
    f.write('Nr;Heim;Gast;Spielzeit\n1;A;B;0:03\n2;C;D;0:20\n3;E;F;0:06\n4;G;H;0:10\n')
lengths, halves, env = [3000, 20000, 6000, 10000], [2000, 10000, 3000, 5000], dict(os.environ, QT_QPA_PLATFORM='offscreen')


fail = lambda why: sys.exit(f'FAIL (seed {seed}): {why}')
launch = lambda: subprocess.Popen([runner, plan, journals], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, env=env, text=True, bufsize=1)


ask = lambda program, command: (program.stdin.write(command + '\n'),  # the answer, and when it came
    json.loads(program.stdout.readline() or fail(f'no answer to {command}: {program.stderr.read()}')), time.monotonic())[1:]


def advanced(state, since, until, command=None):
    # The state at until, as a watch would count it; with command, as if it was given at since.
    s = json.loads(json.dumps(state))
    game, length = s['results'][s['current']] if s['current'] >= 0 else None, lengths[s['current']]
    if command in ('home', 'away') and game and game[2]:
        game[command == 'away'] += 1
    if command == 'pause' and s['running'] and s['elapsedMs'] < length:
        s['paused'] = not s['paused']
    if s['running'] and not s['paused']:
        s['elapsedMs'] = min(s['elapsedMs'] + (until - since) * 1000, length)
        game[3] = game[3] or s['elapsedMs'] >= length
    on, over = s['running'], s['elapsedMs'] >= length  # the banners that passed show, the horn's past is silent
    s['banners'] = [on and s['elapsedMs'] >= halves[s['current']], on and over,
                    'Die Spielzeit ist abgelaufen !' if on and over else 'Spielzeit unterbrochen !' if s['paused'] else '']
    return s


def same(got, want):
    got = json.loads(json.dumps(got))
    if want['running'] and abs(want['elapsedMs'] - lengths[want['current']]) < 250:  # the end just before or after
        got['results'][got['current']][3] = want['results'][want['current']][3]
        got['banners'][1:] = want['banners'][1:]
    if want['running'] and abs(want['elapsedMs'] - halves[want['current']]) < 250:
        got['banners'][0] = want['banners'][0]
    return all(got[k] == want[k] for k in ('current', 'running', 'paused', 'results', 'banners')) \
        and abs(got['elapsedMs'] - want['elapsedMs']) <= 200


(state, at), restored = ask(program := launch(), 'state'), False
open(os.path.join(journals, os.listdir(journals)[0][:16] + '.journal.Xy09Ab'), 'w')  # as a kill mid-write leaves
for moment in range(moments):
    for _ in range(rng.randrange(4)):
        time.sleep(rng.uniform(0, 0.8))
        state, at = ask(program, rng.choice(['start', 'start', 'pause', 'home', 'away', 'next']))
    pending = rng.choice(['home', 'away', 'pause']) if rng.random() < 0.3 else None
    if pending:  # killed while the command is handled and written
        program.stdin.write(pending + '\n')
    time.sleep(rng.uniform(0, 0.005 if pending else 0.6))
    killed = time.monotonic()
    os.kill(program.pid, signal.SIGKILL), program.wait()
    len(re.findall('^velorand: Wiederhergestellt: Spiel', program.stderr.read(), re.M)) == restored or fail(f'moment {moment}: not said once')
    program = launch()
    got, now = ask(program, 'state')
    landed = advanced(advanced(state, at, killed), killed, now, pending) if pending else None
    if not same(got, advanced(state, at, now)) and not (landed and same(got, landed)):
        fail(f'moment {moment}, killed during {pending}:\n  before {json.dumps(state)}\n  now    {json.dumps(got)}')
    if 'beschädigt' in got['status'] or (got['running'] and 'Wiederhergestellt: Spiel' not in got['status']):
        fail(f'moment {moment}: status {got["status"]!r}')
    state, at, restored = got, now, got['running']

second = subprocess.run([runner, plan, journals], env=env, capture_output=True, text=True, timeout=30)
if second.returncode != 2 or f'Dieser Turnierplan ist schon geöffnet (PID {program.pid})' not in second.stderr:
    fail(f'a second clock on the plan: status {second.returncode}, {second.stderr!r}')
program.kill()
modes = {re.sub('^[0-9a-f]{16}', 'HASH', name): oct(os.stat(os.path.join(journals, name)).st_mode) for name in os.listdir(journals)}
if oct(os.stat(journals).st_mode)[-3:] != '700' or modes != dict.fromkeys(['HASH.journal', 'HASH.journal.prev', 'HASH.journal.lock'], oct(0o100600)):
    fail(f'modes {oct(os.stat(journals).st_mode)} {modes}')
print(f'{moments} kills survived (seed {seed})')
