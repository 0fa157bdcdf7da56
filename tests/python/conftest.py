# ljgas-batch, started by its path, as the reference the module must match.
import csv
import os
import subprocess

import pytest


class Batch:
    def __init__(self, folder):
        self.folder = folder

    def __call__(self, *options):
        """Runs ljgas-batch; returns the path of each output it wrote, by option."""
        outputs = {}
        arguments = [os.environ["LJGAS_BATCH"], "--quiet"]
        for option in ("--state-out", "--gr-out", "--temperature-out", "--thermo-out"):
            outputs[option] = self.folder / (option[2:] + ".csv")
            arguments += [option, str(outputs[option])]
        subprocess.run(arguments + list(options), check=True, timeout=120)
        return outputs


@pytest.fixture
def batch(tmp_path):
    return Batch(tmp_path)


def rows(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f))
