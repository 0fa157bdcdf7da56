#!/usr/bin/python3
"""ljgas-batch --trajectory-out as the field's tools open it.

ASE reads the extended XYZ frames with their cell, periodicity, velocities
and comment-line values; MDAnalysis's XYZ reader takes name x y z. ASE and
MDAnalysis read LAMMPS's dump (.lammpstrj) with its box and velocities. Each
must find the last frame equal, to single precision, to --state-out of the
same run. The file holds whole frames only at any moment of a run, so that a
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


def run_with_trajectory(folder, name):
    """The trajectory and the state --state-out wrote after the same run."""
    trajectory = os.path.join(folder, name)
    state = trajectory + ".csv"
    subprocess.run([BATCH, "--steps", "2500", "--every", "1000", "--quiet", "--R", "0.012",
                    "--trajectory-out", trajectory, "--state-out", state], check=True)
    return trajectory, read_state(state)


def ase_frame_is_the_state(atoms, expected, reader):
    check(len(atoms) == DISCS, f"{reader}: {len(atoms)} discs in the last frame")
    check(np.array_equal(atoms.cell[:], np.eye(3)), f"{reader}: cell {atoms.cell[:]}")
    check(list(atoms.pbc) == [True, True, False], f"{reader}: pbc {atoms.pbc}")
    check(np.array_equal(atoms.get_masses(), np.ones(DISCS)), f"{reader}: masses")
    velocities = atoms.get_velocities()
    check(np.array_equal(atoms.positions[:, :2].astype(np.float32), expected[:, :2]), f"{reader}: positions")
    check(np.array_equal(velocities[:, :2].astype(np.float32), expected[:, 2:]), f"{reader}: velocities")
    check(not atoms.positions[:, 2].any() and not velocities[:, 2].any(), f"{reader}: z or vz not 0")


def xyz_readers_agree_with_state(folder):
    trajectory, expected = run_with_trajectory(folder, "t.xyz")
    frames = ase.io.read(trajectory, index=":")
    check([f.info["step"] for f in frames] == [0, 1000, 2000, 2500],
          f"frames at steps {[f.info['step'] for f in frames]}")
    last = frames[-1]
    ase_frame_is_the_state(last, expected, "ASE, XYZ")
    check(last.info["R"] == 0.012 and last.info["e0"] == 0.2, f"comment line {last.info}")
    check(abs(last.info["time"] - 2.5) < 1e-6, f"time {last.info['time']}")
    v2 = (expected[:, 2:] ** 2).astype(np.float64).sum(axis=1).mean()
    check(abs(last.info["T"] - v2) <= 1e-6 * v2, f"T {last.info['T']} against {v2}")

    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # no mass is known for the dummy element X
        universe = MDAnalysis.Universe(trajectory, format="XYZ")
    check(len(universe.trajectory) == 4, f"MDAnalysis finds {len(universe.trajectory)} XYZ frames")
    universe.trajectory[-1]
    check(np.array_equal(universe.atoms.positions[:, :2], expected[:, :2]), "MDAnalysis's XYZ positions")


def dump_readers_agree_with_state(folder):
    trajectory, expected = run_with_trajectory(folder, "t.lammpstrj")
    # ASE converts a dump from LAMMPS's metal units unless told they are its own.
    frames = ase.io.read(trajectory, format="lammps-dump-text", index=":", units="ASE")
    check(len(frames) == 4, f"ASE finds {len(frames)} dump frames")
    ase_frame_is_the_state(frames[-1], expected, "ASE, dump")

    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # the dump names no masses
        universe = MDAnalysis.Universe(trajectory, format="LAMMPSDUMP")
    steps = [ts.data["step"] for ts in universe.trajectory]
    check(steps == [0, 1000, 2000, 2500], f"MDAnalysis's dump frames at steps {steps}")
    universe.trajectory[-1]
    check(np.array_equal(universe.dimensions, [1, 1, 1, 90, 90, 90]), f"box {universe.dimensions}")
    check(np.array_equal(universe.atoms.positions[:, :2], expected[:, :2]), "MDAnalysis's dump positions")
    check(np.array_equal(universe.atoms.velocities[:, :2], expected[:, 2:]), "MDAnalysis's dump velocities")


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
        xyz_readers_agree_with_state(scratch)
        dump_readers_agree_with_state(scratch)
        killed_run_leaves_whole_frames(scratch)
    except Failed as failure:
        print("FAILED:", failure)
        sys.exit(1)
print("trajectory readers: ASE and MDAnalysis read both formats as the state; a killed run left whole frames")
