#!/usr/bin/env python3
"""Checks a game directory: scripts, the files they name, and the assets.

    check_game.py [GAME_DIR] [--quiet]

Scripts: CP932 with CR LF, at most 2000 lines, known command words, fields
that read as numbers where numbers are read, jump targets inside the
script, conditions that parse, every CMSL followed by CASE lines and an
ENDCM, every entry a menu can end with having its CASE line, message
mark-up with valid arguments, and messages that stay readable (a message
ends with a wait or is followed by a menu). Coverage: every command word
and every mark-up character occurs somewhere in the game.
Files: every picture, music, effect and script named exists with that exact
case; pictures decode (ImageMagick identify), MIDI files parse, waves are
PCM. Exit status 0 when there is no error; warnings don't fail.
"""

import os
import re
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
JUMP_FIELD = {'GOTO': 2, 'GOSUB': 2, 'DORT': 2, 'DOEX': 2, 'LOOP': 2, 'ELSE': 2,
              'IF': 3, 'EVA': 3, 'FP': 3, 'FJ': 3, 'CMSL': 3}
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


def value_ok(s):
    """A field read as a value: a 16-bit decimal or a variable reference."""
    if s.startswith('F'):
        digits = s[1:3]
        return digits.strip().isdigit() and 0 <= int(digits) <= 30
    try:
        v = int(s.strip())
    except ValueError:
        return False
    return -32768 <= v <= 32767


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
    except UnicodeDecodeError as e:
        rep.error(name + '.QOV', 'not CP932 at byte %d' % e.start)
        return None
    if data and not data.endswith(b'\r\n'):
        rep.error(name + '.QOV', 'last line does not end with CR LF')
    body = text[:-2] if text.endswith('\r\n') else text
    lines = body.split('\r\n') if body else []
    for k, line in enumerate(lines, 1):
        if '\r' in line or '\n' in line:
            rep.error('%s.QOV:%d' % (name, k), 'a lone CR or LF (lines end with CR LF)')
    if len(lines) > 2000:
        rep.error(name + '.QOV', '%d lines, at most 2000' % len(lines))
    return Script(name, [''] + lines)


# -- conditions ------------------------------------------------------------------

def check_condition(expr, where, rep):
    pos = 0
    count = 0
    op = ''
    compared = 0
    while pos < len(expr):
        c = expr[pos]
        if c in 'FI':
            digits = expr[pos + 1:pos + 3]
            if len(digits) != 2 or not digits.isdigit():
                rep.error(where, 'condition %r: %s needs two digits' % (expr, c))
                return
            limit = 30 if c == 'F' else 16
            if int(digits) > limit:
                rep.error(where, 'condition %r: %s%s out of range' % (expr, c, digits))
            count += 1
            pos += 3
        elif c in '=><^}{':
            op = c
            pos += 1
        elif '0' <= c <= '9':
            digits = expr[pos:pos + 2]
            if len(digits) != 2 or not digits.isdigit():
                rep.error(where, 'condition %r: constants have two digits' % expr)
                return
            count += 1
            pos += 2
        elif c in '&#':
            pos += 1
        else:
            rep.error(where, 'condition %r: %r begins no token' % (expr, c))
            return
        if count == 2:
            if not op:
                rep.error(where, 'condition %r: two operands without an operator' % expr)
                return
            compared += 1
            count = 0
            op = ''
    if compared == 0:
        rep.error(where, 'condition %r compares nothing (always false)' % expr)
    elif count or op:
        rep.warn(where, 'condition %r ends with an incomplete comparison' % expr)


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
    """Follows the writer's layout rules; reports bad mark-up arguments."""
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

    def two_digits(p):
        s = text[p + 1:p + 3]
        s = ''.join(chr(ord(ch) - 0xFEE0) if ch in FULL_DIGITS else ch for ch in s)
        if len(s) != 2 or not re.fullmatch(r'-?\d+', s):
            return None
        return int(s)

    while pos < n:
        c = text[pos]
        if c in MARKUP:
            st.used.add(c)
        if c == '＆':
            h = text[pos + 1:pos + 2]
            if not h or h not in HEX or len(text) < pos + 5:
                rep.error(where, '＆ needs a hex digit and three characters')
            else:
                st.speakers_defined.add(int(h, 16))
            pos += 4
        elif c == '＠':
            v = two_digits(pos)
            if v is None or not 0 <= v <= 15:
                rep.error(where, '＠ needs a colour 00 to 15')
            pos += 2
        elif c == '＃':
            v = two_digits(pos)
            if v is None or v < 0:
                rep.error(where, '＃ needs two digits')
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
            if not h or h not in HEX:
                rep.error(where, '： needs a speaker digit (a plain colon is mark-up)')
            else:
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
            v = two_digits(pos)
            if v is None or not 0 <= v <= 30:
                rep.error(where, '＄ needs a variable 00 to 30')
            col += 1
            page_has_text = True
            if col == LINE_WIDTH:
                col = 0
                line += 1
            pos += 2
        elif c == '＊':
            v = two_digits(pos)
            if v is None or not 0 <= v <= 16:
                rep.error(where, '＊ needs an item 00 to 16')
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


def check_lines(sc, rep, files, seen, game_dir):
    n = len(sc.lines) - 1
    for no in range(1, n + 1):
        if no in sc.table_lines:
            continue
        f = sc.fields(no)
        w = f[0]
        where = sc.where(no)
        if w not in COMMANDS:
            rep.error(where, 'unknown command word %r' % w)
            continue
        seen['words'].add(w)

        def need(k):
            if len(f) <= k - 1:
                rep.error(where, '%s reads field %d, which is missing' % (w, k))
                return None
            return f[k - 1]

        def val(k):
            s = need(k)
            if s is not None and not value_ok(s):
                rep.error(where, 'field %d %r is not a number or a variable' % (k, s))
            return s

        if w in JUMP_FIELD:
            k = JUMP_FIELD[w]
            s = val(k) if w not in ('IF', 'EVA') else (f[k - 1] if len(f) >= k else None)
            if w in ('IF', 'EVA') and s is None:
                rep.error(where, '%s has no line for a false condition' % w)
            if s is not None:
                t = const_value(s)
                if t is None:
                    if value_ok(s):
                        rep.warn(where, 'jump target %s comes from a variable' % s)
                    else:
                        rep.error(where, 'jump target %r is not a number' % s)
                elif not 1 <= t <= n:
                    rep.error(where, 'jump target %d outside the script (1-%d)' % (t, n))
                elif w in ('FP', 'FJ') and t <= no:
                    rep.error(where, '%s end line must follow the %s line' % (w, w))
        if w in ('IF', 'EVA'):
            cond = need(2)
            if cond is not None:
                check_condition(cond, where, rep)
        elif w in ('FP', 'FJ'):
            v = val(2)
            if v is not None and value_ok(v) and not v.startswith('F'):
                if not 0 <= int(v) <= 30:
                    rep.error(where, 'variable %s outside 0-30' % v)
            end = const_value(f[2]) if len(f) > 2 else None
            if end is not None and end > no:
                for k in range(no + 1, end):
                    entry = sc.lines[k]
                    if w == 'FJ':
                        t = const_value(entry.split(',')[0])
                        if t is None or not 1 <= t <= n:
                            rep.error(sc.where(k), 'FJ table entry %r is not a line' % entry)
                    else:
                        text = entry.split(',')[0]
                        st = scan_message(text, sc.where(k), rep)
                        seen['markup'] |= st.used
                        seen['speakers_used'] |= {(s, sc.where(k)) for s in st.speakers_used}
                        seen['speakers_defined'] |= st.speakers_defined
                        if not st.ends_with_wait:
                            check_followed_by_menu(sc, end, sc.where(k), rep)
        elif w == 'MES':
            text = need(2)
            if len(f) > 2:
                rep.error(where, 'a comma inside the message cuts it off')
            if text is not None:
                st = scan_message(text, where, rep)
                seen['markup'] |= st.used
                seen['speakers_used'] |= {(s, where) for s in st.speakers_used}
                seen['speakers_defined'] |= st.speakers_defined
                if not st.ends_with_wait:
                    check_followed_by_menu(sc, no + 1, where, rep)
        elif w in ('LET',):
            val(3)
            val(2)
        elif w == 'INC':
            val(2)
            val(3)
            if len(f) > 3:
                seen['inc_modes'].add(f[3])
            else:
                rep.warn(where, 'INC without a mode: an error once the limit is reached')
        elif w in ('DEC', 'CMDS'):
            val(2)
        elif w in ('CLR', 'FGCL'):
            val(3)
            val(2)
        elif w == 'ITMS':
            c = val(3)
            j = need(2)
            if j is not None and not (j.isdigit() and 0 <= int(j) <= 16):
                rep.error(where, 'item number %r must be 0 to 16, written plainly' % j)
            name = need(4)
            _ = c, name
        elif w == 'SOUND':
            name = need(2)
            flags = val(3)
            if name is not None:
                files.append((where, name + '.wav', 'effect'))
            if flags is not None:
                seen['sound_flags'].add(flags)
        elif w == 'MUSPL':
            name = need(2)
            mode = val(3)
            if mode is not None:
                seen['music_modes'].add(mode)
                if mode.strip() == '1':
                    files.append((where, name + '.MID', 'music'))
                    check_music_stopped(sc, no, where, rep)
        elif w == 'GHG':
            name = need(2)
            if name is not None:
                files.append((where, name + '.SZG', 'picture'))
        elif w == 'ACMLD':
            name = need(2)
            if name is not None:
                files.append((where, name + '.QOV', 'script'))
        elif w == 'OP':
            seen['op'] = True
            for k in range(1, 9):
                files.append((where, 'OP%d.SZG' % k, 'opening picture'))
            files.append((where, 'Tv2b.wav', 'opening song'))
        elif w == 'CMST':
            val(2)
            text = need(3)
            if text is not None:
                check_menu_text(text, where, rep, seen)
        elif w == 'ADDCM':
            val(2)
            val(3)
            text = need(4)
            if text is not None:
                check_menu_text(text, where, rep, seen, single=True)
        elif w == 'DELCM':
            val(2)
            val(3)
        elif w == 'CASE':
            val(2)


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
    parts = [text] if single else text.split('・')
    for part in parts:
        if not part:
            continue
        if part[0] not in MENU_MARKERS:
            rep.error(where, 'menu text %r does not begin with a marker' % part)
            continue
        entries = []
        for ch in part:
            if ch in MENU_MARKERS:
                entries.append(ch)
                seen['menu_markers'].add('０' if ch in FULL_DIGITS else ch)
            else:
                entries[-1] += ch
        if len(entries) > 5:
            rep.error(where, 'more than five entries in %r' % part)
        for e in entries:
            if len(e) - 1 > MENU_CAPTION_MAX:
                rep.warn(where, 'caption %r may not fit its label' % e[1:])
    if not single and len(parts) > 10:
        rep.error(where, 'too many menus')


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
                if c is None:
                    rep.error(sc.where(k), 'CASE needs a code')
                else:
                    codes.setdefault(c, k)
            k += 1
        if k > n:
            rep.error(sc.where(no), 'CMSL without an ENDCM after it')
            continue
        if start is None:
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
    present = set(os.listdir(game_dir))
    for where, name, kind in files:
        if name not in present:
            other = [p for p in present if p.lower() == name.lower()]
            if other:
                rep.error(where, '%s %s exists only as %s (case differs)' % (kind, name, other[0]))
            else:
                rep.error(where, '%s %s is missing' % (kind, name))


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
        check_lines(sc, rep, files, seen, game_dir)
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
