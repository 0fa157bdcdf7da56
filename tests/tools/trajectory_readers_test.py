#!/usr/bin/python3
"""ljgas-batch --trajectory-out as the field's tools open it.

ASE reads the extended XYZ frames with their cell, periodicity, velocities
and comment-line values; MDAnalysis's XYZ reader takes name x y z. Both must
find the last frame equal, to single precision, to --state-out of the same
run. The file holds whole frames only at any moment of a run, so that a
killed run leaves whole frames.

Usage: trajectory_readers_test.py PATH_TO_LJGAS_BATCH
Exit status 77 (skipped) only when ASE or MDAnalysis is not installed.
"""
import os
import signal
import subprocess
import sys
import tempfile
import time
import warnings

try:
    import numpy as np
    import ase.io
    import MDAnalysis
except ImportError as missing:
    print(f"SKIPPED: {missing}; install Debian's python3-ase and python3-mdanalysis "
          "(./setup installs them) and run with /usr/bin/python3")
    sys.exit(77)

BATCH = sys.argv[1]
DISCS = 225
FRAME_LINES = DISCS + 2


class Failed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failed(message)


def read_state(path):
    rows = [line for line in open(path) if not line.startswith("#")][1:]
    return np.array([[float(v) for v in row.split(",")[1:]] for row in rows], dtype=np.float32)


def readers_agree_with_state(folder):
    trajectory = os.path.join(folder, "t.xyz")
    state = os.path.join(folder, "s.csv")
    subprocess.run([BATCH, "--steps", "2500", "--every", "1000", "--quiet", "--R", "0.012",
                    "--trajectory-out", trajectory, "--state-out", state], check=True)
    expected = read_state(state)

    frames = ase.io.read(trajectory, index=":")
    check([f.info["step"] for f in frames] == [0, 1000, 2000, 2500],
          f"frames at steps {[f.info['step'] for f in frames]}")
    last = frames[-1]
    check(len(last) == DISCS, f"{len(last)} discs in ASE's last frame")
    check(np.array_equal(last.cell[:], np.eye(3)), f"cell {last.cell[:]}")
    check(list(last.pbc) == [True, True, False], f"pbc {last.pbc}")
    check(last.info["R"] == 0.012 and last.info["e0"] == 0.2, f"comment line {last.info}")
    check(abs(last.info["time"] - 2.5) < 1e-6, f"time {last.info['time']}")
    v2 = (expected[:, 2:] ** 2).astype(np.float64).sum(axis=1).mean()
    check(abs(last.info["T"] - v2) <= 1e-6 * v2, f"T {last.info['T']} against {v2}")
    check(np.array_equal(last.positions[:, :2].astype(np.float32), expected[:, :2]), "ASE's positions")
    check(np.array_equal(last.arrays["vel"][:, :2].astype(np.float32), expected[:, 2:]), "ASE's velocities")
    check(not last.positions[:, 2].any() and not last.arrays["vel"][:, 2].any(), "z or vz not 0")

    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # no mass is known for the dummy element X
        universe = MDAnalysis.Universe(trajectory, format="XYZ")
    check(len(universe.trajectory) == 4, f"MDAnalysis finds {len(universe.trajectory)} frames")
    universe.trajectory[-1]
    check(np.array_equal(universe.atoms.positions[:, :2], expected[:, :2]), "MDAnalysis's positions")


def whole_frames(path):
    with open(path) as f:
        lines = f.read().split("\n")
    check(lines[-1] == "", "the file does not end with a whole line")
    check((len(lines) - 1) % FRAME_LINES == 0, f"{len(lines) - 1} lines: a frame cut short")
    frames = ase.io.read(path, index=":")
    check([f.info["step"] for f in frames] == [20 * i for i in range(len(frames))], "frames missing")
    return len(frames)


def killed_run_leaves_whole_frames(folder):
    # Stopped at some moment of the run, the file shows what the program has
    # written so far: whole frames, and no frame held back in a buffer. The
    # kill then leaves the same. (A kill as such can land inside the write
    # of a frame, which the kernel may then cut at a page boundary; a stop
    # takes effect between system calls.)
    trajectory = os.path.join(folder, "killed.xyz")
    run = subprocess.Popen([BATCH, "--steps", "100000000", "--every", "20", "--quiet",
                            "--trajectory-out", trajectory])
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline and run.poll() is None:
        if os.path.exists(trajectory) and os.path.getsize(trajectory) > 5 * 16000:
            break
        time.sleep(0.05)
    try:
        run.send_signal(signal.SIGSTOP)
        time.sleep(0.1)
        frames = whole_frames(trajectory)
        check(frames >= 5, f"only {frames} frames written as the run went")
    finally:
        run.send_signal(signal.SIGKILL)
        run.wait()
    check(run.returncode == -signal.SIGKILL, f"the run ended by itself ({run.returncode})")
    check(whole_frames(trajectory) == frames, "frames written while the run was stopped")


with tempfile.TemporaryDirectory() as scratch:
    try:
        readers_agree_with_state(scratch)
        killed_run_leaves_whole_frames(scratch)
    except Failed as failure:
        print("FAILED:", failure)
        sys.exit(1)
print("trajectory readers: ASE and MDAnalysis agree with the state; a killed run left whole frames")
