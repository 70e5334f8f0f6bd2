#!/usr/bin/env python3
"""The real player on MIDI files as old game folders hold them (tools/music_variants.py).

Each variant is the music of a one-line game that then waits for a click; the player runs
5 s with SDL's disk audio driver in real time, then is asked to close. Each variant must be
heard, play silently or leave the device closed with one line on standard error naming the
file, and the player's own CPU time must stay under 20 % of the 5 s.

Usage: music_variants_test.py QOV_BINARY TOOLS_DIR
"""

import array
import os
import signal
import subprocess
import sys
import tempfile
import time

SECONDS = 5.0
CPU_SHARE = 0.20
AT_ONCE = 7  # players running side by side


def start(qov, work, name):
    game = os.path.join(work, name)
    os.makedirs(game)
    os.rename(os.path.join(work, 'music', name + '.MID'), os.path.join(game, name + '.MID'))
    script = 'MUSPL,%s,1\r\nMES,＃00♪￥\r\nEXIT\r\n' % name
    with open(os.path.join(game, 'wnatu.QOV'), 'wb') as f:
        f.write(script.encode('cp932'))
    env = dict(os.environ, SDL_VIDEODRIVER='dummy', SDL_AUDIODRIVER='disk',
               SDL_DISKAUDIOFILE=os.path.join(game, 'out.raw'))
    env.pop('SDL_DISKAUDIODELAY', None)  # the device's own pace, as a sound card takes it
    err = open(os.path.join(game, 'stderr'), 'wb')
    proc = subprocess.Popen([qov, game], cwd=game, env=env, stderr=err, stdout=subprocess.DEVNULL)
    return game, proc, time.monotonic()


def finish(game, proc, started):
    time.sleep(max(0.0, started + SECONDS - time.monotonic()))
    proc.send_signal(signal.SIGTERM)  # the player closes its window
    try:
        _, status, usage = os.wait4(proc.pid, 0)
    except ChildProcessError:
        return None, None
    proc.returncode = status
    return status, usage.ru_utime + usage.ru_stime


def loudest(path, rate_guess=44100):
    """The peak of the recording, without its last half second (the closing beep)."""
    samples = array.array('h')
    with open(path, 'rb') as f:
        samples.frombytes(f.read())
    if sys.byteorder != 'little':
        samples.byteswap()
    cut = len(samples) - rate_guess  # half a second of stereo frames
    return max((abs(s) for s in samples[:max(0, cut)]), default=0)


def main():
    qov, tools = sys.argv[1], sys.argv[2]
    sys.path.insert(0, tools)
    import music_variants  # noqa: E402 (found in the tools folder given)

    failures = []
    with tempfile.TemporaryDirectory() as work:
        music_variants.main(os.path.join(work, 'music'))
        pending = list(music_variants.VARIANTS)
        while pending:
            batch, pending = pending[:AT_ONCE], pending[AT_ONCE:]
            runs = [(name, expect, start(qov, work, name)) for name, expect, _ in batch]
            for name, expect, (game, proc, started) in runs:
                status, cpu = finish(game, proc, started)
                with open(os.path.join(game, 'stderr'), encoding='utf-8', errors='replace') as f:
                    err = f.read()
                lines = [l for l in err.splitlines() if name + '.MID' in l]
                peak = loudest(os.path.join(game, 'out.raw'))
                problems = []
                if status != 0:
                    problems.append('ended with status %s' % status)
                if cpu is None or cpu > CPU_SHARE * SECONDS:
                    problems.append('CPU %.2f s in %.0f s' % (cpu or -1, SECONDS))
                if expect == 'closed':
                    if len(lines) != 1 or 'cannot be played' not in lines[0]:
                        problems.append('not named once on stderr: %r' % err)
                elif lines:
                    problems.append('named on stderr: %r' % err)
                if expect == 'heard' and peak < 1000:
                    problems.append('not heard (peak %d)' % peak)
                if expect != 'heard' and peak > 50:
                    problems.append('not silent (peak %d)' % peak)
                print('%-11s %-6s peak %5d  cpu %.2f s  %s' %
                      (name, expect, peak, cpu or -1, '; '.join(problems) or 'ok'))
                if problems:
                    failures.append(name)
    if failures:
        print('FAILED: ' + ', '.join(failures))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
