#!/usr/bin/env python3
"""End-to-end run of the real launcher in a temporary install folder.

The install folder holds only the launcher file, run.d and java (a link to an installed JDK on
Linux; on Windows a folder with the test-double jvm.dll). A local HTTP server plays the update
server: it publishes the test Java application as the update package (scrambled, as it is
stored), its digest in update.txt and an empty libs.txt.

Cases:
  success      the archive is downloaded and staged, the Java application runs and prints
               its marker line, the process ends with code 0 after it;
  unreachable  run.d points at a closed port: the failure box shows "无法连接到服务器！" with the
               customer-service caption; the test dismisses it and the process ends.

Usage: run_launcher.py --case CASE --launcher PATH --jar APP.jar --marker TEXT
                       [--jdk DIR | --jvm-dll FILE] [--support DIGITS] [--display] [--wine ARCH]
                       [--wine-run PATH]
"""
import argparse
import hashlib
import http.server
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'ui'))
from check_window import XServer, sanitizer_env  # noqa: E402

KEY = 0xC5  # the archive is stored with every byte XORed with it


class Server:
    """Serves one folder over HTTP on loopback and remembers the paths asked for."""

    def __init__(self, folder):
        requests = self.requests = []

        class Handler(http.server.SimpleHTTPRequestHandler):
            def __init__(self, *a, **kw):
                super().__init__(*a, directory=folder, **kw)

            def do_GET(self):
                requests.append(self.path)
                super().do_GET()

            def log_message(self, *a):
                pass

        self.httpd = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()


def stand_in_archive():
    """A small archive with fixed contents and times: the runtime double never opens it."""
    import io
    import zipfile
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, 'w') as z:
        z.writestr(zipfile.ZipInfo('zobj/README.txt', (2026, 1, 1, 0, 0, 0)), 'stand-in\n')
    return buf.getvalue()


def read_log(path):
    """t.log unscrambled (every byte XORed with 0x6D), as text; empty when missing."""
    try:
        with open(path, 'rb') as f:
            return bytes(b ^ 0x6D for b in f.read()).decode('utf-8', 'replace')
    except OSError:
        return ''


def closed_port():
    s = socket.socket()
    s.bind(('127.0.0.1', 0))
    port = s.getsockname()[1]
    s.close()
    return port


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--case', choices=['success', 'unreachable'], required=True)
    p.add_argument('--launcher', required=True)
    p.add_argument('--jar', help='the application archive; a small stand-in when not given')
    p.add_argument('--marker', help='a line the Java application prints on standard output')
    p.add_argument('--log-marker', help='a line of t.log that only a run of the entry method writes')
    p.add_argument('--jdk')
    p.add_argument('--jvm-dll')
    p.add_argument('--support', default='80001234')
    p.add_argument('--display', action='store_true')
    p.add_argument('--wine')
    p.add_argument('--wine-run')
    p.add_argument('--timeout', type=float, default=180)
    args = p.parse_args()

    root = tempfile.mkdtemp(prefix='kestrop-e2e-')
    install, site, docs = (os.path.join(root, n) for n in ('install', 'site', 'docs'))
    for d in (install, os.path.join(site, 'app'), docs):
        os.makedirs(d)
    failures, notes = [], []

    def expect(cond, what):
        (notes if cond else failures).append(what)

    server = xs = proc = None
    try:
        launcher = os.path.join(install, os.path.basename(args.launcher))
        shutil.copy2(args.launcher, launcher)
        if args.jdk:
            os.symlink(args.jdk, os.path.join(install, 'java'))
        if args.jvm_dll:
            client = os.path.join(install, 'java', 'bin', 'client')
            os.makedirs(client)
            shutil.copy2(args.jvm_dll, os.path.join(client, 'jvm.dll'))

        if args.jar:
            with open(args.jar, 'rb') as f:
                plain = f.read()
        else:
            plain = stand_in_archive()
        package = bytes(b ^ KEY for b in plain)
        digest = hashlib.md5(package).hexdigest()
        with open(os.path.join(site, 'app', digest + '.pak'), 'wb') as f:
            f.write(package)
        with open(os.path.join(site, 'app', 'update.txt'), 'w') as f:
            f.write(digest.upper() + '\r\n')
        open(os.path.join(site, 'app', 'libs.txt'), 'w').close()
        server = Server(site)
        port = server.port if args.case == 'success' else closed_port()
        with open(os.path.join(install, 'run.d'), 'w') as f:
            f.write('http://127.0.0.1:%d/app/quorvia.jar\n' % port)

        env = dict(os.environ, XDG_DOCUMENTS_DIR=docs, XDG_DATA_HOME=os.path.join(root, 'data'),
                   LANG=os.environ.get('LANG', 'C.UTF-8'))
        sanitizer_env(env)
        if args.display or args.wine:  # a Windows program always has its window
            xs = XServer()
            env['DISPLAY'] = xs.display
        else:
            env.pop('DISPLAY', None)
            env.pop('WAYLAND_DISPLAY', None)
        working = os.path.join(docs, 'quorvia')
        if args.wine:
            # Wine's Documents folder is the runner's private HOME.
            wine_root = os.environ.get('KESTROP_WINE_ROOT', '/var/tmp/kestrop-wine')
            working = os.path.join(wine_root, 'home-' + args.wine, 'quorvia')
            shutil.rmtree(working, ignore_errors=True)
        # Arguments change nothing: the command line is not looked at.
        if args.wine:
            # Wine's message-box trace shows the text of every box (as UTF-16 escapes).
            env['WINEDEBUG'] = '-all,+msgbox'
        command = [launcher, '--help', '/restart']
        if args.wine:
            # A desktop of its own: a named desktop lives on the display of whoever made it
            # first, and the tests run side by side on X servers of their own.
            desktop = '/desktop=kestrop-e2e-%d,1024x768' % os.getpid()
            command = [args.wine_run, args.wine, 'explorer', desktop] + command
        started = time.time()
        proc = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env, text=True,
                                cwd=root)
        caption = '客服QQ：' + args.support
        if args.case == 'unreachable' and (args.display or args.wine):
            # The box comes after three failed attempts; the test answers it like a user.
            deadline = time.time() + args.timeout
            wid = None
            while not wid and time.time() < deadline and proc.poll() is None:
                out = subprocess.run(['xdotool', 'search', '--name', '^%s$' % caption], env=env,
                                     capture_output=True, text=True).stdout.split()
                wid = out[0] if out else None
                time.sleep(0.3)
            expect(wid is not None, 'failure box captioned %r shown' % caption)
            if wid:
                subprocess.run(['xdotool', 'windowfocus', '--sync', wid], env=env, timeout=30)
                subprocess.run(['xdotool', 'key', '--window', wid, 'Return'], env=env, timeout=30)
        out, err = proc.communicate(timeout=args.timeout)
        elapsed = time.time() - started
        notes.append('ran %.1f s, exit code %d' % (elapsed, proc.returncode))
        if os.environ.get('KESTROP_E2E_VERBOSE'):
            print(out, err)
        expect(proc.returncode == 0, 'process ended with code 0 (got %d)' % proc.returncode)
        log = read_log(os.path.join(working, 't.log'))
        if args.case == 'success':
            if args.marker:
                expect(args.marker in out, 'Java application printed %r' % args.marker)
            if args.log_marker:
                expect(args.log_marker in log, 't.log has %r' % args.log_marker)
            stored = os.path.join(working, 'quorvia.jar')
            expect(os.path.exists(stored) and open(stored, 'rb').read() == package,
                   'package written over the archive in the working folder')
            expect('/app/%s.pak' % digest in server.requests, 'package fetched: %s' % server.requests)
            expect(caption not in err and 'trace:msgbox' not in err, 'no message box')
        else:
            expect(not args.marker or args.marker not in out, 'Java application not started')
            expect(not args.log_marker or args.log_marker not in log, 'entry method not called')
            text = '无法连接到服务器！'
            if args.wine:
                traced = 'L"%s"' % ''.join('\\%04x' % ord(c) for c in text)
                expect(traced in err, 'the box says %s (Wine trace %s)' % (text, traced))
            elif not args.display:
                expect(caption + '\n' + text + '\n' in err, 'console box on standard error: %r' % err[-200:])
    except Exception as e:  # noqa: BLE001
        failures.append('error: %s' % e)
    finally:
        if proc and proc.poll() is None:
            proc.kill()
            proc.wait()
        if server:
            server.close()
        if xs:
            xs.close()
        shutil.rmtree(root, ignore_errors=True)
    for n in notes:
        print('ok   ' + n)
    for f in failures:
        print('FAIL ' + f)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
