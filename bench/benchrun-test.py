#!/usr/bin/env python3
"""benchrun.end_group on groups whose members ended unreaped, as a session bus's launcher is left
when it is orphaned to a parent that does not reap it at once."""
import os
import signal
import subprocess
import sys
import time

# Imported from the source tree, which must stay free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchrun  # noqa: E402

ENDED_WITHIN_S = 0.1


def state(pid):
    """The process's state letter, or "" once it is reaped."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0]
    except FileNotFoundError:
        return ""


def unreaped_leader(script):
    """A shell run in a group of its own, once it has ended unreaped, and what it printed."""
    leader = subprocess.Popen(["sh", "-c", script], start_new_session=True,
                              stdout=subprocess.PIPE, text=True)
    printed = leader.stdout.read()
    while state(leader.pid) != "Z":
        time.sleep(0.005)
    return leader, printed


def main():
    faults = []
    leader, _ = unreaped_leader("exit 0")
    began = time.monotonic()
    benchrun.end_group(leader.pid)
    took = time.monotonic() - began
    if took > ENDED_WITHIN_S:
        faults.append(f"a group of one unreaped process took {took:.2f} s to count as ended")
    leader.wait()

    # A member that ignores SIGTERM still runs beside the unreaped leader: it is killed.
    benchrun.GRACE_S = 0.2
    leader, printed = unreaped_leader("trap '' TERM; sleep 30 >/dev/null & echo $!")
    member = int(printed)
    benchrun.end_group(leader.pid)
    if state(member) not in ("", "Z"):
        faults.append(f"end_group returned while a member still ran (state {state(member)})")
        os.kill(member, signal.SIGKILL)
    leader.wait()
    print("\n".join(faults) or "groups ended")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
