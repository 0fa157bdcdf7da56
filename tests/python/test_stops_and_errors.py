# Ctrl+C, engine errors and files: each ends what it must and leaves a state
# that can be read and run on.
import os
import signal
import subprocess
import sys

import pytest

import ljgas

# Runs until interrupted; a second thread watches the state while it runs
# and says when the run is under way.
INTERRUPTED_RUN = """
import threading, time, ljgas
sim = ljgas.Simulation()
def announce():
    while sim.steps == 0:
        time.sleep(0.01)
    print("running", flush=True)
threading.Thread(target=announce, daemon=True).start()
try:
    sim.run(10**12)
except KeyboardInterrupt:
    stopped = sim.steps
    print(stopped, len(sim.temperatures), flush=True)
    sim.run(20)
    print(sim.steps - stopped, flush=True)
"""


def test_ctrl_c_stops_the_run_after_a_whole_step_and_it_goes_on_later():
    child = subprocess.Popen([sys.executable, "-c", INTERRUPTED_RUN], stdout=subprocess.PIPE, text=True,
                             env=os.environ)
    try:
        assert child.stdout.readline() == "running\n"
        child.send_signal(signal.SIGINT)
        out, _ = child.communicate(timeout=60)
    finally:
        child.kill()
    assert child.returncode == 0
    stopped, shown, resumed = (int(word) for word in out.split())
    assert 0 < stopped < 10**12
    assert shown == stopped // 20  # a read-out every 20 steps, none half made
    assert resumed == 20


def test_engine_error_raises_with_its_message_and_leaves_the_state_readable():
    sim = ljgas.Simulation(R=0.0)
    with pytest.raises(ljgas.EngineError, match=r"^Division by zero at step 1: "):
        sim.run(100)
    assert isinstance(ljgas.EngineError(""), RuntimeError)
    assert sim.steps == 0 and len(sim.x) == 225
    with pytest.raises(ljgas.EngineError, match="at step 1:"):  # the next call starts a new run
        sim.run(100)


@pytest.mark.parametrize("make,error,message", [
    (lambda tmp: ljgas.Simulation(R=1e39), ljgas.EngineError, "^initialisation failed: Overflow"),
    (lambda tmp: ljgas.Simulation(R=float("nan")), ValueError, "R must be a finite number"),
    (lambda tmp: ljgas.Simulation(seed=-1), ValueError, "seed must be None or a whole number"),
    (lambda tmp: ljgas.Simulation.from_state(tmp), ljgas.FileError, "it is a directory"),
    (lambda tmp: ljgas.Simulation().run(-1), ValueError, "steps must be 0 or more"),
    (lambda tmp: ljgas.Simulation().run(9, trajectory=tmp / "t", trajectory_format="pdb"), ValueError,
     "'pdb' is no trajectory format"),
    (lambda tmp: ljgas.Simulation().run(9, every=5), ValueError, "every needs trajectory"),
])
def test_what_cannot_start_is_refused_with_a_reason(tmp_path, make, error, message):
    with pytest.raises(error, match=message):
        make(tmp_path)


def test_an_engine_error_ends_the_trajectory_as_in_the_batch_tool(tmp_path):
    # R < 0 fails in step 201; the last frame is the state the error left.
    with pytest.raises(ljgas.EngineError):
        ljgas.Simulation(R=-0.01).run(300, trajectory=tmp_path / "sim.xyz", every=100)
    failed = subprocess.run([os.environ["LJGAS_BATCH"], "--quiet", "--R", "-0.01", "--steps", "300", "--every",
                             "100", "--trajectory-out", str(tmp_path / "batch.xyz")], timeout=120)
    assert failed.returncode == 3
    assert (tmp_path / "sim.xyz").read_bytes() == (tmp_path / "batch.xyz").read_bytes()


def test_a_saved_state_comes_back_bit_for_bit(tmp_path):
    sim = ljgas.Simulation(seed=3)
    sim.run(300)
    sim.save_state(tmp_path / "state.csv")
    back = ljgas.Simulation.from_state(tmp_path / "state.csv", seed=3)
    for name in ("x", "y", "vx", "vy"):
        assert getattr(back, name).tobytes() == getattr(sim, name).tobytes()
    assert back.steps == 0 and len(back.temperatures) == 0
