"""Reads an HDF5 export with h5py and compares every time and value with the CSV export of the same
recording; prints what differs and exits 1, or exits 0."""
import csv
import sys

import h5py

h5_path, csv_path = sys.argv[1], sys.argv[2]
BITS = {"ON": 1.0, "OFF": 0.0}  # the CSV writes a bit's value as a word


def number(text):
    return BITS[text] if text in BITS else float(text)


with open(csv_path, encoding="utf-8-sig", newline="") as f:
    rows = list(csv.reader(f))
header, body = rows[0], rows[1:]
with h5py.File(h5_path, "r") as h5:
    groups = list(h5.keys())
    if len(groups) * 2 != len(header):
        sys.exit(f"{len(groups)} groups against {len(header)} CSV columns")
    for k, name in enumerate(groups):
        group = h5[name]
        times, values = group["time_ms"][:], group["value"][:]
        column = [(r[2 * k], r[2 * k + 1]) for r in body if len(r) > 2 * k + 1 and r[2 * k] != ""]
        if len(column) != len(times):
            sys.exit(f"{name}: {len(times)} samples in HDF5, {len(column)} in CSV")
        for i, (t, v) in enumerate(column):
            if abs(float(t) - times[i]) > 1e-9 or abs(number(v) - values[i]) > 1e-6 * max(1.0, abs(values[i])):
                sys.exit(f"{name}[{i}]: ({times[i]}, {values[i]}) against ({t}, {v})")
        for attribute in ("element", "type", "period_ms", "program_version"):
            if attribute not in group.attrs:
                sys.exit(f"{name}: no attribute {attribute}")
    if "layout" not in h5.attrs:
        sys.exit("no layout attribute")
print("same")
