#!/usr/bin/env python3
"""Picks, with a fixed seed, the lines a fresh fault set plants its faults
in: lines of each area's files that hold a comparison, arithmetic, a
logical operator or a number. Picking by chance keeps the set blind to
where the tests are strong; the fault on each line is then written by hand,
the slip a developer in a hurry would make there.

  scripts/faults/pick-lines.py SEED [PER_AREA]
"""
import os
import random
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
AREAS = {
    'builders': ['core/basiccommands.cpp', 'logo/logocommands.cpp', 'settings/configcommands.cpp',
                 'devices/ledcommands.cpp', 'logo/blackmark.cpp', 'devices/statuscheck.cpp'],
    'decoder': ['escpos/decoder.cpp', 'escpos/decoder_esc.cpp', 'escpos/decoder_gs.cpp',
                'escpos/decoder_common.cpp', 'escpos/decoderwalk.h', 'escpos/logtext.cpp'],
    'cli': ['cli/cli.cpp'],
    'transfer': ['core/dispatch.cpp', 'core/transfer.cpp', 'core/transferlog.cpp', 'core/errors.cpp'],
    'pictures': ['logo/bmpload.cpp', 'logo/picture.cpp'],
    'netlib': ['transport/tavonetio/tavonetio.cpp', 'transport/tavonetio/netsocket_posix.cpp',
               'transport/tavonetio/address.cpp', 'transport/netprobe.cpp'],
    'serial': ['transport/comport.cpp', 'transport/comportvalues.cpp', 'transport/comhost_posix.cpp',
               'transport/comhost_posix_io.cpp', 'transport/comhost_posix_line.cpp',
               'transport/comhost_posix_events.cpp', 'transport/comhost_posix_rate.cpp'],
    'portmap': ['transport/portmap.cpp', 'transport/devicenames.cpp'],
    'vp': ['virtualprinter/engine.cpp', 'virtualprinter/common.cpp', 'virtualprinter/paper.cpp',
           'virtualprinter/memory.cpp', 'virtualprinter/host.cpp'],
}
FAULTABLE = re.compile(r'(\s[<>]=?\s|==|!=|\s[-+*/%]=?\s|\+\+|--|&&|\|\||\s[&|^]=?\s|<<|>>|\b\d+\b|\btrue\b|\bfalse\b|!\w)')
SIGNATURE = re.compile(r'^[\w:<>,\s*&]+\(.*\)\s*(const)?\s*(override)?\s*$')


def candidates(path):
    out = []
    for n, line in enumerate(open(os.path.join(ROOT, path)), 1):
        code = line.split('//')[0].strip()
        if not code or code.startswith('#') or code in ('{', '}', '};') or SIGNATURE.match(code):
            continue
        if FAULTABLE.search(re.sub(r'"[^"]*"', '""', code)):
            out.append((path, n, line.rstrip('\n')))
    return out


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    rng = random.Random(int(sys.argv[1]))
    per = int(sys.argv[2]) if len(sys.argv) > 2 else 12
    for area, files in AREAS.items():
        lines = [c for f in files for c in candidates(f)]
        for path, n, text in rng.sample(lines, min(per, len(lines))):
            print(f"{area}\t{path}:{n}\t{text.strip()}")


if __name__ == '__main__':
    main()
