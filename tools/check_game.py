#!/usr/bin/env python3
"""Checks the demo game's own rules and its assets.

    check_game.py [GAME_DIR] [--quiet]

What the player would refuse in a script (command words, fields, numbers,
jumps, conditions, mark-up, menu definitions, files it cannot find) is
`qov --check`'s business: it reads the scripts with the player's own
grammars. This tool adds the rules the demo game keeps as a showcase:
CR LF everywhere, every entry a menu can end with has its CASE line,
messages stay readable (a message ends with a wait or is followed by a
menu), music is stopped before a new piece, captions fit their labels,
speakers are defined, files are named with their exact case, and every
command word and mark-up character occurs somewhere. Assets: pictures decode
(ImageMagick identify), MIDI files parse, waves are PCM. Exit status 0 when
there is no error; warnings don't fail.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from audio import read_wav_header  # noqa: E402
from midi import read_smf  # noqa: E402
from qovasm import COMMANDS  # noqa: E402

MARKUP = '＆＠＃￥＾＜＞：＄＊'
MENU_MARKERS = '＊＠￥' + '０１２３４５６７８９'
FULL_DIGITS = '０１２３４５６７８９'
HEX = '0123456789ABCDEFabcdef'
# commands that neither show nor clear anything: a message stays on screen
QUIET = {'LET', 'INC', 'DEC', 'CLR', 'FGCL', 'ITMS', 'CMST', 'ADDCM', 'DELCM', 'ENDIF',
         'ENDEV', 'ENDFP', 'ENDFJ', 'DO', 'ENDCM'}
LINE_WIDTH = 37
LAST_LINE = 2
MENU_CAPTION_MAX = 9


class Report:
    def __init__(self, quiet=False):
        self.errors = []
        self.warnings = []
        self.quiet = quiet

    def error(self, where, text):
        self.errors.append('%s: %s' % (where, text))

    def warn(self, where, text):
        self.warnings.append('%s: %s' % (where, text))


def const_value(s):
    try:
        return int(s.strip())
    except ValueError:
        return None


class Script:
    def __init__(self, name, lines):
        self.name = name
        self.lines = lines  # index 0 unused
        self.table_lines = set()  # lines of FP/FJ tables (not commands)

    def where(self, no):
        return '%s.QOV:%d' % (self.name, no)

    def fields(self, no):
        return self.lines[no].split(',')

    def word(self, no):
        return self.fields(no)[0] if 1 <= no < len(self.lines) else ''


def read_script(path, rep):
    name = os.path.basename(path)[:-4]
    with open(path, 'rb') as f:
        data = f.read()
    try:
        text = data.decode('cp932')
    except UnicodeDecodeError:
        return None  # qov --check names the line
    if data and not data.endswith(b'\r\n'):
        rep.error(name + '.QOV', 'last line does not end with CR LF')
    body = text[:-2] if text.endswith('\r\n') else text
    lines = body.split('\r\n') if body else []
    for k, line in enumerate(lines, 1):
        if '\r' in line or '\n' in line:
            rep.error('%s.QOV:%d' % (name, k), 'a lone CR or LF (lines end with CR LF)')
    return Script(name, [''] + lines)


# -- messages ----------------------------------------------------------------------

class MessageState:
    """What the message writer would do with a text: waits, pages, mark-up."""

    def __init__(self):
        self.ends_with_wait = False
        self.used = set()
        self.speakers_used = set()
        self.speakers_defined = set()
        self.empty_pages = 0


def scan_message(text, where, rep):
    """Follows the writer's layout rules (its arguments are qov --check's business)."""
    st = MessageState()
    col = 0
    line = 0
    passage = False
    pos = 0
    last_wait_pos = -1  # text position just after the last wait
    page_has_text = False
    n = len(text)

    def page_wait(at):
        nonlocal last_wait_pos, page_has_text
        if not page_has_text:
            st.empty_pages += 1
        last_wait_pos = at
        page_has_text = False

    while pos < n:
        c = text[pos]
        if c in MARKUP:
            st.used.add(c)
        if c == '＆':
            h = text[pos + 1:pos + 2]
            if h and h in HEX:
                st.speakers_defined.add(int(h, 16))
            pos += 4
        elif c == '＠':
            pos += 2
        elif c == '＃':
            pos += 2
        elif c == '￥':
            page_wait(pos + 1)
            col = 0
            line = 0
        elif c == '＾':
            if col > 0:
                col = 0
                line += 1
        elif c == '＜':
            passage = True
        elif c == '＞':
            passage = False
        elif c == '：':
            h = text[pos + 1:pos + 2]
            if h and h in HEX:
                st.speakers_used.add(int(h, 16))
            if col > 0:
                if line == LAST_LINE:
                    page_wait(pos)
                    line = 0
                else:
                    line += 1
            col = 5
            page_has_text = True
            pos += 1
        elif c == '＄':
            col += 1
            page_has_text = True
            if col == LINE_WIDTH:
                col = 0
                line += 1
            pos += 2
        elif c == '＊':
            page_wait(pos + 3)
            page_has_text = True  # the window keeps its text
            pos += 2
        else:
            if not passage and col == 0:
                col = 5
            col += 1
            page_has_text = True
            if col == LINE_WIDTH:
                col = 0
                line += 1
        if line > LAST_LINE:
            page_wait(pos + 1)
            line = 0
            col = 0
        pos += 1
    st.ends_with_wait = last_wait_pos >= n
    if st.empty_pages:
        rep.warn(where, 'a page wait shows an empty window (text fills a page exactly?)')
    return st


# -- the checks ---------------------------------------------------------------------

def mark_tables(sc, rep):
    for no in range(1, len(sc.lines)):
        w = sc.word(no)
        if w in ('FP', 'FJ') and no not in sc.table_lines:
            f = sc.fields(no)
            end = const_value(f[2]) if len(f) > 2 else None
            if end is None or end <= no or end >= len(sc.lines):
                continue
            for k in range(no + 1, end):
                sc.table_lines.add(k)


def check_lines(sc, rep, files, seen):
    """The house rules of each line, and what the coverage counts."""
    n = len(sc.lines) - 1
    for no in range(1, n + 1):
        if no in sc.table_lines:
            continue
        f = sc.fields(no)
        w = f[0]
        where = sc.where(no)
        if w not in COMMANDS:
            continue  # qov --check reports it
        seen['words'].add(w)

        def field(k):
            return f[k - 1] if len(f) >= k else None

        def message(text, at, end):
            st = scan_message(text, at, rep)
            seen['markup'] |= st.used
            seen['speakers_used'] |= {(s, at) for s in st.speakers_used}
            seen['speakers_defined'] |= st.speakers_defined
            if not st.ends_with_wait:
                check_followed_by_menu(sc, end, at, rep)

        if w in ('IF', 'EVA') and field(3) is None:
            rep.error(where, '%s has no line for a false condition' % w)
        elif w == 'FP':
            end = const_value(f[2]) if len(f) > 2 else None
            if end is not None and end > no:
                for k in range(no + 1, min(end, n + 1)):
                    message(sc.lines[k].split(',')[0], sc.where(k), end)
        elif w == 'MES' and field(2) is not None:
            if len(f) > 2:
                rep.error(where, 'a comma inside the message cuts it off')
            message(f[1], where, no + 1)
        elif w == 'INC':
            if len(f) > 3:
                seen['inc_modes'].add(f[3])
            else:
                rep.warn(where, 'INC without a mode: an error once the limit is reached')
        elif w == 'SOUND' and field(3) is not None:
            files.append((where, f[1] + '.wav', 'effect'))
            seen['sound_flags'].add(f[2])
        elif w == 'MUSPL' and field(3) is not None:
            seen['music_modes'].add(f[2])
            if f[2].strip() == '1':
                files.append((where, f[1] + '.MID', 'music'))
                check_music_stopped(sc, no, where, rep)
        elif w == 'GHG' and field(2) is not None:
            files.append((where, f[1] + '.SZG', 'picture'))
        elif w == 'ACMLD' and field(2) is not None:
            files.append((where, f[1] + '.QOV', 'script'))
        elif w == 'OP':
            seen['op'] = True
            for k in range(1, 9):
                files.append((where, 'OP%d.SZG' % k, 'opening picture'))
            files.append((where, 'Tv2b.wav', 'opening song'))
        elif w == 'CMST' and field(3) is not None:
            check_menu_text(f[2], where, rep, seen)
        elif w == 'ADDCM' and field(4) is not None:
            check_menu_text(f[3], where, rep, seen, single=True)


def check_music_stopped(sc, no, where, rep):
    """Music must be stopped (mode 0) before new music starts (mode 1)."""
    k = no - 1
    while k >= 1:
        f = sc.fields(k)
        if f[0] == 'MUSPL' and len(f) > 2:
            if f[2].strip() in ('0', '9'):
                return
            rep.error(where, 'MUSPL mode 1 follows other music without a stop (mode 0)')
            return
        if f[0] in ('GOTO', 'CASE', 'ACMLD', 'RET') or k in sc.table_lines:
            break
        k -= 1
    if no > 1 and not any(sc.word(j) == 'MUSPL' for j in range(max(1, no - 8), no)):
        rep.warn(where, 'MUSPL mode 1 without a stop just before it')


def check_menu_text(text, where, rep, seen, single=False):
    """Coverage of the markers and captions that fit their labels (the grammar is qov's)."""
    parts = [text] if single else text.split('・')
    for part in parts:
        entries = []
        for ch in part:
            if ch in MENU_MARKERS:
                entries.append(ch)
                seen['menu_markers'].add('０' if ch in FULL_DIGITS else ch)
            elif entries:
                entries[-1] += ch
        for e in entries:
            if len(e) - 1 > MENU_CAPTION_MAX:
                rep.warn(where, 'caption %r may not fit its label' % e[1:])


def check_followed_by_menu(sc, start, where, rep, depth=0):
    """A message without a final wait must be followed by a menu."""
    k = start
    steps = 0
    while 1 <= k < len(sc.lines) and steps < 50:
        steps += 1
        f = sc.fields(k)
        w = f[0]
        if w == 'CMSL':
            return
        if w in ('EXIT', 'EOF'):
            return
        if w == 'GOTO' and depth < 4:
            t = const_value(f[1]) if len(f) > 1 else None
            if t is None:
                return
            return check_followed_by_menu(sc, t, where, rep, depth + 1)
        if w in QUIET:
            k += 1
            continue
        rep.error(where, 'message is not read: it ends without ￥ and line %d (%s) follows, '
                  'not a menu' % (k, w))
        return


def check_menus(sc, rep):
    """Each CMSL: an ENDCM after it, CASE lines for every entry that can end the menu."""
    n = len(sc.lines) - 1
    defs = {}
    for no in range(1, n + 1):
        if no in sc.table_lines:
            continue
        f = sc.fields(no)
        if f[0] == 'CMST' and len(f) > 2 and const_value(f[1]) is not None:
            m = const_value(f[1])
            for part in f[2].split('・'):
                entries = []
                for ch in part:
                    if ch in MENU_MARKERS:
                        entries.append(ch)
                    elif entries:
                        entries[-1] += ch
                for i, e in enumerate(entries):
                    defs.setdefault(m, {}).setdefault(i, set()).add(e)
                m += 1
        elif f[0] == 'ADDCM' and len(f) > 3 and const_value(f[1]) is not None:
            defs.setdefault(const_value(f[1]), {}).setdefault(const_value(f[2]), set()).add(f[3])
    for no in range(1, n + 1):
        if sc.word(no) != 'CMSL' or no in sc.table_lines:
            continue
        f = sc.fields(no)
        start = const_value(f[1]) if len(f) > 1 else None
        codes = {}
        k = no + 1
        while k <= n and sc.word(k) != 'ENDCM':
            if sc.word(k) == 'CASE' and k not in sc.table_lines:
                c = const_value(sc.fields(k)[1]) if len(sc.fields(k)) > 1 else None
                if c is not None:
                    codes.setdefault(c, k)
            k += 1
        if k > n or start is None:
            continue
        # final entries reachable from the start menu
        todo = [start]
        done = set()
        while todo:
            m = todo.pop()
            if m in done:
                continue
            done.add(m)
            for i, variants in defs.get(m, {}).items():
                for e in variants:
                    if e[0] in '＊￥':
                        if m * 100 + i not in codes:
                            rep.error(sc.where(no), 'no CASE %d before the ENDCM (entry %r)'
                                      % (m * 100 + i, e))
                    elif e[0] in FULL_DIGITS:
                        todo.append(FULL_DIGITS.index(e[0]))


def check_files(files, game_dir, rep):
    """Files are named with their exact case (a missing one is qov --check's business)."""
    present = set(os.listdir(game_dir))
    for where, name, kind in files:
        if name not in present:
            other = [p for p in present if p.lower() == name.lower()]
            if other:
                rep.error(where, '%s %s exists only as %s (case differs)' % (kind, name, other[0]))


def check_assets(game_dir, rep):
    sizes = {}
    for name in sorted(os.listdir(game_dir)):
        path = os.path.join(game_dir, name)
        sizes[name] = os.path.getsize(path)
        ext = name.rsplit('.', 1)[-1]
        if ext == 'SZG':
            try:
                out = subprocess.run(['identify', '-format', '%m %w %h\n', path], check=True,
                                     capture_output=True, text=True).stdout.split()
                sizes[name] = (sizes[name], out[0], int(out[1]), int(out[2]))
            except (OSError, subprocess.CalledProcessError, IndexError, ValueError) as e:
                rep.error(name, 'picture does not decode: %s' % e)
        elif ext == 'MID':
            try:
                fmt, _, _, tempos, programs, notes, secs = read_smf(path)
                if not tempos or not programs or notes == 0:
                    rep.error(name, 'MIDI without tempo, programs or notes')
                sizes[name] = (sizes[name], 'SMF%d' % fmt, round(secs, 1))
            except (ValueError, IndexError) as e:
                rep.error(name, 'MIDI does not parse: %s' % e)
        elif ext == 'wav':
            try:
                ch, rate, bits, secs = read_wav_header(path)
                sizes[name] = (sizes[name], '%d Hz %d-bit %s' % (rate, bits, 'mono' if ch == 1 else
                                                                  'stereo'), round(secs, 2))
            except (ValueError, OSError) as e:
                rep.error(name, 'wave does not parse: %s' % e)
    return sizes


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    args = [a for a in argv[1:] if not a.startswith('--')]
    game_dir = args[0] if args else os.path.join(here, '..', 'game')
    rep = Report('--quiet' in argv)
    seen = {'words': set(), 'markup': set(), 'menu_markers': set(), 'inc_modes': set(),
            'sound_flags': set(), 'music_modes': set(), 'speakers_used': set(),
            'speakers_defined': set(), 'op': False}
    files = [('player', 'wnatu.QOV', 'first script')]
    scripts = []
    for name in sorted(os.listdir(game_dir)):
        if name.endswith('.QOV'):
            sc = read_script(os.path.join(game_dir, name), rep)
            if sc:
                scripts.append(sc)
    for sc in scripts:
        mark_tables(sc, rep)
        check_lines(sc, rep, files, seen)
        check_menus(sc, rep)
    check_files(files, game_dir, rep)
    for s, where in sorted(seen['speakers_used']):
        if s not in seen['speakers_defined']:
            rep.error(where, 'speaker %X is never defined with ＆' % s)
    missing = [w for w in COMMANDS if w not in seen['words']]
    if missing:
        rep.error('coverage', 'command words never used: %s' % ' '.join(missing))
    missing = [c for c in MARKUP if c not in seen['markup']]
    if missing:
        rep.error('coverage', 'mark-up never used: %s' % ' '.join(missing))
    missing = [c for c in '＊＠０￥' if c not in seen['menu_markers']]
    if missing:
        rep.error('coverage', 'menu markers never used: %s' % ' '.join(missing))
    if 'L' not in seen['inc_modes']:
        rep.error('coverage', 'INC with "L" never used')
    for flag in ('0', '1'):
        if flag not in {s.strip() for s in seen['sound_flags']}:
            rep.error('coverage', 'SOUND with flags %s never used' % flag)
    for mode in ('0', '1', '9'):
        if mode not in {s.strip() for s in seen['music_modes']}:
            rep.error('coverage', 'MUSPL mode %s never used' % mode)
    sizes = check_assets(game_dir, rep)
    total = sum(v[0] if isinstance(v, tuple) else v for v in sizes.values())
    if total > 10 * 1024 * 1024:
        rep.error('game', 'the game directory holds %d bytes, over 10 MB' % total)
    if not rep.quiet:
        for name, v in sizes.items():
            print('  %-14s %s' % (name, v))
        print('  total %d bytes in %d files; %d scripts, %d lines'
              % (total, len(sizes), len(scripts), sum(len(s.lines) - 1 for s in scripts)))
    for w in rep.warnings:
        print('warning: ' + w)
    for e in rep.errors:
        print('error: ' + e)
    print('%d errors, %d warnings' % (len(rep.errors), len(rep.warnings)))
    return 1 if rep.errors else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
