#!/usr/bin/env python3
"""Plays the game's scripts without a window, to try every route quickly.

    simulate.py [GAME_DIR] CHOICE...

Each CHOICE is a menu caption to click ("はじめから", "移動…", "屋台通り");
after an item entry ("持ち物") the next CHOICE names the item to use. The
run prints the messages, pictures, music and sounds, and stops at EXIT or
EOF, when the choices run out, or at a script error (shown as the player
would: the error, the line number and the line).

This follows the script engine's rules closely (fields, values, the advance
rule, IF/EVA, FP/FJ, CMSL and its CASE search, INC/DEC/CLR, ITMS, the
message mark-up); it is a tool for the game's author, not the player.
"""

import os
import sys
import tempfile

MARKERS = '＊＠￥０１２３４５６７８９'
FULL = '０１２３４５６７８９'


class ScriptError(Exception):
    pass


class Stop(Exception):
    pass


class Sim:
    def __init__(self, game, choices, save_path=None, out=print):
        self.game = game
        self.choices = list(choices)
        self.out = out
        self.lines = [''] * 2001
        self.line_no = 0
        self.case_end = 0
        self.ret = 0
        self.vars = [0] * 31
        self.item_name = [''] * 17
        self.item_count = [0] * 17
        self.menu = [[''] * 5 for _ in range(10)]
        self.speaker = [''] * 16
        self.save_path = save_path or os.path.join(game, 'TOVELI2.DAT')
        self.log = []
        self.steps = 0

    # -- store and fields --------------------------------------------------
    def load(self, name):
        path = os.path.join(self.game, name + '.QOV')
        try:
            with open(path, 'rb') as f:
                text = f.read().decode('cp932')
        except OSError:
            raise ScriptError('ファイルが読込めません\r\n' + name)
        rows = text.split('\r\n')
        if rows and rows[-1] == '':
            rows.pop()
        if len(rows) > 2000:
            raise ScriptError('ファイルが読込めません\r\n' + name)
        for k, row in enumerate(rows, 1):
            self.lines[k] = row
        self.line_no = 1
        self.case_end = 0
        self.emit('[script %s]' % name)

    def cuta(self, n):
        s = self.lines[self.line_no] + ','
        w = ''
        for _ in range(n):
            if ',' not in s:
                raise ScriptError('引数無し')
            w, s = s.split(',', 1)
        return w

    def cutv(self, n):
        w = self.cuta(n)
        if w.startswith('F'):
            return self.var(int(w[1:3]))
        v = int(w.strip())
        if not -32768 <= v <= 32767:
            raise ScriptError('16-bit overflow')
        return v

    def var(self, k):
        if not 0 <= k <= 30:
            raise ScriptError('variable %d' % k)
        return self.vars[k]

    def emit(self, text):
        self.log.append(text)
        self.out(text)

    # -- conditions ---------------------------------------------------------
    def tchk(self, expr):
        result = False
        comb = None
        op = ''
        slots = []
        pos = 0
        while pos < len(expr):
            c = expr[pos]
            if c == 'F':
                slots.append(self.var(int(expr[pos + 1:pos + 3])))
                pos += 3
            elif c == 'I':
                slots.append(self.item_count[int(expr[pos + 1:pos + 3])])
                pos += 3
            elif c in '=><^}{':
                op = c
                pos += 1
            elif '0' <= c <= '9':
                slots.append(int(expr[pos:pos + 2]))
                pos += 2
            elif c == '&':
                comb = 'and'
                pos += 1
            elif c == '#':
                comb = 'or'
                pos += 1
            else:
                raise ScriptError('比較式')
            if len(slots) == 2:
                if not op:
                    raise ScriptError('比較式')
                a, b = slots
                v = {'=': a == b, '>': a > b, '<': a < b, '^': a != b, '}': a >= b,
                     '{': a <= b}[op]
                result = v if comb is None else (result and v) if comb == 'and' else (result or v)
                op = ''
                slots = []
        return result

    # -- message writer (text only) -----------------------------------------
    def mes(self, text):
        out = []
        pos = 0
        while pos < len(text):
            c = text[pos]
            if c == '＆':
                self.speaker[int(text[pos + 1], 16)] = text[pos + 2:pos + 5]
                pos += 5
                continue
            if c in '＠＃':
                pos += 3
                continue
            if c == '￥':
                out.append(' [click]\n')
            elif c == '＾':
                out.append('\n')
            elif c in '＜＞':
                pass
            elif c == '：':
                out.append('\n「%s」' % self.speaker[int(text[pos + 1], 16)])
                pos += 2
                continue
            elif c == '＄':
                v = self.var(int(text[pos + 1:pos + 3]))
                out.append(('%d' % v if v < 0 else ' %d' % v)[-2:])
                pos += 3
                continue
            elif c == '＊':
                n = int(text[pos + 1:pos + 3])
                out.append(' [item %d %s, click]' % (n, self.item_name[n] if n < 17 else '?'))
                pos += 3
                continue
            else:
                out.append(c)
            pos += 1
        self.emit('  ' + ''.join(out).strip().replace('\n', '\n  '))

    # -- menu ---------------------------------------------------------------
    def cmst(self, m, text):
        self.menu[m] = [''] * 5
        e = -1
        for x in text:
            if x == '・':
                m += 1
                self.menu[m] = [''] * 5
                e = -1
            elif x in MARKERS:
                e += 1
                self.menu[m][e] = x
            else:
                self.menu[m][e] += x

    def cmsl(self, start):
        m = start
        while True:
            shown = [(i, e) for i, e in enumerate(self.menu[m]) if e]
            captions = [e[1:] for _, e in shown]
            if not self.choices:
                self.emit('  menu %d: %s  (no more choices)' % (m, ' / '.join(captions)))
                raise Stop()
            want = self.choices.pop(0)
            self.emit('  menu %d: %s  -> %s' % (m, ' / '.join(captions), want))
            if want == '見出し':
                m = start
                continue
            hits = [(i, e) for i, e in shown if e[1:] == want]
            if not hits:
                raise ScriptError('test: no entry %r in menu %d' % (want, m))
            i, e = hits[0]
            mk = e[0]
            if mk == '＊':
                return m * 100 + i
            if mk == '＠':
                m = start
            elif mk in FULL:
                m = FULL.index(mk)
            elif mk == '￥':
                item = self.choices.pop(0)
                if item == 'やめる':
                    continue
                k = self.item_name.index(item)
                if k != 0 and self.item_count[k] <= 0:
                    raise ScriptError('test: item %s is not held' % item)
                self.emit('  [use %s]' % item)
                self.vars[0] = k
                return m * 100 + i

    # -- the interpreter ----------------------------------------------------
    def run(self, first='wnatu', limit=200000):
        try:
            self.load(first)
            while True:
                self.steps += 1
                if self.steps > limit:
                    raise ScriptError('test: too many steps (endless loop?)')
                if not 0 <= self.line_no <= 2000:
                    raise ScriptError('line %d outside the store' % self.line_no)
                start = self.line_no
                if self.step():
                    continue
                if self.line_no == start:
                    self.line_no += 1
        except Stop:
            return 'stopped'
        except ScriptError as e:
            self.emit('SCRIPT ERROR: %s( %d)\n%s' % (e, self.line_no, self.lines[self.line_no]))
            return 'error'

    def step(self):
        """Runs one line; True when the advance rule must be skipped (ACMLD)."""
        w = self.cuta(1)
        v = self.cutv
        a = self.cuta
        if w == 'CMST':
            self.cmst(v(2), a(3))
        elif w == 'CMSL':
            self.case_end = v(3)
            code = self.cmsl(v(2))
            while True:
                self.line_no += 1
                word = self.cuta(1)
                if word == 'CASE' and self.cutv(2) == code:
                    self.line_no += 1
                    break
                if word == 'ENDCM':
                    raise ScriptError('CASE%s無し' % (' %d' % code if code >= 0 else code))
        elif w == 'CASE':
            self.line_no = self.case_end
        elif w in ('ENDCM', 'DO', 'ENDIF', 'ENDEV', 'ENDFP', 'ENDFJ'):
            pass
        elif w in ('DORT', 'DOEX', 'LOOP', 'GOTO', 'ELSE'):
            self.line_no = v(2)
        elif w == 'GOSUB':
            self.ret = self.line_no + 1
            self.line_no = v(2)
        elif w == 'RET':
            self.line_no = self.ret
        elif w in ('IF', 'EVA'):
            if not self.tchk(a(2)):
                self.line_no = v(3)
        elif w == 'FP':
            e = v(3)
            n = self.var(v(2))
            if n < 1 or self.line_no + n > e:
                raise ScriptError('FP')
            self.line_no += n
            self.mes(self.cuta(1))
            self.line_no = e
        elif w == 'FJ':
            n = self.var(v(2))
            e = v(3)
            if n < 1 or self.line_no + n > e:
                raise ScriptError('FJ')
            self.line_no += n
            self.line_no = self.cutv(1)
        elif w == 'INC':
            i = v(2)
            m = v(3)
            if self.var(i) != m:
                self.vars[i] += 1
            elif a(4) == 'L':
                self.vars[i] = 1
        elif w == 'DEC':
            i = v(2)
            if self.var(i) > 0:
                self.vars[i] -= 1
        elif w == 'MES':
            self.mes(a(2))
        elif w == 'LET':
            val = v(3)
            k = v(2)
            self.var(k)
            self.vars[k] = val
        elif w == 'ADDCM':
            text = a(4)
            self.menu[v(2)][v(3)] = text
        elif w == 'DELCM':
            self.menu[v(2)][v(3)] = ''
        elif w in ('CLR', 'FGCL'):
            last = v(3)
            for k in range(v(2), last + 1):
                self.var(k)
                self.vars[k] = 0
        elif w == 'GHG':
            name = a(2)
            if not os.path.exists(os.path.join(self.game, name + '.SZG')):
                raise ScriptError('test: picture %s missing' % name)
            self.emit('[picture %s]' % name)
        elif w == 'ITMS':
            count = v(3)
            j = int(a(2))
            self.item_count[j] = count
            name = a(4)
            if name != '-':
                self.item_name[j] = name
        elif w == 'SOUND':
            self.emit('[sound %s %d]' % (a(2), v(3)))
        elif w == 'MUSPL':
            name = a(2)
            self.emit('[music %s %d]' % (name, v(3)))
        elif w == 'CMDS':
            v(2)
        elif w == 'ACMLD':
            self.load(a(2))
            return True
        elif w == 'OP':
            self.emit('[opening]')
        elif w == 'LOAD':
            self.load_file()
        elif w == 'SAVE':
            self.save_file()
        elif w in ('EOF', 'EXIT'):
            self.emit('[end of program]')
            raise Stop()
        else:
            raise ScriptError('命令無し')
        return False

    def save_file(self):
        rows = ['%s ' % (' %d' % x if x >= 0 else '%d' % x) for x in self.vars + self.item_count]
        rows += self.item_name
        with open(self.save_path, 'wb') as f:
            f.write(''.join(r + '\r\n' for r in rows).encode('cp932'))
        self.emit('[saved]')

    def load_file(self):
        """A missing save file leaves everything as it was."""
        try:
            with open(self.save_path, 'rb') as f:
                rows = f.read().decode('cp932').split('\r\n')
        except OSError:
            self.emit('[no save file]')
            return
        self.vars = [int(r) for r in rows[:31]]
        self.item_count = [int(r) for r in rows[31:48]]
        self.item_name = rows[48:65]
        self.emit('[loaded]')


def main(argv):
    args = argv[1:]
    game = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'game')
    if args and os.path.isdir(args[0]):
        game = args.pop(0)
    sim = Sim(game, args, save_path=os.path.join(tempfile.gettempdir(), 'natsu-sim-TOVELI2.DAT'))
    return 0 if sim.run() != 'error' else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv))
