#!/usr/bin/env python3
"""An HLS download in pieces: the bundled tool (which fetches up to four pieces at once) against
plain yt-dlp, on a local server that limits every connection to 1 MiB/s.

ffmpeg makes a 20 MiB HLS video (one-second pieces); each run downloads it into a fresh folder.
Runs of the two alternate; the median wall times, their ratio, whether the files are the same bytes
and whether the tool's percentage only rose to 100 are printed.

    bench/tools/fragments.py [--build build] [--megabytes 20] [--runs 3]
"""
import argparse
import hashlib
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

RATE = 1 << 20  # bytes per second and connection


def make_handler(root):
    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def do_GET(self):
            path = os.path.normpath(os.path.join(root, self.path.split("?")[0].lstrip("/")))
            if not path.startswith(root + os.sep) or not os.path.isfile(path):
                self.send_error(404)
                return
            with open(path, "rb") as f:
                data = f.read()
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.send_header("Content-Type", "application/vnd.apple.mpegurl" if path.endswith(".m3u8")
                             else "video/mp2t")
            self.end_headers()
            # 64 KiB sixteen times a second: 1 MiB/s on this connection, whatever the others do.
            step, start = 64 * 1024, time.monotonic()
            for sent in range(0, len(data), step):
                delay = start + sent / RATE - time.monotonic()
                if delay > 0:
                    time.sleep(delay)
                try:
                    self.wfile.write(data[sent:sent + step])
                except (BrokenPipeError, ConnectionResetError):
                    return

    return Handler


def make_video(folder, megabytes):
    seconds = 20
    rate = megabytes * 8 * 1024 * 1024 // seconds
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    f"testsrc2=size=640x360:rate=25:duration={seconds}", "-f", "lavfi", "-i",
                    f"sine=frequency=440:duration={seconds}", "-c:v", "libx264", "-preset", "ultrafast",
                    "-b:v", str(rate), "-minrate", str(rate), "-maxrate", str(rate), "-bufsize", str(rate),
                    "-x264-params", "nal-hrd=cbr",
                    # A piece can only start at a key frame, and x264 makes one every 250 frames (ten
                    # seconds here): without these the video came in two 10 MiB pieces, which four
                    # connections cannot share.
                    "-force_key_frames", "expr:gte(t,n_forced*1)",
                    "-c:a", "aac", "-f", "hls", "-hls_time", "1",
                    "-hls_playlist_type", "vod", "-hls_segment_filename", "piece%d.ts", "video.m3u8"],
                   cwd=folder, check=True)
    pieces = [os.path.getsize(os.path.join(folder, n)) for n in os.listdir(folder) if n.endswith(".ts")]
    return sum(pieces), len(pieces)


def digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def only_file(folder):
    files = [n for n in os.listdir(folder) if not n.startswith(".")]
    if len(files) != 1:
        raise RuntimeError(f"expected one file in {folder}, found {files}")
    return os.path.join(folder, files[0])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "..", "build"))
    parser.add_argument("--megabytes", type=int, default=20)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    tool = os.path.abspath(os.path.join(args.build, "bin", "do.dll"))
    ytdlp = shutil.which("yt-dlp")
    if not ytdlp or not shutil.which("ffmpeg") or not os.access(tool, os.X_OK):
        sys.exit("needs yt-dlp and ffmpeg on PATH and a built do.dll")

    with tempfile.TemporaryDirectory() as work:
        site = os.path.join(work, "site")
        os.mkdir(site)
        size, pieces = make_video(site, args.megabytes)
        server = ThreadingHTTPServer(("127.0.0.1", 0), make_handler(site))
        server.daemon_threads = True
        threading.Thread(target=server.serve_forever, daemon=True).start()
        link = f"http://127.0.0.1:{server.server_address[1]}/video.m3u8"
        env = dict(os.environ, HOME=work, XDG_CACHE_HOME=os.path.join(work, "cache"),
                   XDG_CONFIG_HOME=os.path.join(work, "config"))
        env.pop("BRENLOW_YTDLP", None)
        print(f"HLS video: {size / 1048576:.1f} MiB in {pieces} pieces of one second, 1 MiB/s per connection")

        listing = subprocess.run([tool, "-s", "--skip-download", "-i", "-F", "--no-playlist", link],
                                 env=env, capture_output=True, text=True, timeout=300).stdout
        rows = listing.split("format code  extension  resolution note", 1)[-1].strip().splitlines()
        code = rows[-1].split()[0]

        times = {"tool": [], "yt-dlp": []}
        digests, rising = set(), True
        for n in range(args.runs):
            out_tool = os.path.join(work, f"tool{n}")
            out_plain = os.path.join(work, f"plain{n}")
            os.mkdir(out_tool)
            os.mkdir(out_plain)
            start = time.monotonic()
            run = subprocess.run([tool, "-o", os.path.join(out_tool, "video.%(ext)s"), "-i", "--no-playlist",
                                  "-f", code, "-v", "-c", "-w", link], env=env, capture_output=True, text=True,
                                 timeout=600)
            times["tool"].append(time.monotonic() - start)
            figures = [float(f) for f in re.findall(r"\[download\]\s+([0-9.]+)% of", run.stdout)]
            rising = rising and run.returncode == 0 and figures == sorted(figures) and figures[-1] == 100
            start = time.monotonic()
            subprocess.run([ytdlp, "--ignore-config", "-q", "-o", os.path.join(out_plain, "video.%(ext)s"), link],
                           env=env, check=True, timeout=600)
            times["yt-dlp"].append(time.monotonic() - start)
            digests.add(digest(only_file(out_tool)))
            digests.add(digest(only_file(out_plain)))
            print(f"run {n + 1}: tool {times['tool'][-1]:.2f} s, yt-dlp {times['yt-dlp'][-1]:.2f} s")
        server.shutdown()

    tool_s, plain_s = statistics.median(times["tool"]), statistics.median(times["yt-dlp"])
    print(f"median: tool {tool_s:.2f} s, plain yt-dlp {plain_s:.2f} s, ratio {tool_s / plain_s:.2f}")
    print(f"same bytes: {'yes' if len(digests) == 1 else 'NO'}; one rising percentage to 100: "
          f"{'yes' if rising else 'NO'}")


if __name__ == "__main__":
    main()
