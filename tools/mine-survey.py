#!/usr/bin/env python3
"""Makes data/mine-survey.csv, the sample mine's ventilation survey.

The "true" mine is data/mine.vad with six resistances changed by known
factors (TRUE_FACTORS). It is solved by orvex-solve, and each measurement of
MEASUREMENTS is read from the batch report's CSV and given Gaussian noise of
its own standard deviation, from a fixed seed: the same file every time.

    tools/mine-survey.py [--solve build/src/cli/orvex-solve] [-o data/mine-survey.csv]

docs/calibration.md shows the fit of the sample to this survey.
"""
import argparse
import csv
import io
import random
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parent.parent
SEED = 20261208

# Road (from, to) -> the factor its resistance has in the "true" mine.
TRUE_FACTORS = {
    (1, 101): 1.3,    # intake shaft: more furniture than the model knows
    (2, 51): 1.25,    # upper decline: parked vehicles
    (10, 140): 0.8,   # return shaft: rehabilitated
    (103, 121): 1.5,  # stope 1A: its regulator closed further
    (205, 223): 0.7,  # stope 2C: its regulator opened
    (303, 321): 1.4,  # stope 3A: broken ground
}

# (kind, from, to, sd in % of the value)
MEASUREMENTS = [
    ("airflow", 1, 101, 3), ("airflow", 2, 51, 3), ("airflow", 10, 140, 3), ("airflow", 5, 103, 4),
    ("airflow", 110, 101, 4), ("airflow", 101, 102, 4), ("airflow", 102, 103, 4), ("airflow", 103, 121, 5),
    ("airflow", 104, 122, 5), ("airflow", 105, 123, 5), ("airflow", 106, 124, 5), ("airflow", 124, 140, 4),
    ("airflow", 210, 201, 4), ("airflow", 202, 203, 4), ("airflow", 203, 221, 5), ("airflow", 204, 222, 5),
    ("airflow", 205, 223, 5), ("airflow", 207, 225, 5), ("airflow", 225, 240, 4), ("airflow", 310, 301, 4),
    ("airflow", 303, 321, 5), ("airflow", 305, 323, 5), ("airflow", 331, 340, 4),
    ("pressure-drop", 1, 101, 5), ("pressure-drop", 2, 51, 5), ("pressure-drop", 10, 140, 5),
    ("pressure-drop", 103, 121, 5), ("pressure-drop", 205, 223, 5), ("pressure-drop", 303, 321, 5),
    ("fan-pressure", 10, 3, 5),
]


def changed_network(folder: Path) -> Path:
    """data/mine.* copied into folder as truth.*, the resistances of TRUE_FACTORS changed."""
    for f in (SOURCE / "data").glob("mine.*"):
        shutil.copy(f, folder / ("truth" + f.suffix))
    vad = folder / "truth.vad"
    lines = vad.read_text(encoding="latin-1").split("\n")
    start = next(i for i, line in enumerate(lines) if line.startswith("Roads:"))
    count = int(lines[start + 1])
    for i in range(start + 2, start + 2 + count):
        fields = lines[i].split()
        factor = TRUE_FACTORS.get((int(fields[0]), int(fields[1])))
        if factor:
            fields[2] = "%.7f" % (float(fields[2]) * factor)
            lines[i] = "%5s %5s %13s %5s %9s %7s %6s" % tuple(fields[:7])
    vad.write_text("\n".join(lines), encoding="latin-1")
    return vad


def tables(report: str):
    """The CSV report's tables (blank lines between them), each a list of dicts."""
    return [list(csv.DictReader(io.StringIO(block))) for block in report.strip().split("\n\n")]


def modelled(kind, a, b, roads, fans):
    if kind == "fan-pressure":
        return float(fans[(a, b)]["pressure (Pa)"]), ""
    road = roads[(a, b)]
    column = "flow (m3/min)" if kind == "airflow" else "pressureLoss (Pa)"
    return float(road[column]), road["name"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--solve", default=str(SOURCE / "build/src/cli/orvex-solve"))
    parser.add_argument("-o", "--output", default=str(SOURCE / "data/mine-survey.csv"))
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        vad = changed_network(Path(tmp))
        run = subprocess.run([args.solve, "--program-folder", str(SOURCE), "--format", "csv", str(vad)],
                             capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit("the changed sample did not solve: " + run.stderr)
    report = tables(run.stdout)
    roads = {(int(r["from"]), int(r["to"])): r for r in report[2]}
    fans = {(int(f["inlet"]), int(f["outlet"])): f for f in report[3]}
    noise = random.Random(SEED)
    rows = []
    for kind, a, b, percent in MEASUREMENTS:
        value, name = modelled(kind, a, b, roads, fans)
        measured = value + noise.gauss(0, abs(value) * percent / 100)
        rows.append("%s,%d,%d,%.1f,%d%%,%s" % (kind, a, b, measured, percent, name))
    changes = ", ".join("%d-%d x%g" % (a, b, f) for (a, b), f in TRUE_FACTORS.items())
    header = [
        "# A ventilation survey of the sample mine (data/mine.vad), made by tools/mine-survey.py:",
        "# the sample with these roads' resistances multiplied,",
        "#   " + changes + ",",
        "# solved by orvex-solve, each value then given Gaussian noise of its standard deviation",
        "# (seed %d). Airflows m3/min, positive from the first node to the second; pressure" % SEED,
        "# drops and the fan pressure Pa; sd in per cent of the value. The last column is a note.",
    ]
    Path(args.output).write_text("\n".join(header + ["kind,from,to,value,sd,note"] + rows) + "\n")


if __name__ == "__main__":
    main()
