#!/usr/bin/env python3
"""Start-up time of the real Linux launcher, from process start to the first line that the Java
application's entry method prints, less the window's designed animation (50 ticks of 50 ms:
2.5 s). The archive is current (no package download), libs.txt is empty and the update server
is on loopback: what remains is the launcher's own work and the JVM's start.

Usage: launch_bench.py --launcher build/linux/bin/kestrop --jar APP.jar --marker TEXT
                       [--jdk DIR] [--runs 5] [--display]
"""
import argparse
import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, '..', 'tests', 'e2e'))
sys.path.insert(0, os.path.join(here, '..', 'tests', 'ui'))
from check_window import XServer  # noqa: E402
from run_launcher import KEY, Server  # noqa: E402

ANIMATION = 2.5


def one_run(args, display):
    root = tempfile.mkdtemp(prefix='kestrop-bench-')
    try:
        install, site, docs = (os.path.join(root, n) for n in ('install', 'site', 'docs'))
        working = os.path.join(docs, 'quorvia')
        for d in (install, os.path.join(site, 'app'), working):
            os.makedirs(d)
        shutil.copy2(args.launcher, install)
        os.symlink(args.jdk, os.path.join(install, 'java'))
        with open(args.jar, 'rb') as f:
            package = bytes(b ^ KEY for b in f.read())
        with open(os.path.join(working, 'quorvia.jar'), 'wb') as f:
            f.write(package)  # already current
        with open(os.path.join(site, 'app', 'update.txt'), 'w') as f:
            f.write(hashlib.md5(package).hexdigest())
        open(os.path.join(site, 'app', 'libs.txt'), 'w').close()
        server = Server(site)
        with open(os.path.join(install, 'run.d'), 'w') as f:
            f.write('http://127.0.0.1:%d/app/quorvia.jar\n' % server.port)
        env = dict(os.environ, XDG_DOCUMENTS_DIR=docs, XDG_DATA_HOME=os.path.join(root, 'data'))
        env.pop('DISPLAY', None)
        if display:
            env['DISPLAY'] = display
        start = time.monotonic()
        proc = subprocess.Popen([os.path.join(install, os.path.basename(args.launcher))],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env, text=True)
        first = None
        for line in proc.stdout:
            if first is None and args.marker in line:
                first = time.monotonic() - start
        proc.wait()
        server.close()
        if first is None:
            raise RuntimeError('the Java application printed no %r (exit %d)' % (args.marker, proc.returncode))
        return first
    finally:
        shutil.rmtree(root, ignore_errors=True)


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--launcher', required=True)
    p.add_argument('--jar', required=True)
    p.add_argument('--marker', required=True)
    p.add_argument('--jdk', default='/usr/lib/jvm/java-17-openjdk-amd64')
    p.add_argument('--runs', type=int, default=5)
    p.add_argument('--display', action='store_true', help='GTK window on a private Xvfb')
    args = p.parse_args()
    xs = XServer() if args.display else None
    try:
        one_run(args, xs.display if xs else None)  # warms the page cache and the JDK's files
        times = [one_run(args, xs.display if xs else None) for _ in range(args.runs)]
    finally:
        if xs:
            xs.close()
    over = [t - ANIMATION for t in times]
    view = 'GTK window' if args.display else 'console view'
    print('%s, %d runs: start to first Java line %s s' % (view, len(times), ' '.join('%.3f' % t for t in times)))
    print('less the %.1f s animation: min %.0f ms, median %.0f ms, max %.0f ms (goal <= 100 ms)'
          % (ANIMATION, min(over) * 1000, statistics.median(over) * 1000, max(over) * 1000))
    return 0


if __name__ == '__main__':
    sys.exit(main())
