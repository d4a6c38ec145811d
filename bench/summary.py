#!/usr/bin/env python3
"""Prints the rows the benchmarks left in the summary file as one table: first
a row for each aim the bar is held to, in this order and with this aim whatever
the benchmark wrote, then the other rows with the aim their benchmark gave;
each with its verdict. An aim whose benchmark left no row is shown as not
measured."""
import re
import sys

# (the measure as named in the table, the name its benchmark writes, aim); the aim
# is met when the ratio column is at most the number.
AIMS = [
    ("51 MB slot copied to xclip -o", r"\d+ MB slot copied to xclip -o", "<= 1.2"),
    ("peak memory, 51 MB captured and copied", r"peak memory, \d+ MB captured and copied", "<= 1.5"),
    ("document save, 100 MB", r"document save, 100 MB", "<= 1.2"),
    ("document load, 100 MB", r"document load, 100 MB", "<= 1.0"),
    ("start-up, settings file, every feature in", r"start-up, settings file, every feature in", "<= 1.05"),
    ("velmora --copy K to xclip -o", r"velmora --copy K to xclip -o", "<= 1.0"),
    ("velmora --copy K to wl-paste, sway", r"velmora --copy K to wl-paste, sway", "<= 1.5"),
]


def number(text):
    found = re.search(r"[-+]?\d+(\.\d+)?", text)
    return float(found.group()) if found else None


def verdict(ratio, aim):
    value, limit = number(ratio), number(aim)
    if value is None or limit is None or not aim.startswith("<="):
        return ""
    return "met" if value <= limit else "NOT MET"


rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1]) if line.strip()]
rows = [row + [""] * (5 - len(row)) for row in rows]
table = []
for name, pattern, aim in AIMS:
    found = [row for row in rows if re.fullmatch(pattern, row[0])]
    if found:
        table.append(found[0][:4] + [aim, verdict(found[0][3], aim)])
        rows.remove(found[0])
    else:
        table.append([name, "", "", "", aim, "not measured"])
table.append(None)
table += [row[:5] + [verdict(row[3], row[4])] for row in rows]

header = ["measure", "velmora", "floor", "ratio", "aim", "verdict"]
widths = [max(len(row[i]) for row in [header] + [r for r in table if r]) for i in range(6)]


def line(row):
    cells = [row[0].ljust(widths[0])] + [cell.rjust(w) for cell, w in zip(row[1:5], widths[1:5])]
    return "  ".join(cells + [row[5].ljust(widths[5])]).rstrip()


print(line(header))
print("  ".join("-" * w for w in widths))
for row in table:
    print(line(row) if row else "  ".join("." * w for w in widths))
