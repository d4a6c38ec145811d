#!/usr/bin/env python3
"""Prints the rows the benchmarks left in the summary file as one table."""
import sys

rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1]) if line.strip()]
header = ["measure", "velmora", "floor", "ratio", "aim"]
widths = [max(len(row[i]) for row in rows + [header]) for i in range(5)]
print("  ".join(h.ljust(w) for h, w in zip(header, widths)))
print("  ".join("-" * w for w in widths))
for row in rows:
    print("  ".join([row[0].ljust(widths[0])] + [cell.rjust(w) for cell, w in zip(row[1:], widths[1:])]))
