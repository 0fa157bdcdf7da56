"""The two-dimensional Lennard-Jones gas of ljgas, in Python.

    import ljgas
    sim = ljgas.Simulation(R=0.01, e0=0.2, Tsoll=0.3, thermostat=True, seed=None)
    sim.run(20000)                  # Ctrl+C stops it after the step in progress
    r, g = sim.gr()                 # g(r) at the bins' centres, r in box lengths
    sim.observables()["pressure"]
    sim.save_state("end.csv")       # ljgas-batch --state-in reads it back
    sim.run(10000, trajectory="run.lammpstrj", every=100)   # or "run.xyz"

A Simulation does what ljgas-batch does with the same options, bit for bit:
sim.run(1000) leaves the state that `ljgas-batch --steps 1000` writes.
Engine errors raise ljgas.EngineError (a RuntimeError), files that cannot be
read or written ljgas.FileError (an OSError).
"""

from ._ljgas import EngineError, FileError, Simulation

__all__ = ["EngineError", "FileError", "Simulation"]
