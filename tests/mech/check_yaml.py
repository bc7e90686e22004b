#!/usr/bin/env python3
"""orvalen-mech's Cantera YAML read by a YAML library (python3-yaml), every key
and number checked, the thermo evaluated as Cantera evaluates NASA7 (data[0]
below Tmid, data[1] above), and held against the Chemkin mechanism and thermo
cards of the same run.

usage: check_yaml.py ORVALEN_MECH FIXTURES_DIR   (exit status 0: all checks hold)
"""
import math
import os
import subprocess
import sys
import tempfile

import yaml

FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)


def cp_r(a, T):
    return a[0] + a[1] * T + a[2] * T**2 + a[3] * T**3 + a[4] * T**4


def h_rt(a, T):
    return (a[0] + a[1] * T / 2 + a[2] * T**2 / 3 + a[3] * T**3 / 4 + a[4] * T**4 / 5
            + a[5] / T)


def s_r(a, T):
    return (a[0] * math.log(T) + a[1] * T + a[2] * T**2 / 2 + a[3] * T**3 / 3
            + a[4] * T**4 / 4 + a[6])


def close(x, y, rel):
    return abs(x - y) <= rel * max(abs(x), abs(y), 1e-300)


def thermo_cards(path):
    """name -> (Tlow, Thigh, Tmid, high a1..a7, low a1..a7) from the 80-column cards."""
    lines = open(path, encoding="ascii").read().splitlines()
    cards = {}
    i = 0
    while i < len(lines):
        line = lines[i]
        if len(line) == 80 and line[79] == "1":
            name = line[0:18].strip()
            tl, th, tm = float(line[45:55]), float(line[55:65]), float(line[65:73])
            check(line[44] == "G", name + ": phase column 45 is not G")
            coeffs = []
            for k in range(1, 4):
                card = lines[i + k]
                check(len(card) == 80 and card[79] == str(k + 1), name + ": card %d" % (k + 1))
                n = 5 if k < 3 else 4
                coeffs += [float(card[15 * j:15 * j + 15]) for j in range(n)]
            cards[name] = (tl, th, tm, coeffs[0:7], coeffs[7:14])
            i += 4
        else:
            i += 1
    return cards


def chemkin_reactions(path):
    text = open(path, encoding="ascii").read().splitlines()
    start = text.index("REACTIONS KJOULES/MOLE MOLES")
    reactions = []
    for line in text[start + 1:]:
        if line == "END":
            break
        if line.startswith("!"):
            continue
        words = line.split()
        reactions.append((words[0], float(words[1]), float(words[2]), float(words[3])))
    return reactions


def check_mechanism(doc, cards, reactions, reversible):
    check(set(doc) >= {"description", "generator", "units", "phases", "species", "reactions"},
          "top-level keys: %s" % sorted(doc))
    check(doc["generator"].startswith("orvalen-mech"), "generator")
    check(doc["units"] == {"length": "cm", "quantity": "mol", "activation-energy": "kJ/mol"},
          "units %s" % doc["units"])
    check(len(doc["phases"]) == 1, "one phase")
    phase = doc["phases"][0]
    names = [s["name"] for s in doc["species"]]
    for key, value in (("name", "gas"), ("thermo", "ideal-gas"), ("kinetics", "gas"),
                       ("reactions", "all"), ("species", names)):
        check(phase.get(key) == value, "phase %s: %s" % (key, phase.get(key)))
    check(phase["state"] == {"T": 300.0, "P": "1 atm"}, "state %s" % phase["state"])
    elements = set()
    for s in doc["species"]:
        name = s["name"]
        check(set(s) == {"name", "composition", "thermo", "note"}, name + " keys %s" % sorted(s))
        check(all(isinstance(n, int) and n > 0 for n in s["composition"].values()),
              name + " composition")
        elements |= set(s["composition"])
        t = s["thermo"]
        check(t["model"] == "NASA7" and t["reference-pressure"] == "1 atm", name + " thermo")
        tl, tm, th = t["temperature-ranges"]
        check(all(isinstance(x, float) for x in (tl, tm, th)) and tl < tm < th, name + " ranges")
        low, high = t["data"]
        check(len(low) == 7 and len(high) == 7 and all(isinstance(x, float) for x in low + high),
              name + " data")
        # Continuous at Tmid as Cantera evaluates it.
        for f in (cp_r, h_rt, s_r):
            check(close(f(low, tm), f(high, tm), 1e-10),
                  "%s: %s jumps at Tmid: %r, %r" % (name, f.__name__, f(low, tm), f(high, tm)))
        check("NASA fit largest deviations" in s["note"], name + " note")
        # The same numbers on the thermo cards (9 digits there).
        card = cards.get(name)
        check(card is not None, name + ": no thermo card")
        if card:
            check((card[0], card[1], card[2]) == (tl, th, tm), name + ": card ranges")
            for a, b in zip(card[3] + card[4], high + low):
                check(close(a, b, 6e-9), "%s: card %r against YAML %r" % (name, a, b))
    check(set(phase["elements"]) == elements, "elements %s" % phase["elements"])
    check(len(doc["reactions"]) == len(reactions), "reaction count")
    for r, ck in zip(doc["reactions"], reactions):
        eq = r["equation"]
        arrow = " <=> " if reversible else " => "
        check(arrow in eq, eq + ": arrow")
        for side in eq.split(arrow.strip()):
            for n in side.split(" + "):
                check(n.strip() in names, eq + ": " + n + " is not a species")
        k = r["rate-constant"]
        check(set(k) == {"A", "b", "Ea"}, eq + " rate-constant keys")
        check(ck[0] == eq.replace(" ", ""), "Chemkin equation %s against %s" % (ck[0], eq))
        for a, b in zip(ck[1:], (k["A"], k["b"], k["Ea"])):
            check(close(a, b, 1e-8), "%s: Chemkin %r against YAML %r" % (eq, a, b))
        check("high-pressure limit" in r["note"] and "job" in r["note"], eq + " note")


def main():
    binary, fixtures = sys.argv[1], sys.argv[2]
    jobs = [os.path.join(fixtures, j) for j in ("h_ch4.inp", "ch3_h.inp")]
    with tempfile.TemporaryDirectory() as tmp:
        for reversible in (True, False):
            out = [os.path.join(tmp, f) for f in ("m.yaml", "m.inp", "therm.dat")]
            args = [binary] + jobs + ["--atoms", os.path.join(fixtures, "atoms.txt"),
                                      "-o", out[0], "--chemkin", out[1], "--thermo", out[2]]
            if not reversible:
                args.append("--irreversible")
            run = subprocess.run(args, capture_output=True, text=True)
            check(run.returncode == 0, "orvalen-mech exit status %d: %s" %
                  (run.returncode, run.stderr))
            if run.returncode != 0:
                break
            with open(out[0], encoding="utf-8") as f:
                doc = yaml.safe_load(f)
            check_mechanism(doc, thermo_cards(out[2]), chemkin_reactions(out[1]), reversible)
            # H(298.15) of the polynomials is the formation enthalpy the description gives.
            for s in doc["species"]:
                low = s["thermo"]["data"][0]
                h = h_rt(low, 298.15) * 8.314472 * 298.15 / 1000.0
                line = [l for l in doc["description"].splitlines()
                        if l.startswith(s["name"] + ": DfH(298.15 K) = ")]
                check(len(line) == 1, s["name"] + ": no DfH line in the description")
                if line:
                    given = float(line[0].split("= ")[1].split()[0])
                    check(abs(h - given) < 0.1, "%s: H(298.15) %.3f against DfH %.2f" %
                          (s["name"], h, given))
    for f in FAILURES:
        print("check_yaml: " + f, file=sys.stderr)
    print("check_yaml: %d failure(s)" % len(FAILURES))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
