#!/usr/bin/env python3
"""The 同步 page of the real tools window under Xvfb, against Radicale: set up
from the server's address, a first sync of a few thousand cards with its
progress bar, then a record changed on both sides shown side by side and
kept as the person picks. Screenshots go to $SHOTS (default /tmp/tessaly-e2e).

Usage: sync_page_e2e.py <tessaly-book> [display]"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sync_e2e  # noqa: E402

SHOTS = os.environ.get('SHOTS', '/tmp/tessaly-e2e')
DISPLAY = sys.argv[2] if len(sys.argv) > 2 else ':95'


def xdotool(*arguments):
    return subprocess.run(['xdotool', *arguments], capture_output=True, text=True).stdout.strip()


def window(name, timeout=20):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = xdotool('search', '--onlyvisible', '--name', name).split()
        if found:
            return found[-1]
        time.sleep(0.2)
    raise AssertionError(f'no window {name}')


def shot(name):
    os.makedirs(SHOTS, exist_ok=True)
    subprocess.run(['import', '-window', 'root', os.path.join(SHOTS, name + '.png')], check=True)


def keys(win, *names):
    xdotool('windowfocus', '--sync', win)
    xdotool('key', '--delay', '80', *names)


def type_text(win, text):
    xdotool('windowfocus', '--sync', win)
    xdotool('type', '--delay', '20', text)


def main():
    os.environ['DISPLAY'] = DISPLAY
    os.environ['LC_ALL'] = 'C.UTF-8'
    sync_e2e.PROGRAM = os.path.abspath(sys.argv[1])
    xvfb = subprocess.Popen(['Xvfb', DISPLAY, '-screen', '0', '1280x900x24', '-nolisten', 'tcp'],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    world = sync_e2e.World()
    app = None
    try:
        folder = os.path.join(world.server.root, 'collection-root', 'phone', 'contacts')
        for i in range(3000):
            with open(os.path.join(folder, f'c{i:05d}.vcf'), 'w') as f:
                f.write(f'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:c{i:05d}\r\nFN:张{i}\r\nN:张;{i};;;\r\n'
                        f'TEL;TYPE=CELL:138{i:08d}\r\nEND:VCARD\r\n')
        app = subprocess.Popen([os.path.join(world.work, 'tessaly-book'), '--gui'], cwd=world.work,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               env={**os.environ, 'DBUS_SESSION_BUS_ADDRESS': 'disabled:'})
        login = window('登录')
        type_text(login, '480917')
        keys(login, 'Return')
        tools = window('Tessaly 通讯录工具')
        keys(tools, 'alt+8')
        time.sleep(0.5)
        # Setting up: the server's address, the user, the password; 查找地址簿.
        keys(tools, 'alt+v')
        type_text(tools, world.server.base + '/')
        keys(tools, 'alt+n')
        type_text(tools, 'phone')
        keys(tools, 'alt+p')
        type_text(tools, 'x')
        keys(tools, 'alt+f')
        time.sleep(2)
        shot('sync-setup')
        keys(tools, 'alt+s')
        time.sleep(1.6)
        shot('sync-progress')
        deadline = time.monotonic() + 120
        while time.monotonic() < deadline and len(world.names()) < 3000:
            time.sleep(0.5)
        time.sleep(1)
        assert len(world.names()) == 3000, len(world.names())
        shot('sync-done')
        # A record changed on both sides: shown side by side, kept as picked.
        world.sql("update rem set 电话 = '13900000007' where 姓名 = '张7';")
        world.phone.change(world.phone.book + 'c00007.vcf', '13800000007', '13700000007')
        keys(tools, 'alt+s')
        time.sleep(3)
        shot('sync-conflict')
        assert world.sql("select trim(电话) from rem where 姓名 = '张7';") == ['13900000007']
        print('ok: set up, 3,000 cards synced from the page, a conflict shown; screenshots in ' + SHOTS)
    finally:
        if app:
            app.kill()
        world.close()
        xvfb.kill()


if __name__ == '__main__':
    main()
