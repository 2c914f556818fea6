#!/usr/bin/env python3
"""The console view: the launch window without a display.

Runs the window probe with no DISPLAY, once into a pipe and once on a pseudo-terminal:
  - into a pipe, the title is one line per shown percentage step (2, 4, ... 100) without the
    animated dots, and the dialog ends itself at 100 (result 1);
  - on a terminal, the title line is redrawn in place (carriage return, erase to the end);
  - a failure message goes to standard error, caption first, and counts as dismissed.

Usage: check_console.py SUPPORT_NUMBER PROBE [ARGS...]
"""
import os
import pty
import select
import shutil
import subprocess
import sys
import tempfile


def main():
    support, probe = sys.argv[1], sys.argv[2:]
    docs = tempfile.mkdtemp(prefix='kestrop-console-')
    try:
        return run_all(support, probe, docs)
    finally:
        shutil.rmtree(docs, ignore_errors=True)


def run_all(support, probe, docs):
    env = {k: v for k, v in os.environ.items() if k not in ('DISPLAY', 'WAYLAND_DISPLAY')}
    env['XDG_DOCUMENTS_DIR'] = docs
    env['ASAN_OPTIONS'] = 'detect_leaks=0'
    failures = []

    def expect(cond, what):
        print(('ok   ' if cond else 'FAIL ') + what)
        if not cond:
            failures.append(what)

    run = subprocess.run(probe + ['100'], env=env, capture_output=True, text=True, timeout=60)
    titles = [l for l in run.stdout.splitlines() if l.startswith('Quorvia')]
    steps = [int(t.split()[-1].rstrip('%')) for t in titles]
    expect(steps == list(range(2, 101, 2)), 'one title line per step 2..100: %s' % steps[:5])
    expect(all(not t.endswith('.') for t in titles), 'no animated dots in the lines')
    expect('result 1' in run.stdout and run.returncode == 0, 'ended itself at 100 with IDOK, exit %d' % run.returncode)

    run = subprocess.run(probe + ['0', '无法连接到服务器！'], env=env, capture_output=True, text=True, timeout=60)
    expect(run.stderr.endswith('客服QQ：%s\n无法连接到服务器！\n' % support),
           'failure box on standard error, caption then text: %r' % run.stderr[-80:])
    expect('result 1' in run.stdout, 'box taken as dismissed, dialog ended')

    pid, fd = pty.fork()
    if pid == 0:
        os.execve(probe[0], probe + ['100'], env)
    out = b''
    while True:
        r, _, _ = select.select([fd], [], [], 60)
        if not r:
            break
        try:
            chunk = os.read(fd, 4096)
        except OSError:
            break
        if not chunk:
            break
        out += chunk
    os.waitpid(pid, 0)
    text = out.decode('utf-8', 'replace')
    expect('\rQuorvia4.2.0.0  100%   ' in text and '\x1b[K' in text, 'terminal: title redrawn in place')
    title_lines = [l for l in text.split('\n') if 'Quorvia' in l]
    expect(len(title_lines) == 1 and title_lines[0].count('\r') >= 50,
           'terminal: every step on the one title line (%d lines)' % len(title_lines))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
