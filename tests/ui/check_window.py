#!/usr/bin/env python3
"""Screenshot test of the real launch window on a private X server.

Starts Xvfb, runs the window probe (natively or through the Wine runner) with a worker that
stops at a known percentage, waits for the title to show it, takes a screenshot of the root
window and checks it by its pixels: white background, the bar's track and fill colours and the
fill's width, the icon, and real glyphs for the Chinese texts. Then closes the window with
Escape, as a user would, and expects the dialog's cancel result.

Usage: check_window.py --shot OUT.png [--percent N] -- PROBE [ARGS...]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

WHITE = (255, 255, 255)
TRACK = (183, 183, 183)
FILL = (249, 191, 108)


class XServer:
    """A private Xvfb on the first free display number."""

    def __init__(self):
        self.proc = None
        for n in range(90, 190):
            if os.path.exists('/tmp/.X%d-lock' % n) or os.path.exists('/tmp/.X11-unix/X%d' % n):
                continue
            proc = subprocess.Popen(['Xvfb', ':%d' % n, '-screen', '0', '1024x768x24', '-nolisten', 'tcp'],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(100):
                if os.path.exists('/tmp/.X11-unix/X%d' % n):
                    self.proc, self.display = proc, ':%d' % n
                    return
                if proc.poll() is not None:
                    break
                time.sleep(0.05)
            if proc.poll() is None:
                proc.kill()
        raise RuntimeError('no free X display')

    def close(self):
        if self.proc:
            self.proc.terminate()
            self.proc.wait(10)


def sanitizer_env(env):
    """GTK's own allocations live until exit, and ThreadSanitizer cannot see GTK's locking."""
    env['ASAN_OPTIONS'] = 'detect_leaks=0:' + env.get('ASAN_OPTIONS', '')
    supp = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'tsan-gtk.supp')
    env['TSAN_OPTIONS'] = 'suppressions=%s:' % supp + env.get('TSAN_OPTIONS', '')


def read_ppm(path):
    with open(path, 'rb') as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b'P6' and fields[3] == b'255', fields
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:]
    return width, height, lambda x, y: tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3])


def glyph_boxes(pixel, rect):
    """Bounding boxes of the ink runs (columns with any non-white pixel) inside rect."""
    left, top, right, bottom = rect
    columns = [x for x in range(left, right) if any(pixel(x, y) != WHITE for y in range(top, bottom))]
    boxes, run = [], []
    for x in columns:
        if run and x != run[-1] + 1:
            boxes.append(run)
            run = []
        run.append(x)
    if run:
        boxes.append(run)
    out = []
    for run in boxes:
        rows = [y for y in range(top, bottom) if any(pixel(x, y) != WHITE for x in run)]
        out.append((len(run), rows[-1] - rows[0] + 1, rows[0]))
    return out


def check(pixel, rects, percent, failures, report):
    def expect(cond, what):
        (report if cond else failures).append(what)

    bar = rects[1005]
    # White between the status text and the bar, across the bar's width.
    gap = [(x, y) for y in range(rects[1008][3] + 2, bar[1] - 2) for x in range(bar[0], bar[2])]
    not_white = [p for p in gap if pixel(*p) != WHITE]
    expect(gap and not not_white, 'background white between status text and bar (%d pixels, %d not white)'
           % (len(gap), len(not_white)))
    # The bar: inside its one-pixel frame, fill up to left + width * percent / 100, track after.
    width = bar[2] - bar[0]
    fill_right = bar[0] + width * percent // 100
    wrong, fill_seen, track_seen = 0, 0, 0
    for y in range(bar[1] + 1, bar[3] - 1):
        for x in range(bar[0] + 1, bar[2] - 1):
            want = FILL if x < fill_right else TRACK
            got = pixel(x, y)
            wrong += got != want
            fill_seen += got == FILL and y == (bar[1] + bar[3]) // 2
            track_seen += got == TRACK and y == (bar[1] + bar[3]) // 2
    expect(wrong == 0, 'bar %dx%d: fill %s up to x=%d, track %s after (%d pixels wrong)'
           % (width, bar[3] - bar[1], FILL, fill_right, TRACK, wrong))
    expect(fill_seen == fill_right - bar[0] - 1, 'fill width on the middle row: %d px + frame = %d%% of %d px'
           % (fill_seen, percent, width))
    # The icon: orange pixels in the icon box.
    icon = rects[1004]
    orange = sum(1 for y in range(icon[1], icon[3]) for x in range(icon[0], icon[2])
                 if pixel(x, y)[0] > 200 and 100 < pixel(x, y)[1] < 220 and pixel(x, y)[2] < 140)
    expect(orange > 50, 'icon drawn in its box (%d orange pixels)' % orange)
    # The Chinese texts. Missing glyphs come out as a row of separate boxes of one size, one
    # per character (Wine's empty boxes, Pango's hex boxes); real glyphs touch and differ.
    for cid, chars in ((1008, 9), (1007, 4)):
        r = rects[cid]
        if cid == 1007:
            r = (r[0], r[1], r[2] + 40, r[3])  # the label may run past the template's width
        boxes = glyph_boxes(pixel, r)
        if cid == 1007:
            boxes = boxes[1:]  # the check mark's box comes first
        sizes = [b[:2] for b in boxes]
        same = max((sizes.count(s) for s in sizes), default=0)
        expect(boxes and same < chars - 2,
               'control %d text rendered as glyphs: %d ink runs, at most %d of one size' % (cid, len(boxes), same))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--shot', required=True)
    parser.add_argument('--percent', type=int, default=50)
    parser.add_argument('--timeout', type=float, default=120)
    parser.add_argument('probe', nargs=argparse.REMAINDER)
    args = parser.parse_args()
    probe = [a for a in args.probe if a != '--']

    xs = XServer()
    home = tempfile.mkdtemp(prefix='kestrop-window-')
    env = dict(os.environ, DISPLAY=xs.display, XDG_DOCUMENTS_DIR=os.path.join(home, 'Documents'))
    env.setdefault('LANG', 'C.UTF-8')
    sanitizer_env(env)
    proc = None
    failures, report = [], []
    try:
        proc = subprocess.Popen(probe + [str(args.percent)], stdout=subprocess.PIPE, env=env, text=True)
        rects = {}
        while len(rects) < 5:
            line = proc.stdout.readline()
            if not line:
                raise RuntimeError('probe ended before it showed the window')
            parts = line.split()
            if parts[0] == 'rect':
                rects[int(parts[1])] = tuple(int(v) for v in parts[2:6])
        # The title shows the percentage once the bar has climbed to it.
        deadline = time.time() + args.timeout
        wid = None
        while time.time() < deadline and not wid:
            out = subprocess.run(['xdotool', 'search', '--name', '  %d%%   ' % args.percent],
                                 env=env, capture_output=True, text=True).stdout.split()
            wid = out[0] if out else None
            time.sleep(0.2)
        if not wid:
            raise RuntimeError('no window with %d%% in its title' % args.percent)
        title = subprocess.run(['xdotool', 'getwindowname', wid], env=env, capture_output=True,
                               text=True).stdout.strip()
        report.append('title: %r' % title)
        time.sleep(0.5)  # a few more ticks: the bar is repainted on each
        ppm = os.path.join(home, 'shot.ppm')
        subprocess.run(['/usr/bin/import', '-window', 'root', args.shot], env=env, check=True)
        subprocess.run(['/usr/bin/convert', args.shot, '-depth', '8', ppm], check=True)
        _, _, pixel = read_ppm(ppm)
        check(pixel, rects, args.percent, failures, report)
        report.append('rects: %s' % rects)

        # Escape ends the dialog with IDCANCEL.
        subprocess.run(['xdotool', 'windowfocus', '--sync', wid], env=env, timeout=30)
        subprocess.run(['xdotool', 'key', '--window', wid, 'Escape'], env=env, timeout=30)
        out, _ = proc.communicate(timeout=args.timeout)
        results = [l for l in out.splitlines() if l.startswith('result')]
        (report if results == ['result 2'] else failures).append('Escape ended the dialog: %s' % results)
        (report if proc.returncode == 0 else failures).append('probe exit code %d' % proc.returncode)
    except Exception as e:  # noqa: BLE001 - every failure is reported the same way
        failures.append('error: %s' % e)
    finally:
        if proc and proc.poll() is None:
            proc.kill()
            proc.wait()
        xs.close()
        shutil.rmtree(home, ignore_errors=True)
    for line in report:
        print('ok   ' + line)
    for line in failures:
        print('FAIL ' + line)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
