#!/usr/bin/env python3
"""Writes a fault set by rule rather than by hand: for lines drawn as
pick-lines.py draws them, the first mutation of a fixed list that applies
(a comparison turned, a logical operator swapped, a number off by one, a
truth value flipped, an operator turned). Such a set finds blind spots in
bulk; it does not stand for the slips a developer makes, so a fresh set
for measuring is still written by hand.

  scripts/faults/mutants.py SEED AREA [COUNT] > /tmp/set_m.py
"""
import os
import random
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
pick = __import__('pick-lines')

BINARY = {'builders': 'test_commands', 'decoder': 'test_commands', 'pictures': 'test_commands',
          'cli': 'test_windows', 'transfer': 'test_windows', 'netlib': 'test_transports',
          'serial': 'test_transports', 'portmap': 'test_transports', 'vp': 'test_virtualprinter'}
RULES = [(r' <= ', ' < '), (r' >= ', ' > '), (r' < ', ' <= '), (r' > ', ' >= '), (r' == ', ' != '),
         (r' != ', ' == '), (r' && ', ' || '), (r' \|\| ', ' && '), (r'\btrue\b', 'false'),
         (r'\bfalse\b', 'true'), (r' \+ 1\b', ''), (r' - 1\b', ''), (r'\b([1-9]\d*)\b', None),
         (r' \+ ', ' - '), (r' - ', ' + '), (r' \* ', ' / '), (r'\b0\b', '1')]


def mutate(line):
    code = line.split('//')[0]
    masked = re.sub(r'"[^"]*"', lambda m: ' ' * len(m.group()), code)
    for pattern, repl in RULES:
        m = re.search(pattern, masked)
        if not m:
            continue
        new = str(int(m.group(1)) + 1) if repl is None else repl
        return line[:m.start()] + new + line[m.end():]
    return None


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    rng, area = random.Random(int(sys.argv[1])), sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 30
    lines = [c for f in pick.AREAS[area] for c in pick.candidates(f)]
    rows = []
    for path, n, text in rng.sample(lines, len(lines)):
        new = mutate(text)
        whole = open(os.path.join(pick.ROOT, path)).read()
        if new is None or whole.count(text + '\n') != 1:
            continue
        rows.append((f"M{len(rows) + 1}", area, path, text + '\n', new + '\n', BINARY[area]))
        if len(rows) == count:
            break
    print('F = [')
    for r in rows:
        print(f"{r!r},")
    print(']')


if __name__ == '__main__':
    main()
