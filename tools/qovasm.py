#!/usr/bin/env python3
"""Assembles a readable script source into a numbered ".QOV" script.

Scripts jump by absolute line number, so writing them by hand breaks on the
first inserted line. The source (UTF-8) uses names instead:

    # a comment line; blank lines are ignored; leading blanks are ignored
    :hub                      a label: the number of the next emitted line
    GOTO,{hub}                a reference: replaced by that number
    IF,F02<06,{midnight+1}    a reference with an offset
    $def TIME 02              a constant ...
    LET,%TIME%,1              ... used as %TIME%
    MES,a long text \\        a trailing backslash joins the next line
        that goes on here

The output is CP932 text with CR LF line ends, as the player reads it.
Usage: qovasm.py SOURCE.txt OUTPUT.QOV [--listing]
"""

import re
import sys

MAX_LINES = 2000

COMMANDS = ('CMST', 'CMSL', 'CASE', 'ENDCM', 'DO', 'DORT', 'DOEX', 'LOOP', 'GOTO', 'GOSUB',
            'RET', 'IF', 'ELSE', 'ENDIF', 'EVA', 'ENDEV', 'FP', 'ENDFP', 'FJ', 'ENDFJ', 'INC',
            'DEC', 'MES', 'LET', 'ADDCM', 'DELCM', 'CLR', 'FGCL', 'GHG', 'ITMS', 'SOUND',
            'MUSPL', 'CMDS', 'ACMLD', 'OP', 'LOAD', 'SAVE', 'EOF', 'EXIT')


class AsmError(Exception):
    pass


def logical_lines(text):
    """Source lines with continuations joined: (source line number, text)."""
    out = []
    pending = None
    start = 0
    for no, raw in enumerate(text.splitlines(), 1):
        line = raw.strip()
        if pending is not None:
            line = pending + line
        else:
            start = no
        if line.endswith('\\'):
            pending = line[:-1]
            continue
        pending = None
        out.append((start, line))
    if pending is not None:
        raise AsmError('line %d: continuation at the end of the file' % start)
    return out


def assemble(text, name='script'):
    """Returns (list of output lines, label table)."""
    defs = {}
    labels = {}
    body = []  # (source line, text with references)
    in_table = False  # FP/FJ tables hold lines that are not commands
    for src, line in logical_lines(text):
        if not line or line.startswith('#'):
            continue
        if line.startswith('$def '):
            parts = line.split()
            if len(parts) != 3:
                raise AsmError('%s:%d: $def NAME VALUE' % (name, src))
            defs[parts[1]] = parts[2]
            continue
        if line.startswith(':'):
            label = line[1:].strip()
            if not re.fullmatch(r'[A-Za-z_][A-Za-z0-9_]*', label):
                raise AsmError('%s:%d: bad label %r' % (name, src, label))
            if label in labels:
                raise AsmError('%s:%d: label %r defined twice' % (name, src, label))
            labels[label] = len(body) + 1
            continue
        line = re.sub(r'%([A-Za-z_][A-Za-z0-9_]*)%',
                      lambda m: subst_def(defs, m.group(1), name, src), line)
        word = line.split(',', 1)[0]
        if word in ('FP', 'FJ'):
            in_table = True
        elif word in ('ENDFP', 'ENDFJ'):
            in_table = False
        elif not in_table and word not in COMMANDS:
            raise AsmError('%s:%d: unknown command word %r' % (name, src, word))
        if word == 'MES' and line.count(',') != 1:
            raise AsmError('%s:%d: a message holds no ASCII comma' % (name, src))
        body.append((src, line))
    out = []
    for src, line in body:
        def ref(m):
            label, off = m.group(1), m.group(2)
            if label not in labels:
                raise AsmError('%s:%d: unknown label %r' % (name, src, label))
            return str(labels[label] + (int(off) if off else 0))
        out.append(re.sub(r'\{([A-Za-z_][A-Za-z0-9_]*)([+-]\d+)?\}', ref, line))
    if len(out) > MAX_LINES:
        raise AsmError('%s: %d lines, at most %d' % (name, len(out), MAX_LINES))
    for k, line in enumerate(out, 1):
        try:
            line.encode('cp932')
        except UnicodeEncodeError as e:
            raise AsmError('%s: line %d: %r is not in CP932' % (name, k, line[e.start:e.end]))
    return out, labels


def subst_def(defs, key, name, src):
    if key not in defs:
        raise AsmError('%s:%d: unknown constant %%%s%%' % (name, src, key))
    return defs[key]


def write_qov(path, lines):
    data = ''.join(line + '\r\n' for line in lines).encode('cp932')
    with open(path, 'wb') as f:
        f.write(data)


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    with open(argv[1], encoding='utf-8') as f:
        text = f.read()
    try:
        lines, labels = assemble(text, argv[1])
    except AsmError as e:
        print('qovasm: %s' % e, file=sys.stderr)
        return 1
    write_qov(argv[2], lines)
    if '--listing' in argv:
        for k, line in enumerate(lines, 1):
            print('%4d  %s' % (k, line))
        for label, no in sorted(labels.items(), key=lambda x: x[1]):
            print('%-20s %d' % (label, no))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
