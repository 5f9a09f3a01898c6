#!/usr/bin/env python3
"""Side by side, in one run, against the same local FTP server (the test
server, tests/fixture/ftpserver.py, serving 2,011 folders and 20,100
files): Quorvel's bare FTP client walking the tree, Quorvel's whole scan
session, a plain Python ftplib walk of the same commands (bench/ftp_walk.py)
and lftp's "du", in passive and in active mode.

    bench/ftp_compare.py [--rounds N] [--walk build/native/bench/app/ftp_walk]

Each round runs every client once, in turn (the order turning from round
to round), so that they share the machine's state of the moment. Two times
are kept for each: the whole process's wall time, and the time the client
reports itself from log-in to log-out (Quorvel's walk and the Python
script print it; lftp does not, so it has only the first). The whole
process counts the start-up too, which for the script includes starting
Python; the reported time measures both sides alike. Times are medians over
the rounds. A ratio is the Python script's time over the client's, taken
within each round (which keeps it meaningful when the machine's speed
drifts) and then the median over the rounds: 1.0 or more means the client
is at least as fast as the script. lftp (Debian's package) is installed
when missing and this runs as root; otherwise it is skipped with a message.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
SERVER = os.path.join(SOURCE, 'tests', 'fixture', 'ftpserver.py')
SERVER_PYTHON = '/usr/bin/python3'  # Debian's, with pyftpdlib
USER, PASSWORD = 'quorvel', 'secret'

# The benchmark tree, as bench/common/BenchTree.h makes it: 10 top folders
# of 10 folders of 19 folders, 10 sparse files in each folder.
TOP, MIDDLE, LEAF, FILES = 10, 10, 19, 10


def fill_folder(folder, seed):
    os.makedirs(folder, exist_ok=True)
    for i in range(FILES):
        with open(os.path.join(folder, 'file %d.dat' % i), 'wb') as f:
            f.truncate((seed * 7919 + i * 104729) % 5000000)


def make_tree(root):
    done = root + '.done'
    if os.path.exists(done):
        return
    shutil.rmtree(root, ignore_errors=True)
    seed = 0
    for t in range(TOP):
        top = os.path.join(root, 'top %d' % t)
        seed += 1
        fill_folder(top, seed)
        for m in range(MIDDLE):
            middle = os.path.join(top, 'middle %d' % m)
            seed += 1
            fill_folder(middle, seed)
            for l in range(LEAF):
                seed += 1
                fill_folder(os.path.join(middle, 'leaf %d' % l), seed)
    with open(done, 'w') as f:
        f.write('ok\n')


class Server:
    def __init__(self, root):
        self.work = tempfile.mkdtemp(prefix='ftp-compare-')
        self.port_file = os.path.join(self.work, 'port')
        self.stop_file = os.path.join(self.work, 'stop')
        self.process = subprocess.Popen(
            [SERVER_PYTHON, SERVER, '--root', root, '--port-file', self.port_file, '--stop-file', self.stop_file,
             '--max-lifetime', '3600'],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 15
        while not os.path.exists(self.port_file):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise SystemExit('the FTP test server did not start (needs Debian\'s python3-pyftpdlib)')
            time.sleep(0.05)
        with open(self.port_file) as f:
            self.port = int(f.read())

    def stop(self):
        open(self.stop_file, 'w').close()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        shutil.rmtree(self.work, ignore_errors=True)


def find_lftp():
    lftp = shutil.which('lftp')
    if lftp:
        return lftp
    if os.geteuid() == 0 and shutil.which('apt-get'):
        print('lftp is missing: installing Debian\'s lftp...', flush=True)
        subprocess.run(['apt-get', 'install', '-y', '-qq', 'lftp'], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        lftp = shutil.which('lftp')
    if not lftp:
        print('lftp is not installed and cannot be: its column is skipped '
              '(apt-get install lftp, as root, to have it)', flush=True)
    return lftp


def timed(command, expect_folders):
    """The whole process's wall time, and the log-in to log-out time the
    client printed ("seconds=S"), None when it prints none."""
    start = time.perf_counter()
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    seconds = time.perf_counter() - start
    if result.returncode != 0:
        raise SystemExit('failed: %s\n%s%s' % (' '.join(command), result.stdout, result.stderr))
    if expect_folders and 'folders=%d ' % expect_folders not in result.stdout:
        raise SystemExit('wrong count: %s\n%s' % (' '.join(command), result.stdout))
    reported = None
    for word in result.stdout.split():
        if word.startswith('seconds='):
            reported = float(word[len('seconds='):])
    return seconds, reported


def median_ratio(script, samples):
    if any(s is None for s in script + samples):
        return None
    return statistics.median(s / c for s, c in zip(script, samples))


TW_BUCKETS = '/proc/sys/net/ipv4/tcp_max_tw_buckets'


class FewWaitingCloses:
    """Every folder's data connection leaves a closed connection waiting out
    its 60 seconds; one round leaves some 16,000, close to the whole range
    of free ports, and each later bind or connect of every client and of the
    server must search past them, so the times drifted by a factor of two or
    three from round to round. For the run, as root, the system keeps only
    a few such connections (on loopback nothing is lost); the setting is put
    back at the end."""

    def __enter__(self):
        self.saved = None
        try:
            with open(TW_BUCKETS) as f:
                self.saved = f.read().strip()
            with open(TW_BUCKETS, 'w') as f:
                f.write('512')
            print('closed connections waiting out their close: at most 512 during the run (was %s)' % self.saved)
        except OSError:
            self.saved = None
            print('cannot limit the closed connections waiting out their close (%s needs root): '
                  'times may drift from round to round' % TW_BUCKETS)
        return self

    def __exit__(self, *exc):
        if self.saved is not None:
            with open(TW_BUCKETS, 'w') as f:
                f.write(self.saved)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--rounds', type=int, default=7)
    parser.add_argument('--walk', default=os.path.join(SOURCE, 'build', 'native', 'bench', 'app', 'ftp_walk'),
                        help="Quorvel's timed walk (built by the native preset)")
    parser.add_argument('--tree', default=os.path.join(SOURCE, 'build', 'native', 'bench-tmp', 'compare_tree'))
    args = parser.parse_args()
    if not os.access(args.walk, os.X_OK):
        sys.exit('%s is missing: build the native preset first (with libbenchmark-dev installed)' % args.walk)

    make_tree(args.tree)
    folders = 1 + TOP * (1 + MIDDLE * (1 + LEAF))
    lftp = find_lftp()
    with FewWaitingCloses():
        run(args, folders, lftp)


def run(args, folders, lftp):
    server = Server(args.tree)
    try:
        clients = {
            'Quorvel client': lambda mode: [args.walk, 'client', mode, '127.0.0.1', str(server.port), USER, PASSWORD],
            'Quorvel scan': lambda mode: [args.walk, 'session', mode, '127.0.0.1', str(server.port), USER, PASSWORD],
            'Python ftplib': lambda mode: [sys.executable, os.path.join(HERE, 'ftp_walk.py'), '127.0.0.1',
                                           str(server.port), USER, PASSWORD, mode],
        }
        if lftp:
            clients['lftp du'] = lambda mode: [
                lftp, '-c', 'set ftp:passive-mode %s; set ftp:use-mlsd off; open -u %s,%s -p %d 127.0.0.1; du -s /'
                % ('on' if mode == 'passive' else 'off', USER, PASSWORD, server.port)]
        print('%d folders, %d files; %d rounds, medians; "process": whole-process wall time, '
              '"log-in": log-in to log-out as the client reports it' % (folders, (folders - 1) * FILES, args.rounds))
        for mode in ('passive', 'active'):
            walls = {name: [] for name in clients}
            reports = {name: [] for name in clients}
            names = list(clients)
            for r in range(args.rounds):
                for name in names[r % len(names):] + names[:r % len(names)]:
                    wall, reported = timed(clients[name](mode), folders if name != 'lftp du' else 0)
                    walls[name].append(wall)
                    reports[name].append(reported)
            print('\n%s mode' % mode)
            print('  %-16s %9s %10s %9s %10s %16s %16s' % ('client', 'process s', 'ms/folder', 'log-in s', 'ms/folder',
                                                      'script/client', 'script/client'))
            print('  %-16s %9s %10s %9s %10s %16s %16s' % ('', '', '', '', '', '(process)', '(log-in)'))
            show = lambda value, form: form % value if value is not None else '%*s' % (len(form % 0), '-')
            for name in clients:
                wall = statistics.median(walls[name])
                reported = None if None in reports[name] else statistics.median(reports[name])
                print('  %-16s %9.3f %10.3f %s %s %16.2f %s' % (
                    name, wall, 1000 * wall / folders, show(reported, '%9.3f'),
                    show(None if reported is None else 1000 * reported / folders, '%10.3f'),
                    median_ratio(walls['Python ftplib'], walls[name]),
                    show(median_ratio(reports['Python ftplib'], reports[name]), '%16.2f')))
    finally:
        server.stop()


if __name__ == '__main__':
    main()
