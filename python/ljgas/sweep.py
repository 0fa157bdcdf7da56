"""A sweep over target temperatures, with replicas, one simulation a thread.

    python3 -m ljgas.sweep --tsoll 0.1 0.2 0.3 --seeds 3 --steps 20000 --equilibrate 2000

prints one CSV row per Tsoll and seed: the mean temperature shown, the mean
potential energy and the mean pressure, over the read-outs after step
`equilibrate` (the means ljgas-batch's summary gives for the same options
and --seed), and how many read-outs that was. A replica that ends with an
engine error prints its row with empty means and the message on stderr. The
runs share the cores: each releases the GIL while it steps.
"""

import argparse
import os
import sys
import threading
from concurrent.futures import ThreadPoolExecutor

from . import EngineError, Simulation

READ_OUT_STEPS = 20  # a temperature is shown at the end of every 20th step


class Means:
    """Sums as ljgas-batch adds them, in order, in double precision."""

    def __init__(self):
        self.T = self.potential = self.pressure = 0.0
        self.count = 0

    def add(self, T, observables):
        self.T += T
        self.potential += observables["potential"]
        self.pressure += observables["pressure"]
        self.count += 1

    def row(self):
        if self.count == 0:
            return ["", "", "", "0"]
        n = self.count
        return ["%.9g" % (self.T / n), "%.9g" % (self.potential / n), "%.9g" % (self.pressure / n), str(n)]


def replica(options, Tsoll, seed, stop):
    """Runs one replica in steps of one read-out; returns its CSV fields."""
    means = Means()
    try:
        sim = Simulation(R=options.R, e0=options.e0, Tsoll=Tsoll, thermostat=True, seed=seed)
        while sim.steps < options.steps and not stop.is_set():
            sim.run(min(READ_OUT_STEPS, options.steps - sim.steps))
            if sim.steps % READ_OUT_STEPS == 0 and sim.steps > options.equilibrate:
                means.add(float(sim.temperatures[-1]), sim.observables())
    except EngineError as error:
        print("ljgas.sweep: Tsoll %r, seed %d: %s" % (Tsoll, seed, error), file=sys.stderr)
        return [repr(Tsoll), str(seed)] + Means().row()
    return [repr(Tsoll), str(seed)] + means.row()


def parse(arguments):
    parser = argparse.ArgumentParser(prog="python3 -m ljgas.sweep", description=__doc__.split("\n\n")[0])
    parser.add_argument("--tsoll", type=float, nargs="+", required=True, help="target temperatures")
    parser.add_argument("--seeds", type=int, default=1, help="replicas per Tsoll, seeds 1..N (default 1)")
    parser.add_argument("--steps", type=int, default=10000, help="steps of each run (default 10000)")
    parser.add_argument("--equilibrate", type=int, default=200,
                        help="leave the read-outs up to this step out of the means (default 200)")
    parser.add_argument("--R", type=float, default=0.01, help="disc radius (default 0.01)")
    parser.add_argument("--e0", type=float, default=0.2, help="well depth (default 0.2)")
    parser.add_argument("-j", "--jobs", type=int, default=os.cpu_count() or 1,
                        help="simulations at once (default: one a core)")
    options = parser.parse_args(arguments)
    if options.seeds < 1 or options.steps < 0 or options.jobs < 1:
        parser.error("--seeds and --jobs take 1 or more, --steps 0 or more")
    return options


def main(arguments=None):
    options = parse(arguments)
    stop = threading.Event()
    print("Tsoll,seed,T,potential,pressure,read_outs", flush=True)
    with ThreadPoolExecutor(max_workers=options.jobs) as pool:
        rows = [pool.submit(replica, options, Tsoll, seed, stop)
                for Tsoll in options.tsoll for seed in range(1, options.seeds + 1)]
        try:
            for row in rows:
                print(",".join(row.result()), flush=True)
        except KeyboardInterrupt:
            stop.set()  # every replica stops at its next read-out
            print("ljgas.sweep: interrupted", file=sys.stderr)
            return 130
    return 0


if __name__ == "__main__":
    sys.exit(main())
