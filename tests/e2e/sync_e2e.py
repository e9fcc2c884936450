#!/usr/bin/env python3
"""tessaly-book sync against a real CardDAV server (Radicale on 127.0.0.1),
with a "phone" that reads, changes, creates and deletes cards with ETags the
way phone sync apps do. After each scenario every card on the server and the
book (read with the sqlcipher shell) are checked from outside.

Usage: sync_e2e.py <tessaly-book> [scenario...]"""

import base64
import hashlib
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request
import uuid

HERE = os.path.dirname(os.path.abspath(__file__))
CARDS = os.path.join(HERE, '..', 'sync', 'cards')
PROGRAM = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else None


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


class Radicale:
    """A throwaway Radicale with its own config; stopped by its PID."""

    def __init__(self, work, auth=None):
        self.port = free_port()
        self.root = os.path.join(work, 'radicale')
        os.makedirs(self.root)
        config = os.path.join(work, 'radicale.conf')
        lines = ['[server]', f'hosts = 127.0.0.1:{self.port}', '[storage]', f'filesystem_folder = {self.root}',
                 '[logging]', 'level = info']
        if auth:
            users = os.path.join(work, 'users')
            subprocess.run(['htpasswd', '-bcm', users, auth[0], auth[1]], check=True, capture_output=True)
            lines += ['[auth]', 'type = htpasswd', f'htpasswd_filename = {users}', 'htpasswd_encryption = md5',
                      'delay = 0']
        else:
            lines += ['[auth]', 'type = none']
        with open(config, 'w') as f:
            f.write('\n'.join(lines) + '\n')
        self.process = subprocess.Popen(['radicale', '--config', config], stdout=subprocess.DEVNULL,
                                         stderr=open(os.path.join(work, 'radicale.log'), 'w'))
        self.base = f'http://127.0.0.1:{self.port}'
        for _ in range(100):
            try:
                with socket.create_connection(('127.0.0.1', self.port), timeout=0.2):
                    return
            except OSError:
                time.sleep(0.1)
        raise RuntimeError('radicale did not start')

    def stop(self):
        # Radicale takes seconds to stop on SIGTERM and keeps nothing worth a clean end here.
        self.process.kill()
        self.process.wait(timeout=10)


class Phone:
    """A phone's sync app: plain HTTP with ETags, no vCard library."""

    def __init__(self, base, book, auth=None):
        self.base, self.book = base, book
        self.headers = {}
        if auth:
            token = base64.b64encode(f'{auth[0]}:{auth[1]}'.encode()).decode()
            self.headers['Authorization'] = 'Basic ' + token

    def request(self, method, path, body=None, headers=None):
        data = body.encode() if isinstance(body, str) else body
        req = urllib.request.Request(self.base + path, data=data, method=method,
                                     headers={**self.headers, **(headers or {})})
        try:
            with urllib.request.urlopen(req) as r:
                return r.status, r.headers, r.read()
        except urllib.error.HTTPError as e:
            return e.code, e.headers, e.read()

    def make_book(self):
        # Without a login Radicale makes no home for the user: one is made above the book.
        self.request('MKCOL', '/' + self.book.strip('/').split('/')[0] + '/')
        body = ('<?xml version="1.0"?><mkcol xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav"><set><prop>'
                '<resourcetype><collection/><C:addressbook/></resourcetype><displayname>手机</displayname>'
                '</prop></set></mkcol>')
        status, _, _ = self.request('MKCOL', self.book, body, {'Content-Type': 'application/xml'})
        assert status in (201, 200), status

    def list(self):
        body = '<?xml version="1.0"?><propfind xmlns="DAV:"><prop><getetag/></prop></propfind>'
        status, _, xml = self.request('PROPFIND', self.book, body, {'Depth': '1', 'Content-Type': 'application/xml'})
        assert status == 207, status
        found = {}
        for response in re.findall(rb'<(?:\w+:)?response>(.*?)</(?:\w+:)?response>', xml, re.S):
            href = re.search(rb'<(?:\w+:)?href>(.*?)</', response).group(1).decode()
            etag = re.search(rb'<(?:\w+:)?getetag>(.*?)</', response)
            if etag and href.endswith('.vcf'):
                found[urllib.parse.unquote(href)] = etag.group(1).decode().replace('&quot;', '"')
        return found

    def get(self, href):
        status, headers, body = self.request('GET', href)
        assert status == 200, (href, status)
        return headers['ETag'], body

    def put(self, name, text, etag=None):
        href = name if name.startswith('/') else self.book + name
        headers = {'Content-Type': 'text/vcard; charset=utf-8'}
        headers['If-Match' if etag else 'If-None-Match'] = etag or '*'
        status, headers, _ = self.request('PUT', href, text, headers)
        return status

    def delete(self, href, etag):
        return self.request('DELETE', href, None, {'If-Match': etag})[0]

    def cards(self):
        """Every card on the server, by href."""
        return {href: self.get(href)[1] for href in self.list()}

    def find(self, text):
        """The href of the card holding text (UTF-8)."""
        hits = [h for h, c in self.cards().items() if text.encode() in unfold(c)]
        assert len(hits) == 1, (text, hits)
        return hits[0]

    def change(self, href, old, new):
        etag, text = self.get(href)
        text = unfold(text).replace(old.encode(), new.encode())
        assert self.put(href, text, etag) in (200, 201, 204)


def unfold(card):
    return re.sub(rb'\r?\n[ \t]', b'', card)


def properties(card):
    """A card as a sorted list of (NAME with upper-case parameters, unescaped value), PRODID and REV aside."""
    out = []
    for line in unfold(card).decode().splitlines():
        if not line or line.upper().startswith(('PRODID', 'REV', 'BEGIN', 'END')):
            continue
        head, _, value = line.partition(':')
        value = re.sub(r'\\(.)', lambda m: '\n' if m.group(1) in 'nN' else m.group(1), value)
        out.append((head.upper(), value))
    return sorted(out)


class World:
    """A book beside its own copy of the program, a server, a phone."""

    def __init__(self, auth=None):
        self.work = tempfile.mkdtemp()
        self.server = Radicale(self.work, auth)
        try:
            self._make(auth)
        except BaseException:
            self.close()  # a world half made leaves no server running
            raise

    def _make(self, auth):
        self.user = auth[0] if auth else 'phone'
        self.phone = Phone(self.server.base, f'/{self.user}/contacts/', auth)
        self.phone.make_book()
        shutil.copy(PROGRAM, os.path.join(self.work, 'tessaly-book'))
        with open(os.path.join(self.work, 'login'), 'w') as f:
            f.write('480917\n')
        with open(os.path.join(self.work, 'server-password'), 'w') as f:
            f.write((auth[1] if auth else 'x') + '\n')
        # An empty book, as the window makes it.
        seed = os.path.join(self.work, 'seed.vcf')
        with open(seed, 'w') as f:
            f.write('BEGIN:VCARD\r\nVERSION:3.0\r\nFN:种子\r\nEND:VCARD\r\n')
        self.book('import', seed)
        self.sql("delete from rem;")

    def run(self, *arguments, check=True, stdin=None):
        result = subprocess.run([os.path.join(self.work, 'tessaly-book'), '--password-file',
                                 os.path.join(self.work, 'login'), *arguments], cwd=self.work,
                                capture_output=True, text=True, input=stdin, timeout=300,
                                env={**os.environ, 'DBUS_SESSION_BUS_ADDRESS': 'disabled:'})
        if check and result.returncode != 0:
            raise AssertionError(f'{arguments}: {result.returncode}\n{result.stdout}\n{result.stderr}')
        return result

    def book(self, *arguments, **kw):
        return self.run(*arguments, **kw)

    def sync(self, *arguments, **kw):
        return self.run('sync', '--server-password-file', os.path.join(self.work, 'server-password'), *arguments,
                        **kw)

    def setup(self, url=None):
        return self.sync('--setup', url or self.server.base + self.phone.book, '--user', self.user)

    def sql(self, statement):
        result = subprocess.run(['sqlcipher', os.path.join(self.work, 'Kalvo.mdb')],
                                input=f"PRAGMA key='tavmeri';\n.mode list\n{statement}\n", capture_output=True,
                                text=True, check=True)
        return [line for line in result.stdout.splitlines() if line != 'ok']

    def names(self):
        return sorted(self.sql('select trim(姓名) from rem;'))

    def close(self):
        self.server.stop()
        shutil.rmtree(self.work)


def summary(result):
    return result.stdout.strip().splitlines()[-1]


def fixture(name):
    with open(os.path.join(CARDS, name), 'rb') as f:
        return f.read()


def photo_card():
    jpeg = os.path.join(tempfile.mkdtemp(), 'p.jpg')
    subprocess.run(['convert', '-size', '48x48', 'gradient:red-blue', '-quality', '85', jpeg], check=True)
    with open(jpeg, 'rb') as f:
        data = f.read()
    b64 = base64.b64encode(data).decode()
    return (f'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:photo-0004\r\nFN:赵敏\r\nN:赵;敏;;;\r\nTEL:13700004444\r\n'
            f'PHOTO;ENCODING=b;TYPE=JPEG:{b64}\r\nEND:VCARD\r\n').encode(), data


def seeded(world):
    """The phone's cards on the server and two records in the book, synced once."""
    for name in ('iphone.vcf', 'android.vcf', 'group.vcf'):
        assert world.phone.put(name, fixture(name)) == 201
    card, _ = photo_card()
    assert world.phone.put('photo.vcf', card) == 201
    world.sql("insert into rem(类别,姓名,电话,地址,备注) values('朋友','张三','13800000001','上海市浦东新区','老同学, 住得近; 常联系');"
              "insert into rem(类别,姓名,电话) values('家人','李四','13800000002');")
    world.setup()
    first = world.sync()
    assert summary(first) == '上传 2，下载 3，删除 0，冲突 0', first.stdout
    return world


# ---- the scenarios

def scenario_twice_without_change_writes_nothing(world):
    seeded(world)
    before = world.phone.cards()
    second = world.sync()
    assert summary(second) == '上传 0，下载 0，删除 0，冲突 0', second.stdout
    assert world.phone.cards() == before
    assert len(before) == 6 and any(b'X-ADDRESSBOOKSERVER-KIND:group' in c for c in before.values())
    assert world.names() == ['张三', '李华', '李四', '王小明', '赵敏']


def scenario_both_sides_change_different_fields(world):
    seeded(world)
    world.sql("update rem set 地址 = '北京市朝阳区' where 姓名 = '王小明';")
    href = world.phone.find('王小明')
    world.phone.change(href, 'NOTE:', 'NOTE:新的备注 ')
    assert summary(world.sync()) == '上传 1，下载 1，删除 0，冲突 0'
    card = dict(properties(world.phone.get(href)[1]))
    assert any('北京市朝阳区' in v for h, v in properties(world.phone.get(href)[1]) if h.startswith(('ADR', 'ITEM4.ADR')))
    assert '新的备注' in world.sql("select 备注 from rem where 姓名 = '王小明';")[0]
    assert 'X-IPHONE-THING;X-FOO=BAR' in card


def scenario_same_field_is_a_conflict_resolved_both_ways(world):
    seeded(world)
    for keep, expect in (('book', '13911110000'), ('server', '13922220000')):
        href = world.phone.find('李华')
        current = world.sql("select trim(电话) from rem where 姓名 = '李华';")[0]
        world.sql("update rem set 电话 = '13911110000' where 姓名 = '李华';")
        etag, text = world.phone.get(href)
        world.phone.put(href, re.sub(rb'TEL;TYPE=CELL:[^\r]*', b'TEL;TYPE=CELL:13922220000', unfold(text)), etag)
        result = world.sync()
        assert summary(result) == '上传 0，下载 0，删除 0，冲突 1', result.stdout
        assert world.sql("select trim(电话) from rem where 姓名 = '李华';") == ['13911110000']
        assert b'13922220000' in world.phone.get(href)[1]
        listing = world.sync('--conflicts').stdout
        assert '电话' in listing and '13911110000' in listing and '13922220000' in listing, listing
        number = re.search(r'编号 (\d+)', listing).group(1)
        resolved = world.sync('--take', keep, number)
        assert '冲突 0' in summary(resolved), resolved.stdout
        assert world.sql("select trim(电话) from rem where 姓名 = '李华';") == [expect]
        assert expect.encode() in world.phone.get(href)[1]
        # The next round starts from what was kept.
        world.sql(f"update rem set 电话 = '{current}' where 姓名 = '李华';")
        world.sync()


def scenario_deleted_on_one_side_changed_on_the_other(world):
    seeded(world)
    href = world.phone.find('王小明')
    world.sql("update rem set 备注 = '书里改过' where 姓名 = '王小明';")
    world.phone.delete(href, world.phone.get(href)[0])
    world.sql("delete from rem where 姓名 = '李华';")
    li = world.phone.find('李华')
    world.phone.change(li, 'FN:李华', 'FN:李华\r\nTITLE:经理')
    result = world.sync('--allow-deletes')
    assert '王小明' in world.names() and '李华' in world.names(), result.stdout
    assert b'\xe4\xb9\xa6\xe9\x87\x8c\xe6\x94\xb9\xe8\xbf\x87' in b''.join(world.phone.cards().values())


def scenario_deletes_reach_the_other_side(world):
    seeded(world)
    world.sql("delete from rem where 姓名 = '张三';")
    href = world.phone.find('赵敏')
    world.phone.delete(href, world.phone.get(href)[0])
    result = world.sync()
    assert summary(result) == '上传 0，下载 0，删除 2，冲突 0', result.stdout
    assert '赵敏' not in world.names() and '张三' not in world.names()
    assert not any(b'\xe5\xbc\xa0\xe4\xb8\x89' in c for c in world.phone.cards().values())
    assert any(n.startswith('Kalvo-') for n in os.listdir(world.work)), 'a backup precedes deletes'


def scenario_an_emptied_address_book_stops_the_sync(world):
    seeded(world)
    for href, etag in world.phone.list().items():
        world.phone.delete(href, etag)
    result = world.sync(check=False)
    assert result.returncode == 1 and '--allow-deletes' in result.stderr, result
    assert len(world.names()) == 5


def scenario_killed_and_run_again_makes_no_duplicate(world):
    rows = ';'.join(f"insert into rem(姓名,电话) values('人{i}','138{i:08d}')" for i in range(120))
    world.sql(rows + ';')
    world.setup()
    program = subprocess.Popen([os.path.join(world.work, 'tessaly-book'), '--password-file',
                                os.path.join(world.work, 'login'), 'sync', '--server-password-file',
                                os.path.join(world.work, 'server-password')], cwd=world.work,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while len(world.phone.list()) < 20 and program.poll() is None:
        time.sleep(0.05)
    program.kill()
    program.wait()
    world.sync()
    cards = world.phone.cards()
    uids = [re.search(rb'UID:([^\r\n]*)', unfold(c)).group(1) for c in cards.values()]
    assert len(cards) == 120 and len(set(uids)) == 120, (len(cards), len(set(uids)))
    assert len(world.names()) == 120
    assert summary(world.sync()) == '上传 0，下载 0，删除 0，冲突 0'


def scenario_a_refused_token_lists_everything(world):
    seeded(world)
    world.sql("update sync_setting set value = 'http://radicale.org/ns/sync/bogus' where name = 'token';"
              "update sync_setting set value = '' where name = 'ctag';")
    world.sql("update rem set 电话 = '13800009999' where 姓名 = '张三';")
    result = world.sync()
    assert summary(result) == '上传 1，下载 0，删除 0，冲突 0', result.stdout
    assert len(world.names()) == 5 and len(world.phone.list()) == 6


def scenario_discovery_through_well_known(world):
    world.phone.put('android.vcf', fixture('android.vcf'))
    world.setup(world.server.base + '/')
    assert summary(world.sync()) == '上传 0，下载 1，删除 0，冲突 0'


def scenario_a_wrong_password_changes_nothing(world):
    seeded(world)
    with open(os.path.join(world.work, 'server-password'), 'w') as f:
        f.write('wrong\n')
    world.sql("update rem set 电话 = '13800009999' where 姓名 = '张三';")
    before = world.phone.cards()
    result = world.sync(check=False)
    assert result.returncode == 1 and '密码' in result.stderr, result
    assert world.phone.cards() == before


def scenario_what_the_book_cannot_hold_comes_back(world):
    seeded(world)
    href = world.phone.find('王小明')
    before = properties(world.phone.get(href)[1])
    world.sql("update rem set 电话 = '13899998888' where 姓名 = '王小明';")
    assert summary(world.sync()) == '上传 1，下载 0，删除 0，冲突 0'
    after = properties(world.phone.get(href)[1])
    changed = [p for p in before if p not in after]
    added = [p for p in after if p not in before]
    assert [v for _, v in changed] == ['13811112222'] and [v for _, v in added] == ['13899998888'], (changed, added)


def scenario_photos_by_their_bytes(world):
    seeded(world)
    _, jpeg = photo_card()
    href = world.phone.find('赵敏')
    stored = subprocess.run(['sqlcipher', os.path.join(world.work, 'Kalvo.mdb')],
                            input="PRAGMA key='tavmeri';\nselect hex(jpg) from rem where 姓名 = '赵敏';\n",
                            capture_output=True, text=True).stdout.split()[-1]
    assert bytes.fromhex(stored)[:2] == b'\xff\xd8'
    world.sql("update rem set 备注 = '改了备注' where 姓名 = '赵敏';")
    world.sync()
    card = unfold(world.phone.get(href)[1])
    sent = base64.b64decode(re.search(rb'PHOTO[^:]*:([A-Za-z0-9+/=]+)', card).group(1))
    assert sent == jpeg, 'the phone keeps its own picture, never a recompressed copy'


SCENARIOS = {name[len('scenario_'):]: f for name, f in globals().items() if name.startswith('scenario_')}
AUTH = {'a_wrong_password_changes_nothing': ('anna', 'geheim')}


def main():
    if not shutil.which('radicale'):
        print('SKIP: radicale is not installed')
        return 0
    chosen = sys.argv[2:] or list(SCENARIOS)
    failed = 0
    for name in chosen:
        world = World(AUTH.get(name))
        started = time.monotonic()
        try:
            SCENARIOS[name](world)
            print(f'ok: {name} ({time.monotonic() - started:.1f} s)')
        except Exception as e:  # noqa: BLE001 - every scenario reports
            failed += 1
            print(f'FAIL: {name}: {e!r}')
            import traceback
            traceback.print_exc()
        finally:
            world.close()
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
