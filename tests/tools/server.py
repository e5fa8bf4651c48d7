#!/usr/bin/env python3
"""A small HTTP server for the downloader tool's tests, serving the files of one folder on the
loopback address. It prints its port on the first line of its output. With a second argument, it
appends a line per request to that file: the path, the Host, Cookie and Authorization headers,
separated by tabs.

Paths: /NAME serves a file (with byte ranges; NAME may name a file in a subfolder); anything missing
is a 404. Prefixes change the answer:
  /redirect/NAME    302 to /NAME, or to the address in the query's "to"
  /stall/NAME       the headers and 64 KiB, then nothing more
  /stallonce/NAME   the same, unless a range is asked for
  /slow/NAME        16 KiB every 50 ms
  /drop/NAME        half the file, then the connection closes (unless a range is asked for)
  /nohead/NAME      HEAD refused with 405
  /norange/NAME     ranges ignored (200 with the whole file)
  /fromzero/NAME    a range answered with 206 but the file from byte 0, as its Content-Range says"""

import mimetypes
import os
import re
import sys
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else ".")
LOG = sys.argv[2] if len(sys.argv) > 2 else None


class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_HEAD(self):
        self.answer(head=True)

    def do_GET(self):
        self.answer(head=False)

    def answer(self, head):
        if LOG:
            with open(LOG, "a") as log:
                log.write("\t".join([self.path] + [self.headers.get(h, "") for h in
                                                   ("Host", "Cookie", "Authorization")]) + "\n")
        path, _, query = self.path.partition("?")
        mode = ""
        m = re.match(r"^/(redirect|stall|stallonce|slow|drop|nohead|norange|fromzero)(/.*)$", path)
        if m:
            mode, path = m.group(1), m.group(2)
        if mode == "redirect":
            self.send_response(302)
            target = urllib.parse.parse_qs(query).get("to", [path])[0]
            self.send_header("Location", target)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if mode == "nohead" and head:
            self.send_error(405)
            return
        file = os.path.normpath(os.path.join(ROOT, urllib.parse.unquote(path).lstrip("/")))
        if not file.startswith(os.path.abspath(ROOT) + os.sep):
            file = ""
        if not os.path.isfile(file):
            self.send_error(404, "Not Found")
            return
        size = os.path.getsize(file)
        start = 0
        rng = self.headers.get("Range")
        if mode == "norange":
            rng = None
        if rng and mode == "fromzero":
            self.send_response(206)
            self.send_header("Content-Range", "bytes 0-%d/%d" % (size - 1, size))
            rng = None
        elif rng:
            m = re.match(r"bytes=(\d+)-", rng)
            start = int(m.group(1)) if m else 0
            if start >= size:
                self.send_response(416)
                self.send_header("Content-Range", "bytes */%d" % size)
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            self.send_response(206)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, size - 1, size))
        else:
            self.send_response(200)
        ctype = mimetypes.guess_type(file)[0] or "application/octet-stream"
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(size - start))
        self.send_header("Accept-Ranges", "bytes")
        self.end_headers()
        if head:
            return
        limit = size - start
        stall = mode == "stall" or (mode == "stallonce" and not rng)
        if stall:
            limit = min(limit, 64 * 1024)
        if mode == "drop" and not rng:
            limit = size // 2
        with open(file, "rb") as f:
            f.seek(start)
            while limit > 0:
                data = f.read(min(16 * 1024 if mode == "slow" else 256 * 1024, limit))
                if not data:
                    break
                try:
                    self.wfile.write(data)
                except (BrokenPipeError, ConnectionResetError):
                    return
                limit -= len(data)
                if mode == "slow":
                    self.wfile.flush()
                    time.sleep(0.05)
        if stall:
            self.wfile.flush()
            while True:
                time.sleep(1)
        if mode == "drop":
            self.wfile.flush()
            self.close_connection = True


def main():
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
