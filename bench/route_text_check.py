#!/usr/bin/env python3
"""Compares two dumps of route_text_dump (REFERENCE and NEW directories).

Every result line that differs is classified:
  half flip   the texts differ in exactly one number by one unit of its last
              printed digit, and the unrounded values behind that number, in
              its own unit (metres, degrees, packed degrees, arc seconds for
              gg°mm'ss.sssss), lie within 1e-9 of the rounding half between the
              two texts in both dumps and differ from each other by less than
              1e-9 -- the same number rounded on either side of a half;
  regression  anything else.
It prints, per file, the lines compared, the identical lines, the half flips
and the regressions (with the first few), and per case the largest change of
the unrounded values; it exits with status 1 when there is a regression.

  bench/route_text_check.py REFERENCE NEW
"""
import re
import sys
from decimal import Decimal, getcontext
from pathlib import Path

getcontext().prec = 60

TOLERANCE = Decimal("1e-9")
DMS = re.compile(r"^(-?)(\d+)\u00b0(-?)(\d+)'(-?)(\d+(?:\.\d*)?)$")


def split_packed(value):
    """Degrees, minutes and seconds of a packed value, exactly (minutes read
    as written: a product short of a whole minute by under 1e-9 is that minute)."""
    v = Decimal(value)
    g = Decimal(int(v))
    product = (v - g) * 100
    m = Decimal(int(product))
    if abs(product - m) > 1 - TOLERANCE:
        m += -1 if product < 0 else 1
    s = (v - g - m / 100) * 10000
    return g, m, s


def packed_to_degrees(value):
    g, m, s = split_packed(value)
    return g + (s / 60 + m) / 60


def packed_to_seconds(value):
    g, m, s = split_packed(value)
    return g * 3600 + m * 60 + s


def printed_value(text, kind):
    """The number a field shows and the number of its decimals."""
    text = text.strip()
    if kind == "dms":
        match = DMS.match(text)
        if not match:
            raise ValueError(text)
        sd, d, sm, m, ss, s = match.groups()
        total = (Decimal(d) * (-1 if sd else 1) * 3600 + Decimal(m) * (-1 if sm else 1) * 60 +
                 Decimal(s) * (-1 if ss else 1))
        decimals = len(s.split(".")[1]) if "." in s else 0
        return total, decimals
    decimals = len(text.split(".")[1]) if "." in text else 0
    return Decimal(text), decimals


# Per output: how to cut a line into fields, and per field its kind and the
# unrounded value behind it (from the raw x, y, h of the route).
def fields_of(line, output):
    if output == "fOzi":
        parts = line.split(",")
        return [(parts[2], "deg", lambda r: packed_to_degrees(r[0])),
                (parts[3], "deg", lambda r: packed_to_degrees(r[1]))]
    parts = line.split("\t")
    if output in ("StandEnd", "MaxEnd", "MinEnd"):
        kinds = [("m", lambda r: Decimal(r[0])), ("m", lambda r: Decimal(r[1]))]
    elif output == "mnuGGG":
        kinds = [("deg", lambda r: packed_to_degrees(r[0])), ("deg", lambda r: packed_to_degrees(r[1]))]
    elif output == "mnugms1_":
        kinds = [("packed", lambda r: Decimal(r[0])), ("packed", lambda r: Decimal(r[1]))]
    elif output == "mnugms2_":
        kinds = [("dms", lambda r: packed_to_seconds(r[0])), ("dms", lambda r: packed_to_seconds(r[1]))]
    else:
        raise ValueError(output)
    kinds.append(("m", lambda r: Decimal(r[2])))
    return [(parts[i], kinds[i][0], kinds[i][1]) for i in range(min(len(parts), 3))]


def classify(ref_line, new_line, ref_raw, new_raw, output):
    """None for a half flip, else the reason it is a regression."""
    ref_fields = fields_of(ref_line, output)
    new_fields = fields_of(new_line, output)
    if len(ref_fields) != len(new_fields):
        return "different fields"
    if output == "fOzi":
        # Everything but latitude and longitude must be the same text.
        a, b = ref_line.split(","), new_line.split(",")
        if a[:2] + a[4:] != b[:2] + b[4:]:
            return "waypoint fields other than latitude/longitude differ"
    changed = 0
    for (t0, kind, raw_of), (t1, _, _) in zip(ref_fields, new_fields):
        if t0 == t1:
            continue
        changed += 1
        p0, d0 = printed_value(t0, kind)
        p1, d1 = printed_value(t1, kind)
        unit = Decimal(1).scaleb(-d0)
        if d0 != d1 or abs(p0 - p1) != unit:
            return f"'{t0.strip()}' -> '{t1.strip()}' is not one unit of the last digit"
        r0, r1 = raw_of(ref_raw), raw_of(new_raw)
        # Plane values are written with whole-metre offsets (zone prefix, short X).
        offset = (r0 - p0).to_integral_value()
        r0, r1 = r0 - offset, r1 - offset
        half = (p0 + p1) / 2
        if abs(r0 - r1) >= TOLERANCE:
            return f"'{t0.strip()}' -> '{t1.strip()}': unrounded values differ by {abs(r0 - r1):.3e}"
        if abs(r0 - half) >= TOLERANCE or abs(r1 - half) >= TOLERANCE:
            return f"'{t0.strip()}' -> '{t1.strip()}': unrounded values not at the half ({r0} / {r1})"
    if changed == 0:
        return "text differs outside the numbers"
    if changed > 1:
        return "more than one number changed"
    return None


def read_raw(path):
    with open(path) as f:
        return [line.split() for line in f]


def main(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    ref_dir, new_dir = Path(argv[1]), Path(argv[2])
    total_regressions = 0
    total_flips = 0
    raws = {}
    print(f"{'file':48} {'lines':>7} {'same':>7} {'flips':>6} {'regr':>6}")
    for ref_path in sorted(ref_dir.glob("*.txt")):
        case, output = ref_path.stem.rsplit(".", 1)
        new_path = new_dir / ref_path.name
        if not new_path.exists():
            print(f"{ref_path.name}: missing in {new_dir}")
            total_regressions += 1
            continue
        if case not in raws:
            raws[case] = (read_raw(ref_dir / f"{case}.raw"), read_raw(new_dir / f"{case}.raw"))
        ref_raw, new_raw = raws[case]
        ref_lines = ref_path.read_text(encoding="utf-8").splitlines()
        new_lines = new_path.read_text(encoding="utf-8").splitlines()
        same = flips = 0
        problems = []
        if len(ref_lines) != len(new_lines):
            problems.append((0, f"{len(ref_lines)} lines against {len(new_lines)}"))
        for i, (a, b) in enumerate(zip(ref_lines, new_lines)):
            if a == b:
                same += 1
                continue
            reason = classify(a, b, ref_raw[i], new_raw[i], output)
            if reason is None:
                flips += 1
            else:
                problems.append((i + 1, f"{reason}\n      ref: {a}\n      new: {b}"))
        print(f"{ref_path.name:48} {len(ref_lines):7} {same:7} {flips:6} {len(problems):6}")
        for line, reason in problems[:5]:
            print(f"    line {line}: {reason}")
        total_flips += flips
        total_regressions += len(problems)

    print("\nlargest change of the unrounded values per case (x, y, h as the route returns them:")
    print("metres, or packed degrees for geographic results; h metres)")
    for case, (ref_raw, new_raw) in sorted(raws.items()):
        worst = [0.0, 0.0, 0.0]
        changed = 0
        for a, b in zip(ref_raw, new_raw):
            if a != b:
                changed += 1
            for k in range(3):
                worst[k] = max(worst[k], abs(float(a[k]) - float(b[k])))
        print(f"  {case:40} {changed:7} of {len(ref_raw)} points changed; "
              f"max |dx| {worst[0]:.2e} |dy| {worst[1]:.2e} |dh| {worst[2]:.2e}")
    print(f"\nhalf flips: {total_flips}; regressions: {total_regressions}")
    return 1 if total_regressions else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
