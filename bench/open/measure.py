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

quiet = float(sys.argv[1])
command = sys.argv[2:]
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


proc = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
start = time.monotonic()
samples = []  # (wall, cpu)
result = None
try:
    while proc.poll() is None:
        now = time.monotonic() - start
        samples.append((now, cpu_seconds(proc.pid)))
        # The oldest sample still inside the quiet window.
        first = next(s for s in samples if s[0] >= now - quiet)
        if now - first[0] >= quiet * 0.95 and samples[-1][1] - first[1] < 0.02 * (now - first[0]):
            result = (first[0], status_kib(proc.pid, "VmHWM"), status_kib(proc.pid, "VmRSS"))
            break
        time.sleep(0.05)
finally:
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
if result is None:
    sys.exit("%s ended (status %s) before it went idle" % (command[0], proc.returncode))
print("%.2f %d %d" % result)
