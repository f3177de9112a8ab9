"""Switches a large document between Node Tree and Source mode in the running
program, as a user does, and prints what each step cost.

Usage: switch.py QUIET_SECONDS PROGRAM FILE [ROUNDS] [edit]

Needs an X display without a window manager (run.sh gives it Xvfb) and xdotool.
Opens FILE with PROGRAM, waits until it is idle (see measure.py), then clicks
into the window and presses Alt+1 (Source mode) and Alt+2 (Node Tree mode),
ROUNDS times (default 1), waiting for idle after each. With "edit", each
round also changes the text in Source mode before Alt+2 (Ctrl+End, Return: a
line break after the document element), so that the text must be parsed anew. Before each key the
process's peak resident size is reset (/proc/PID/clear_refs), so each line
gives the step's own peak. Prints one line per step:
"step idle_seconds peak_kib settled_kib", the seconds counted from the key.
"""
import subprocess
import sys
import time

from measure import stop, wait_idle

quiet = float(sys.argv[1])
program, path = sys.argv[2], sys.argv[3]
rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 1
edit = len(sys.argv) > 5 and sys.argv[5] == "edit"


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True).stdout


def step(proc, name, key, before=()):
    with open("/proc/%d/clear_refs" % proc.pid, "w") as f:
        f.write("5")
    # Keys reach the window that has the pointer's focus once it is clicked.
    xdotool("mousemove", "640", "600", "click", "1")
    time.sleep(0.3)
    wait_idle(proc, 1, time.monotonic())
    if before:
        xdotool("key", *before)
        wait_idle(proc, 1, time.monotonic())
    start = time.monotonic()
    xdotool("key", key)
    result = wait_idle(proc, quiet, start)
    if result is None:
        sys.exit("%s ended (status %s) during %s" % (program, proc.returncode, name))
    print("%s %.2f %d %d" % ((name,) + result), flush=True)


proc = subprocess.Popen([program, path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    result = wait_idle(proc, quiet, time.monotonic())
    if result is None:
        sys.exit("%s ended (status %s) before it went idle" % (program, proc.returncode))
    print("open %.2f %d %d" % result, flush=True)
    for _ in range(rounds):
        step(proc, "alt+1", "alt+1")
        if edit:
            step(proc, "alt+2/edited", "alt+2", ("ctrl+End", "Return"))
        else:
            step(proc, "alt+2", "alt+2")
finally:
    stop(proc)
