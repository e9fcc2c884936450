#!/usr/bin/env python3
"""A phone in the sync's tests: reads, writes and deletes the cards of one
CardDAV address book the way phone sync apps do (ETags, If-Match,
If-None-Match), with nothing but Python's standard library, so no vCard
library stands between the test and the bytes on the server.

Usage: phone.py --book URL [--user NAME] [--ca-file PEM] COMMAND ...
  list                           every card: "href<TAB>etag", sorted by href
  get HREF                       the card's bytes on stdout, its ETag on stderr
  put HREF FILE|- [--if-match ETAG | --if-none-match]
                                 writes the card (from a file or stdin); prints the new ETag
                                 (read back when the server did not send one)
  delete HREF [--if-match ETAG]  deletes the card
  dump                           every card of the book as JSON, sorted by href:
                                 [{"href": ..., "etag": ..., "text": ...}] (fetched by
                                 addressbook-multiget: XML turns the card's CRLF into LF)

HREF is a card's name in the book ("abc.vcf") or its path ("/li/book/abc.vcf").
The password comes from the environment (TESSALY_PHONE_PASSWORD), never the
command line. Exit status: 0 done, 3 precondition failed (412), 4 not found
(404), 1 anything else.
"""
import argparse
import base64
import json
import os
import ssl
import sys
import urllib.error
import urllib.parse
import urllib.request
import xml.etree.ElementTree as ET

DAV = "{DAV:}"
CARD = "{urn:ietf:params:xml:ns:carddav}"
XML_HEAD = '<?xml version="1.0" encoding="utf-8"?>'


class Phone:
    def __init__(self, book, user, password, ca_file):
        self.book = book if book.endswith("/") else book + "/"
        self.headers = {"User-Agent": "tessaly-test-phone"}
        if user:
            token = base64.b64encode(f"{user}:{password}".encode()).decode()
            self.headers["Authorization"] = "Basic " + token
        self.context = ssl.create_default_context(cafile=ca_file) if ca_file else None

    def url(self, href):
        return urllib.parse.urljoin(self.book, href)

    def request(self, method, url, body=None, headers=None):
        """(status, headers, body) whatever the status."""
        all_headers = dict(self.headers, **(headers or {}))
        req = urllib.request.Request(url, data=body, method=method, headers=all_headers)
        try:
            with urllib.request.urlopen(req, context=self.context, timeout=30) as answer:
                return answer.status, answer.headers, answer.read()
        except urllib.error.HTTPError as error:
            return error.code, error.headers, error.read()

    def multistatus(self, method, body, depth):
        status, _, answer = self.request(method, self.book, body.encode(),
                                         {"Depth": depth, "Content-Type": "application/xml; charset=utf-8"})
        if status != 207:
            raise SystemExit(f"{method} {self.book}: {status}")
        return ET.fromstring(answer)

    def listing(self):
        body = (XML_HEAD + '<d:propfind xmlns:d="DAV:"><d:prop><d:getetag/><d:resourcetype/></d:prop></d:propfind>')
        cards = {}
        book_path = urllib.parse.unquote(urllib.parse.urlparse(self.book).path).rstrip("/")
        for response in self.multistatus("PROPFIND", body, "1").iter(DAV + "response"):
            href = urllib.parse.unquote(response.findtext(DAV + "href").strip())
            if href.rstrip("/") == book_path or response.find(f".//{DAV}resourcetype/{DAV}collection") is not None:
                continue
            cards[href] = response.findtext(f".//{DAV}getetag") or ""
        return dict(sorted(cards.items()))

    def fetch_all(self):
        hrefs = list(self.listing())
        cards = []
        for first in range(0, len(hrefs), 100):
            body = XML_HEAD + ('<c:addressbook-multiget xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav">'
                               "<d:prop><d:getetag/><c:address-data/></d:prop>")
            for href in hrefs[first:first + 100]:
                body += "<d:href>" + escape(urllib.parse.quote(href)) + "</d:href>"
            body += "</c:addressbook-multiget>"
            for response in self.multistatus("REPORT", body, "1").iter(DAV + "response"):
                text = response.findtext(f".//{CARD}address-data")
                if text is not None:
                    cards.append({"href": urllib.parse.unquote(response.findtext(DAV + "href").strip()),
                                  "etag": response.findtext(f".//{DAV}getetag") or "",
                                  "text": text})
        return sorted(cards, key=lambda card: card["href"])

    def etag_of(self, href):
        """The ETag by reading the card back, for a server that did not send it with the PUT."""
        status, headers, _ = self.request("GET", self.url(href))
        return headers.get("ETag", "") if status == 200 else ""


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def outcome(status):
    if 200 <= status < 300:
        return 0
    return {412: 3, 404: 4}.get(status, 1)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--book", required=True)
    parser.add_argument("--user")
    parser.add_argument("--ca-file")
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("list")
    commands.add_parser("dump")
    get = commands.add_parser("get")
    get.add_argument("href")
    put = commands.add_parser("put")
    put.add_argument("href")
    put.add_argument("file")
    condition = put.add_mutually_exclusive_group()
    condition.add_argument("--if-match")
    condition.add_argument("--if-none-match", action="store_true")
    delete = commands.add_parser("delete")
    delete.add_argument("href")
    delete.add_argument("--if-match")
    args = parser.parse_args()

    phone = Phone(args.book, args.user, os.environ.get("TESSALY_PHONE_PASSWORD", ""), args.ca_file)
    if args.command == "list":
        for href, etag in phone.listing().items():
            print(f"{href}\t{etag}")
        return 0
    if args.command == "dump":
        json.dump(phone.fetch_all(), sys.stdout, ensure_ascii=False, indent=1)
        print()
        return 0
    if args.command == "get":
        status, headers, body = phone.request("GET", phone.url(args.href))
        if status == 200:
            sys.stdout.buffer.write(body)
            print(headers.get("ETag", ""), file=sys.stderr)
        return outcome(status)
    if args.command == "put":
        text = sys.stdin.buffer.read() if args.file == "-" else open(args.file, "rb").read()
        headers = {"Content-Type": "text/vcard; charset=utf-8"}
        if args.if_match:
            headers["If-Match"] = args.if_match
        if args.if_none_match:
            headers["If-None-Match"] = "*"
        status, answer_headers, _ = phone.request("PUT", phone.url(args.href), text, headers)
        if 200 <= status < 300:
            print(answer_headers.get("ETag") or phone.etag_of(args.href))
        return outcome(status)
    if args.command == "delete":
        headers = {"If-Match": args.if_match} if args.if_match else {}
        status, _, _ = phone.request("DELETE", phone.url(args.href), None, headers)
        return outcome(status)
    return 1


if __name__ == "__main__":
    sys.exit(main())
