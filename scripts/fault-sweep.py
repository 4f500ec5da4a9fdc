#!/usr/bin/env python3
"""Plants one plausible single-line fault at a time and tells whether the
tests catch it: first the test binary of the fault's area, then, where that
passes, the whole suite. The source is restored after every fault.

  scripts/fault-sweep.py [--binary-only] BUILD_DIR scripts/faults/set_c.py [ID ...]

With --binary-only a fault that its area's binary misses is told as
"lived-in-binary" without running the whole suite: quick, for finding blind
spots with a rule-made set, never for measuring.

Run it on a checkout of its own (git worktree add): it edits the sources it
plants faults in. A fault whose line is no longer in the code is told as
"gone"; write a new set rather than mend an old one, so that each sweep is
fresh to the tests it measures.
"""
import os
import runpy
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def run_tests(build, binary, env):
    # Loopback only, in a network namespace of its own.
    cmd = f"ip link set lo up; timeout 180 ./tests/{binary} 2>&1"
    r = subprocess.run(['unshare', '--net', 'bash', '-c', cmd], cwd=build, capture_output=True, text=True, env=env)
    failed = [l.split('] ')[1].split(' ')[0] for l in r.stdout.splitlines() if l.startswith('[  FAILED  ]') and '(' in l]
    return r.returncode != 0, failed


def run_suite(build, env):
    subprocess.run(['ninja'], cwd=build, capture_output=True)
    cmd = 'ip link set lo up; ctest -j2 --timeout 300 --output-on-failure 2>&1'
    r = subprocess.run(['unshare', '--net', 'bash', '-c', cmd],
                       cwd=build, capture_output=True, text=True, env=env)
    failed = [l.split(' - ')[1].split(' ')[0] for l in r.stdout.splitlines()
              if ' - ' in l and ('(Failed' in l or '(Timeout' in l)]
    return r.returncode != 0, failed, r.stdout


def main():
    args = sys.argv[1:]
    quick = bool(args) and args[0] == '--binary-only'
    args = args[1:] if quick else args
    if len(args) < 2:
        sys.exit(__doc__)
    build, faults, only = os.path.abspath(args[0]), runpy.run_path(args[1])['F'], args[2:]
    env = dict(os.environ, QT_QPA_PLATFORM='offscreen')
    caught = total = 0
    for fid, area, path, old, new, binary in faults:
        if only and fid not in only:
            continue
        source = os.path.join(ROOT, path)
        text = open(source).read()
        if text.count(old) != 1:
            print(f"{fid} {area} gone", flush=True)
            continue
        open(source, 'w').write(text.replace(old, new))
        try:
            b = subprocess.run(['ninja', f'tests/{binary}', 'tavo-cli', 'tavo-virtual-printer', 'tavo-decode'],
                               cwd=build, capture_output=True, text=True)
            if b.returncode != 0:
                print(f"{fid} {area} does-not-build", flush=True)
                continue
            hit, failed = run_tests(build, binary, env)
            verdict = 'caught' if hit else 'lived'
            if not hit and quick:
                verdict = 'lived-in-binary'
            elif not hit:
                hit, failed, output = run_suite(build, env)
                verdict = 'caught-by-suite' if hit else 'lived'
                if hit:
                    # Kept, so that a failure far from the fault can be told
                    # from a catch: a test that fails for reasons of its own
                    # catches nothing.
                    with open(os.path.join(build, f'sweep-{fid}.log'), 'w') as log:
                        log.write(output)
            total += 1
            caught += hit
            print(f"{fid} {area} {verdict} {' '.join(failed[:4])}", flush=True)
        finally:
            open(source, 'w').write(text)
    subprocess.run(['ninja'], cwd=build, capture_output=True)
    print(f"{caught} of {total} caught")


if __name__ == '__main__':
    main()
