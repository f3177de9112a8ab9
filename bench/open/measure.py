"""Runs a program until it goes idle and prints what it cost.

Usage: measure.py QUIET_SECONDS COMMAND [ARGS...]

Starts the command, samples its CPU time and memory every 50 ms, and calls it idle
once its CPU time has grown by less than 2% of the wall time over QUIET_SECONDS.
Prints one line: "idle_seconds peak_kib settled_kib", where idle_seconds is the
wall time from the start to the beginning of that quiet stretch, peak_kib the
process's high-water resident size (VmHWM) and settled_kib its resident size
(VmRSS) at the end of the quiet stretch. The program is then asked to end
(SIGTERM), and killed if it has not within 10 seconds.
"""
import os
import signal
import subprocess
import sys
import time

tick = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / tick  # utime, stime


def status_kib(pid, key):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def wait_idle(proc, quiet, start):
    """Seconds from start until proc's quiet stretch began, its peak and resident
    KiB at the end of it; None if it ended first."""
    samples = []  # (wall, cpu)
    while proc.poll() is None:
        now = time.monotonic() - start
        samples.append((now, cpu_seconds(proc.pid)))
        # The oldest sample still inside the quiet window, which samples taken
        # some 50 ms apart reach to within a tick or two.
        first = next(s for s in samples if s[0] >= now - quiet)
        if now - first[0] >= quiet - 0.12 and samples[-1][1] - first[1] < 0.02 * (now - first[0]):
            return (first[0], status_kib(proc.pid, "VmHWM"), status_kib(proc.pid, "VmRSS"))
        time.sleep(0.05)
    return None


def stop(proc):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


if __name__ == "__main__":
    quiet = float(sys.argv[1])
    proc = subprocess.Popen(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        result = wait_idle(proc, quiet, time.monotonic())
    finally:
        stop(proc)
    if result is None:
        sys.exit("%s ended (status %s) before it went idle" % (sys.argv[2], proc.returncode))
    print("%.2f %d %d" % result)
