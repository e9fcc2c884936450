#!/usr/bin/env python3
"""The sync's speed and memory against Radicale on this machine, with what
curl needs for the same requests beside it.

  - first sync of 10,000 cards from the server: at most 2x a plain GET of the collection
  - a sync with nothing changed: at most 2 requests and 100 ms
  - one change on the phone: at most 200 ms
  - 1,000 new records uploaded: at most 1.2x the same PUTs by curl
  - peak memory of the first sync of 10,000 cards: at most 150 MB

Usage: bench_sync.py <tessaly-book> [cards]"""

import os
import re
import resource
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'e2e'))
import sync_e2e  # noqa: E402  the Radicale and the phone of the scenarios

CARDS = int(sys.argv[2]) if len(sys.argv) > 2 else 10000


def card(i):
    return (f'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bench-{i:06d}\r\nFN:张{i}\r\nN:张;{i};;;\r\n'
            f'TEL;TYPE=CELL:138{i:08d}\r\nEMAIL:z{i}@example.cn\r\nitem1.TEL:010-{i:08d}\r\n'
            f'item1.X-ABLabel:老家\r\nNOTE:北京市海淀区{i}号\\, 备注\r\nEND:VCARD\r\n')


def timed(command, **kw):
    start = time.monotonic()
    result = subprocess.run(command, capture_output=True, **kw)
    return time.monotonic() - start, result


def requests_in(log, since):
    with open(log) as f:
        return sum(1 for line in f.readlines()[since:] if ' request for ' in line)


def server_seconds(log, since):
    """What Radicale itself took over the requests logged after line `since`."""
    with open(log) as f:
        return sum(float(m.group(1)) for line in f.readlines()[since:]
                   for m in [re.search(r'response status .* in ([0-9.]+) seconds', line)] if m)


def lines_of(log):
    with open(log) as f:
        return len(f.readlines())


def main():
    sync_e2e.PROGRAM = os.path.abspath(sys.argv[1])
    print(f'load: {open("/proc/loadavg").read().split()[:3]}')
    world = sync_e2e.World()
    try:
        # Radicale's own folder, filled directly: 10,000 PUTs would take minutes.
        folder = os.path.join(world.server.root, 'collection-root', 'phone', 'contacts')
        for i in range(CARDS):
            with open(os.path.join(folder, f'bench-{i:06d}.vcf'), 'w') as f:
                f.write(card(i))
        url = world.server.base + world.phone.book
        subprocess.run(['curl', '-s', '-o', '/dev/null', url], check=True)  # Radicale reads its folder once
        get, _ = timed(['curl', '-s', '-o', '/dev/null', url])
        world.setup()
        log = os.path.join(world.work, 'radicale.log')
        before = lines_of(log)
        first, result = timed(['/usr/bin/time', '-f', '%M', os.path.join(world.work, 'tessaly-book'), '--password-file',
                               os.path.join(world.work, 'login'), 'sync', '--server-password-file',
                               os.path.join(world.work, 'server-password')], cwd=world.work, text=True)
        peak = int(result.stderr.strip().splitlines()[-1]) / 1024
        served = server_seconds(log, before)
        print(f'first sync of {CARDS} cards: {first:.2f} s (the server {served:.2f} s of it), GET of the collection '
              f'{get:.2f} s, ratio {first / get:.2f} (target 2); peak {peak:.0f} MB (target 150)')
        if result.returncode != 0:
            raise SystemExit(f'the first sync failed ({result.returncode}): {result.stdout}{result.stderr}')
        print('  ' + result.stdout.strip().splitlines()[-1])

        world.sync()
        before = lines_of(log)
        quiet, _ = timed(['true'])
        quiet, _ = timed([os.path.join(world.work, 'tessaly-book'), '--password-file', os.path.join(world.work, 'login'),
                          'sync', '--server-password-file', os.path.join(world.work, 'server-password')], cwd=world.work)
        print(f'nothing changed: {quiet * 1000:.0f} ms (the server {server_seconds(log, before) * 1000:.0f} ms of it; '
              f'target 100), {requests_in(log, before)} requests (target 2)')

        href = world.phone.list() and f'{world.phone.book}bench-000042.vcf'
        world.phone.change(href, 'NOTE:', 'NOTE:改过 ')
        before = lines_of(log)
        one, result = timed([os.path.join(world.work, 'tessaly-book'), '--password-file', os.path.join(world.work, 'login'),
                             'sync', '--server-password-file', os.path.join(world.work, 'server-password')],
                            cwd=world.work, text=True)
        print(f'one change on the phone: {one * 1000:.0f} ms (the server {server_seconds(log, before) * 1000:.0f} ms of '
              f'it; target 200), {requests_in(log, before)} requests; ' + result.stdout.strip().splitlines()[-1])
    finally:
        world.close()

    world = sync_e2e.World()
    try:
        world.sql(';'.join(f"insert into rem(姓名,电话,备注) values('李{i}','139{i:08d}','上传 {i}')" for i in range(1000)) + ';')
        world.setup()
        upload, result = timed([os.path.join(world.work, 'tessaly-book'), '--password-file',
                                os.path.join(world.work, 'login'), 'sync', '--server-password-file',
                                os.path.join(world.work, 'server-password')], cwd=world.work, text=True)
        config = os.path.join(world.work, 'curl.conf')
        folder = os.path.join(world.work, 'curl')
        os.makedirs(folder)
        with open(config, 'w') as f:
            for i in range(1000):
                path = os.path.join(folder, f'{i}.vcf')
                with open(path, 'w') as c:
                    c.write(card(100000 + i))
                # One request each ("next"), and no Expect: 100-continue, which Radicale never answers.
                f.write(f'url = "{world.server.base}/phone/curl/{i}.vcf"\nupload-file = "{path}"\n'
                        'header = "If-None-Match: *"\nheader = "Content-Type: text/vcard"\nheader = "Expect:"\n'
                        'output = /dev/null\nnext\n')
        world.phone.book = '/phone/curl/'
        world.phone.make_book()
        curl, _ = timed(['curl', '-s', '-K', config])
        print(f'1,000 new records uploaded: {upload:.2f} s, the same PUTs by curl {curl:.2f} s, '
              f'ratio {upload / curl:.2f} (target 1.2); ' + result.stdout.strip().splitlines()[-1])
    finally:
        world.close()


if __name__ == '__main__':
    main()
