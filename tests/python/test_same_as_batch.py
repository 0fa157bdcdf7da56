# The module drives the engine as ljgas-batch does: the same options give the
# same state to the byte, the same temperatures, g(r), observables and means;
# and the examples of the README and the Python page run as printed.
import csv
import io
import os
import pathlib
import subprocess
import sys

import pytest

import ljgas
from conftest import rows

CASES = [
    # Simulation's arguments, sim.run's steps in turn
    ({}, [1000]),
    ({}, [400, 600]),  # one run continued, not two runs
    (dict(R=0.012, e0=0.3, Tsoll=0.25, thermostat=False, seed=7), [1000]),
    (dict(dynamics="conserving", thermostat_kind="canonical", seed=3), [300, 700]),
]


def batch_options(settings):
    options = ["--steps", "1000"]
    for name, option in (("R", "--R"), ("e0", "--e0"), ("Tsoll", "--tsoll")):
        if name in settings:
            options += [option, repr(settings[name])]
    if settings.get("thermostat") is False:
        options += ["--thermostat", "off"]
    if settings.get("seed") is not None:
        options += ["--seed", str(settings["seed"])]
    for name in ("dynamics", "thermostat_kind"):
        if name in settings:
            options += ["--" + name.replace("_", "-"), settings[name]]
    return options


@pytest.mark.parametrize("settings,runs", CASES)
def test_state_after_1000_steps_is_the_batch_state_byte_for_byte(tmp_path, batch, settings, runs):
    sim = ljgas.Simulation(**settings)
    for steps in runs:
        sim.run(steps)
    sim.save_state(tmp_path / "sim.csv")
    written = batch(*batch_options(settings))

    assert (tmp_path / "sim.csv").read_bytes() == written["--state-out"].read_bytes()
    assert sim.steps == 1000
    shown = rows(written["--temperature-out"])
    assert sim.temperature_steps.tolist() == [int(row["step"]) for row in shown]
    assert ["%.9g" % T for T in sim.temperatures] == [row["T"] for row in shown]


def test_gr_and_observables_are_those_the_batch_writes(batch):
    sim = ljgas.Simulation()
    sim.run(1000)
    written = batch("--steps", "1000")

    r, g_norm = sim.gr()
    table = rows(written["--gr-out"])
    assert len(r) == len(g_norm) == len(table) == 200
    # The file holds nine significant digits of each.
    assert ["%.9g" % v for v in r] == [row["r"] for row in table]
    assert ["%.9g" % v for v in g_norm] == [row["g_norm"] for row in table]
    assert 0.5 < g_norm[150] < 1.5  # far from a disc the gas is uncorrelated

    last = rows(written["--thermo-out"])[-1]
    assert last["step"] == "1000"
    measured = sim.observables()
    assert {name: float(last[name]) for name in measured} == measured


def test_sweep_means_are_those_of_the_batch_summary():
    # A process of its own: the replicas' threads are the first to use the
    # module there.
    out = subprocess.run(
        [sys.executable, "-m", "ljgas.sweep", "--tsoll", "0.25", "--seeds", "2", "--steps", "600",
         "--equilibrate", "300", "--jobs", "2"],
        check=True, capture_output=True, text=True, timeout=120).stdout
    table = list(csv.DictReader(io.StringIO(out)))
    assert [row["seed"] for row in table] == ["1", "2"]
    for row in table:
        summary = subprocess.run(
            [os.environ["LJGAS_BATCH"], "--tsoll", "0.25", "--seed", row["seed"], "--steps", "600",
             "--equilibrate", "300", "--thermo-out", os.devnull],
            check=True, capture_output=True, text=True, timeout=120).stdout
        assert "mean potential    %s (%s read-outs after step 300)" % (row["potential"], row["read_outs"]) in summary
        assert "mean pressure     %s\n" % row["pressure"] in summary


@pytest.mark.parametrize("page", ["README.md", "docs/python.md"])
def test_the_examples_run_as_printed(tmp_path, monkeypatch, capsys, page):
    text = (pathlib.Path(__file__).parents[2] / page).read_text()
    example = text.split("```python\n", 1)[1].split("```", 1)[0]
    monkeypatch.chdir(tmp_path)
    monkeypatch.setenv("MPLBACKEND", "Agg")
    exec(compile(example, page, "exec"), {})
    if "savefig" in example:
        assert (tmp_path / "gr.png").stat().st_size > 0
    else:
        assert "'potential': -" in capsys.readouterr().out


@pytest.mark.parametrize("name", ["t.xyz", "t.lammpstrj"])
def test_trajectory_is_the_batch_trajectory_byte_for_byte(tmp_path, batch, name):
    ljgas.Simulation().run(1000, trajectory=tmp_path / name, every=300)
    batch("--steps", "1000", "--every", "300", "--trajectory-out", str(tmp_path / ("batch-" + name)))
    assert (tmp_path / name).read_bytes() == (tmp_path / ("batch-" + name)).read_bytes()


def test_a_continued_run_records_its_own_steps_in_the_format_named(tmp_path):
    sim = ljgas.Simulation()
    sim.run(500)
    sim.run(500, trajectory=tmp_path / "t.txt", every=200, trajectory_format="lammpstrj")
    lines = (tmp_path / "t.txt").read_text().split("\n")
    steps = [int(lines[i + 1]) for i, line in enumerate(lines) if line == "ITEM: TIMESTEP"]
    assert steps == [500, 600, 800, 1000]


def test_reverse_brings_the_conserving_gas_back_to_its_start():
    sim = ljgas.Simulation(dynamics="conserving", thermostat=False)
    x, y = sim.x.copy(), sim.y.copy()
    sim.run(1500)
    sim.reverse()
    sim.run(1500)
    assert (sim.x == x).all() and (sim.y == y).all()
