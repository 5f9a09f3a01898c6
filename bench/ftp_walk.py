#!/usr/bin/env python3
"""The yardstick of the FTP walk: a plain Python ftplib client doing what
Quorvel's walk does, one folder at a time, depth first: CWD to the folder,
then TYPE A, PASV (or PORT) and LIST, and the sub-folders in listing order.

    ftp_walk.py HOST PORT USER PASSWORD passive|active

Prints "folders=N files=N seconds=S" (log-in to log-out). Unix listings
only (the test server's); symbolic links are not followed.
"""

import ftplib
import sys
import time


def walk(ftp, folder, counts):
    ftp.cwd(folder)
    lines = []
    ftp.retrlines('LIST', lines.append)  # TYPE A, PASV or PORT, LIST
    counts[0] += 1
    children = []
    for line in lines:
        fields = line.split(None, 8)
        if len(fields) < 9:
            continue
        if line.startswith('d'):
            children.append(folder.rstrip('/') + '/' + fields[8])
        elif line.startswith('-'):
            counts[1] += 1
    for child in children:
        walk(ftp, child, counts)


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    host, port, user, password, mode = sys.argv[1:]
    start = time.perf_counter()
    ftp = ftplib.FTP()
    ftp.encoding = 'utf-8'
    ftp.connect(host, int(port), timeout=15)
    ftp.login(user, password)
    ftp.set_pasv(mode == 'passive')
    counts = [0, 0]
    walk(ftp, '/', counts)
    ftp.quit()
    print('folders=%d files=%d seconds=%.3f' % (counts[0], counts[1], time.perf_counter() - start))


if __name__ == '__main__':
    main()
