#!/usr/bin/env python3
"""Cold start to the first painted window: brenlow against a bare Qt window with one QLabel.

Each program is started anew for every run, with the first-paint probe preloaded; the time is
taken from just before the start to the end of the first paint of a top-level window. Runs of the
programs alternate, in the order ABC CBA ABC...: a start is quicker right after one that freed
much memory (on a virtual machine the freed pages are the cheap ones), so no program always
follows the same other one. The median of each is reported with their ratio, at scale factor 1
and 2.
The bare window is also timed at brenlow's size (896 x 571): the part of the difference that any
window of that size pays, its first frame's memory above all, shows in the ratio against it.
The processor time each program used until then (user and system, ended at its first paint) is
reported beside it, and the main thread's alone: on a busy machine they vary far less than the time
on the clock, and work moved to another thread shows in the latter.

    bench/app/startup.py [--build build] [--runs 9] [--platform xcb|offscreen]

With --platform xcb, DISPLAY must name an X server (Xvfb works). The benchmark stays connected to
it throughout, as the other programs of a desktop session are: an X server whose last client goes
resets itself (Xvfb without -noreset does), and the next start would wait for that, some 50 ms here,
on both sides of the ratio.
"""
import argparse
import contextlib
import ctypes
import ctypes.util
import os
import statistics
import subprocess
import sys
import tempfile
import time


def first_paint(program, env):
    """Seconds on the clock, of processor time and of the main thread's processor time from the
    start to the first paint."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        start = time.monotonic()
        child = subprocess.Popen(program if isinstance(program, tuple) else [program], env=env, stdout=out,
                                 stderr=err)
        _, status, usage = os.wait4(child.pid, 0)
        child.returncode = os.waitstatus_to_exitcode(status)
        out.seek(0)
        err.seek(0)
        lines = dict(line.split(None, 1) for line in out.read().decode().splitlines() if " " in line)
        if "first-paint" in lines and "main-thread" in lines:
            return (float(lines["first-paint"]) - start, usage.ru_utime + usage.ru_stime,
                    float(lines["main-thread"]))
        raise RuntimeError(f"{program}: no paint seen (exit {child.returncode}): {err.read()[-400:]}")


class DisplayConnection:
    """A connection to the X server of DISPLAY, held while the benchmark runs (none without libxcb
    or a server)."""

    def __enter__(self):
        self.xcb, self.connection = None, None
        name = ctypes.util.find_library("xcb")
        if name and os.environ.get("DISPLAY"):
            self.xcb = ctypes.CDLL(name)
            self.xcb.xcb_connect.restype = ctypes.c_void_p
            self.xcb.xcb_connect.argtypes = [ctypes.c_char_p, ctypes.c_void_p]
            self.xcb.xcb_connection_has_error.argtypes = [ctypes.c_void_p]
            self.xcb.xcb_disconnect.argtypes = [ctypes.c_void_p]
            self.connection = self.xcb.xcb_connect(None, None)
            if self.xcb.xcb_connection_has_error(self.connection):
                raise RuntimeError(f"cannot connect to the X server {os.environ['DISPLAY']}")
        return self

    def __exit__(self, *_):
        if self.connection:
            self.xcb.xcb_disconnect(self.connection)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "..", "build"))
    ap.add_argument("--runs", type=int, default=9)
    ap.add_argument("--platform", default="xcb" if os.environ.get("DISPLAY") else "offscreen")
    args = ap.parse_args()
    build = os.path.abspath(args.build)
    brenlow = os.path.join(build, "bin", "brenlow")
    bare = os.path.join(build, "bin", "bench_bare_label_window")
    same_size = (bare, "--size", "896x571")
    probe = os.path.join(build, "lib", "libbench_first_paint_probe.so")
    with tempfile.TemporaryDirectory() as runtime, \
            DisplayConnection() if args.platform == "xcb" else contextlib.nullcontext():
        os.chmod(runtime, 0o700)
        print(f"platform {args.platform}, {args.runs} runs each, median seconds")
        for scale in ("1", "2"):
            env = dict(os.environ, QT_QPA_PLATFORM=args.platform, LD_PRELOAD=probe,
                       QT_SCALE_FACTOR=scale, XDG_RUNTIME_DIR=runtime)
            programs = (brenlow, bare, same_size)
            times, cpu, main_cpu = ({program: [] for program in programs} for _ in range(3))
            for program in programs:  # one unmeasured start each, so all read warm files
                first_paint(program, env)
            for run in range(args.runs):
                for program in (programs if run % 2 == 0 else programs[::-1]):
                    wall, used, main_used = first_paint(program, env)
                    times[program].append(wall)
                    cpu[program].append(used)
                    main_cpu[program].append(main_used)
            b, q = statistics.median(times[brenlow]), statistics.median(times[bare])
            bc, qc = statistics.median(cpu[brenlow]), statistics.median(cpu[bare])
            bm, qm = statistics.median(main_cpu[brenlow]), statistics.median(main_cpu[bare])
            print(f"scale {scale}: brenlow {b:.3f}  bare QLabel window {q:.3f}  ratio {b / q:.2f}"
                  f"  (target <= 1.3);  processor time {bc:.3f} / {qc:.3f}  ratio {bc / qc:.2f}"
                  f";  main thread {bm:.3f} / {qm:.3f}  ratio {bm / qm:.2f}")
            s, sm = statistics.median(times[same_size]), statistics.median(main_cpu[same_size])
            print(f"  bare window at brenlow's size {s:.3f}  ratio {b / s:.2f};  main thread {sm:.3f}"
                  f"  ratio {bm / sm:.2f}")
            if os.listdir(runtime):
                print(f"  left in the runtime folder: {os.listdir(runtime)}", file=sys.stderr)


if __name__ == "__main__":
    main()
