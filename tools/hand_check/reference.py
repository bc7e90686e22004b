#!/usr/bin/env python3
"""Independent hand calculation of the key report values of a job folder.

    python3 tools/hand_check/reference.py examples/oh_ch4     # key report lines of a job
    python3 tools/hand_check/reference.py --self-test         # check against worked values
    python3 tools/hand_check/reference.py --compare examples/oh_ch4 oh_ch4.out
                                            # every key line must be a line of the report

Written directly from the RRHO and TST formulas (not from the C++ sources): per molecule the
Qtot, ZPEtot, Utot, Htot, Stot and Gtot lines and vibration rows; the reaction lines DrEE,
DrZPE, DrH and DrG; the activation enthalpy dH0, the kQ and kG rows (and the effective rate
constant when the job asks for it); the three tunnelling coefficients. Each line is printed
as the report's format text writes it, so that it can be compared with a report by eye or
with grep. The arithmetic follows the order of the formulas (x*x*x for a cube, products left
to right), in IEEE doubles, so the printed digits should agree with the program's.
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import molfile  # noqa: E402

# Constants (CODATA 1998) and unit factors; 1 Hartree = 2625.3035184 kJ/mol.
PI = 3.141592653589793
BOLTZ = 1.3806503e-23
PLANCK = 6.62606876e-34
CLIGHT = 299792458.0
AVOGADRO = 6.02214199e23
RGAS = BOLTZ * AVOGADRO
AMU = 1.66053873e-27
ANGSTROM = 1.0e-10
KJ2HARTREE = 3.809083380231225e-4
KJ2KCAL = 0.2390057361376673
KJMOL2J = 1.0 / AVOGADRO * 1000.0
P0 = 100000.0  # standard pressure of the concentration factor, Pa


# --- Fortran-style output fields ---------------------------------------------------------

def _nonfinite(x, w):
    if math.isnan(x):
        return "NaN".rjust(w) if w >= 3 else "*" * w
    if x > 0:
        return "Infinity".rjust(w) if w >= 8 else "Inf".rjust(w) if w >= 3 else "*" * w
    return "-Infinity".rjust(w) if w >= 9 else "-Inf".rjust(w) if w >= 4 else "*" * w


def F(x, w, d):
    """Fw.d: fixed point; the 0 before the point is dropped when there is no room for it."""
    if not math.isfinite(x):
        return _nonfinite(x, w)
    s = "%.*f" % (d, x)
    if len(s) > w and s.startswith("0."):
        s = s[1:]
    elif len(s) > w and s.startswith("-0."):
        s = "-" + s[2:]
    return s.rjust(w) if len(s) <= w else "*" * w


def E(x, w, d, letter="E"):
    """1PEw.d (or 1PDw.d): one digit before the point, E+XX, or +XXX for |exponent| >= 100."""
    if not math.isfinite(x):
        return _nonfinite(x, w)
    mantissa, exponent = ("%.*e" % (d, x)).split("e")
    e = int(exponent)
    sign = "-" if e < 0 else "+"
    if abs(e) <= 99:
        s = mantissa + letter + sign + "%02d" % abs(e)
    elif abs(e) <= 999:
        s = mantissa + sign + "%03d" % abs(e)
    else:
        return "*" * w
    return s.rjust(w) if len(s) <= w else "*" * w


def D(x, w, d):
    return E(x, w, d, "D")


def I(n, w):
    s = "%d" % n
    return s.rjust(w) if len(s) <= w else "*" * w


def A(text, w):
    return text.rjust(w) if len(text) <= w else text[:w]


def energy_line(label, x):
    # ( ' Htot = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')
    return (" " + label + F(x, 10, 3) + "  kJ/mol" + F(x * KJ2KCAL, 10, 3) + "  kcal/mol"
            + F(x * KJ2HARTREE, 16, 8) + " Hartree  ")


def entropy_line(label, s):
    # ( ' Stot = ',f10.3,' J/K/mol',f10.3,' cal/K/mol',f16.8,' Hartree/K')
    return (" " + label + F(s, 10, 3) + " J/K/mol" + F(s * KJ2KCAL, 10, 3) + " cal/K/mol"
            + F(s * (KJ2HARTREE * 0.001), 16, 8) + " Hartree/K")


def q_line(label, q):
    # (/' Qtot = ',1pE15.5,'   ln(Qtot)=',0pf12.5,'   lg(Qtot)=',0pf12.5)
    return (" %s = " % label + E(q, 15, 5) + "   ln(%s)=" % label + F(math.log(q), 12, 5)
            + "   lg(%s)=" % label + F(math.log10(q), 12, 5))


# --- thermochemistry of one molecule -----------------------------------------------------

def calctdf(q, dqdt, hflag, t):
    """S in J/(mol K); F, U, H, G in kJ/mol, from Q and dQ/dT."""
    f = -(RGAS * t) * math.log(q)
    s = RGAS * math.log(q) + RGAS * t * dqdt / q
    u = f + t * s
    h = u
    if hflag == 1:
        h = h + RGAS * t
    g = h - t * s
    return {"S": s, "F": f / 1000.0, "U": u / 1000.0, "H": h / 1000.0, "G": g / 1000.0}


def electronic(mult, t):
    g = float(mult)
    s = RGAS * math.log(g)
    return {"Q": g, "S": s, "U": 0.0, "H": 0.0, "G": 0.0 - s * t * 0.001,
            "F": 0.0 - s * t * 0.001}


def translational(mass, t, p):
    vm = RGAS * t / p
    x = (PI + PI) * mass * AMU * BOLTZ
    a = math.sqrt(x * x * x) / (PLANCK * PLANCK * PLANCK) * (vm / AVOGADRO)
    q = a * math.sqrt(t * t * t)
    r = calctdf(q, a * 1.5 * math.sqrt(t), 1, t)
    r["Q"] = q
    return r


def rotational(natoms, linear, rotnum, pmoi, t):
    if natoms == 1:
        q, dq = 1.0, 0.0
    else:
        sigma = float(rotnum)
        ia, ib, ic = (m * AMU * ANGSTROM * ANGSTROM for m in pmoi)
        if linear != 1:
            k = 8.0 * PI * PI * BOLTZ / PLANCK / PLANCK
            k = k * k * k
            b = math.sqrt(PI * k * ia * ib * ic) / sigma
            q, dq = b * math.sqrt(t * t * t), b * 1.5 * math.sqrt(t)
        else:
            b = 8.0 * (PI * PI) * BOLTZ * ia / sigma / (PLANCK * PLANCK)
            q, dq = b * t, b
    r = calctdf(q, dq, 0, t)
    r["Q"] = q
    return r


def vibrational(modes, t):
    """Per-mode rows and the sums over the used modes (frequency > 0.1 cm-1)."""
    rows = []
    tot = {"Q": 1.0, "ZPE": 0.0, "U": 0.0, "H": 0.0, "HH0": 0.0, "S": 0.0, "F": 0.0, "G": 0.0,
           "used": 0}
    for n, (freq, inten) in enumerate(modes, start=1):
        row = {"n": n, "freq": freq, "inten": inten, "scaled": freq * 1.0, "used": 0,
               "theta": 0.0, "S": 0.0, "ZPE": 0.0, "HH0": 0.0, "H": 0.0, "G": 0.0, "Q0": 1.0}
        if freq > 0.1 or math.isnan(freq):
            nu = abs(row["scaled"]) * CLIGHT * 100.0
            theta = nu * PLANCK / BOLTZ
            zpe = PLANCK * nu * 0.5
            x = math.exp(-theta / t)
            q0 = 1.0 / (1.0 - x)
            y = math.exp(-theta / (t + t))
            q = y / (1.0 - x)
            z = 1.0 / x - 1.0
            dq = theta / ((t + t) * t) / y * (1.0 / x + 1.0) / (z * z)
            r = calctdf(q, dq, 0, t)
            zpe = zpe / KJMOL2J
            row.update(used=1, theta=theta, S=r["S"], ZPE=zpe, H=r["H"], G=r["G"], Q0=q0,
                       HH0=r["H"] - zpe, U=r["U"], F=r["F"])
            tot["used"] += 1
            tot["ZPE"] += zpe
            tot["Q"] *= q0
            tot["U"] += r["U"]
            tot["H"] += r["H"]
            tot["HH0"] += row["HH0"]
            tot["G"] += r["G"]
            tot["F"] += r["F"]
            tot["S"] += r["S"]
        rows.append(row)
    return rows, tot


def vib_row(r):
    # (i4,3f9.3,f9.2,1x,i2,7f9.3,1pE12.5): the Reduced Mass and Cvib columns are always 0
    return (I(r["n"], 4) + F(r["freq"], 9, 3) + F(r["inten"], 9, 3) + F(r["scaled"], 9, 3)
            + F(0.0, 9, 2) + " " + I(r["used"], 2) + F(r["theta"], 9, 3) + F(r["S"], 9, 3)
            + F(r["ZPE"], 9, 3) + F(r["HH0"], 9, 3) + F(r["H"], 9, 3) + F(r["G"], 9, 3)
            + F(0.0, 9, 3) + E(r["Q0"], 12, 5))


def tdrrho(mol, t, p):
    el = electronic(mol["mult"], t)
    tr = translational(mol["mass"], t, p)
    ro = rotational(mol["natoms"], mol["linear"], mol["rotnum"], mol["pmoi"], t)
    rows, vi = vibrational(mol["modes"], t)
    tot = {"Q": el["Q"] * tr["Q"] * ro["Q"] * vi["Q"], "ZPE": vi["ZPE"]}
    for k in ("U", "H", "G", "F", "S"):
        tot[k] = el[k] + tr[k] + ro[k] + vi[k]
    e = mol["etot"]
    return {"elec": el, "tran": tr, "rot": ro, "vib": vi, "rows": rows, "tot": tot,
            "QTOT": tot["Q"], "STOT": tot["S"] * (KJ2HARTREE * 0.001),
            "EZPE": e + tot["ZPE"] * KJ2HARTREE, "EU": e + tot["U"] * KJ2HARTREE,
            "EH": e + tot["H"] * KJ2HARTREE, "EG": e + tot["G"] * KJ2HARTREE}


# --- reaction, rate constants, tunnelling ------------------------------------------------

def ipow(x, n):
    """A real to an integer power: reciprocal first for n < 0, then repeated squaring."""
    result = 1.0
    if n != 0:
        if n < 0:
            n, x = -n, 1.0 / x
        while True:
            if n & 1:
                result *= x
            n >>= 1
            if not n:
                break
            x *= x
    return result


def reaction(reactants, products):
    dr = {"E": 0.0, "ZPE": 0.0, "U": 0.0, "H": 0.0, "G": 0.0, "S": 0.0, "Q": 1.0}
    for sign, group in ((-1.0, reactants), (1.0, products)):
        for m in group:
            dr["E"] += sign * m["etot"]
            dr["ZPE"] += sign * m["EZPE"]
            dr["U"] += sign * m["EU"]
            dr["H"] += sign * m["EH"]
            dr["G"] += sign * m["EG"]
            dr["S"] += sign * m["STOT"]
            dr["Q"] = dr["Q"] * m["QTOT"] if sign > 0 else dr["Q"] / m["QTOT"]
    return dr


def fc_values(m, t):
    rt = RGAS * t
    e = 1 - m
    return [1.0, ipow(P0 / rt * AVOGADRO, e), ipow(P0 / rt * AVOGADRO / 1000000, e),
            ipow(P0 / rt / 1000, e)]


def rates(reactants, tss, t, conc=0.0, nexp=0):
    act = {"Ea": 0.0, "H0": 0.0, "H": 0.0, "S": 0.0, "G": 0.0, "Q": 1.0}
    for sign, group in ((-1.0, reactants), (1.0, tss)):
        for mol in group:
            act["Q"] = act["Q"] * mol["QTOT"] if sign > 0 else act["Q"] / mol["QTOT"]
            act["Ea"] += sign * mol["etot"]
            act["H0"] += sign * mol["EZPE"]
            act["H"] += sign * mol["EH"]
            act["S"] += sign * mol["STOT"]
            act["G"] += sign * mol["EG"]
    m = len(reactants)
    rtk = RGAS * 0.001 * t
    kth = BOLTZ * t / PLANCK
    e0 = math.exp(-(act["H0"] / KJ2HARTREE) / rtk)
    fc = fc_values(m, t)
    a = [kth * act["Q"] * f for f in fc]
    kq = [x * e0 for x in a]
    y = act["G"] / KJ2HARTREE + rtk
    kg = [kth * math.exp(-y / rtk) * f for f in fc]
    keff = [kg[0], kg[1] * ipow(conc * 1000000, nexp), kg[2] * ipow(conc, nexp),
            kg[3] * ipow(conc / AVOGADRO * 1000, nexp)]
    return dict(act, m=m, kTh=kth, E0=e0, Fc=fc, A=a, kQ=kq, kG=kg, keff=keff)


def tunnelling(t, vim, dh0, drzpe):
    """Wigner, uniform parabolic and Skodje-Truhlar coefficients (kST, kST1, kST2)."""
    bet = 1.0 / (BOLTZ * t)
    vimhz = abs(vim) * CLIGHT * 100
    hv = PLANCK * vimhz
    v0 = dh0 / KJ2HARTREE
    v2 = drzpe / KJ2HARTREE
    if v2 < 0.0:
        v2 = 0.0
    v0j = v0 * 1000 / AVOGADRO
    v2j = v2 * 1000 / AVOGADRO
    u = hv * bet
    kw = 1 + u * u * 0.041666666666666664
    half = 0.5 * bet * hv
    kp = half / math.sin(half)
    alp = 2 * PI / (PLANCK * vimhz)
    bma = bet - alp
    ratio = bet / alp
    ee = math.exp(bma * (v0j - v2j))
    kst1 = (PI * ratio) / math.sin(PI * ratio) - bet / (alp - bet) * ee
    kst2 = bet / bma * (ee - 1)
    kst = kst1 if alp >= bet else kst2
    return {"u": u, "kW": kw, "kP": kp, "kST": kst, "kST1": kst1, "kST2": kst2,
            "alp": alp, "bet": bet}


# --- a job folder ------------------------------------------------------------------------

def load_job(folder):
    inputs = sorted(f for f in os.listdir(folder) if f.endswith(".inp"))
    job = molfile.read_job(os.path.join(folder, inputs[0]))
    for role, entries in job["roles"].items():
        for entry in entries:
            mol = molfile.read_data_file(os.path.join(folder, entry["file"]))
            for k in ("mult", "rotnum", "etot"):  # a value on the job line wins
                if k in entry:
                    mol[k] = entry[k]
            mol["name"] = entry["name"]
            mol.update(tdrrho(mol, job["T"], job["P"]))
            entry["mol"] = mol
    return job


def job_lines(folder):
    job = load_job(folder)
    t = job["T"]
    mols = {r: [e["mol"] for e in job["roles"][r]] for r in (1, 2, 3)}
    out = []
    for r in (1, 2, 3):
        for mol in mols[r]:
            tot = mol["tot"]
            out.append(" ************* TD properties of molecule " + mol["name"].ljust(20))
            out.append(q_line("Qtot", tot["Q"]))
            out.append(energy_line("ZPEtot ", tot["ZPE"]))
            out.append(energy_line("Utot = ", tot["U"]))
            out.append(energy_line("Htot = ", tot["H"]))
            out.append(entropy_line("Stot = ", tot["S"]))
            out.append(energy_line("Gtot = ", tot["G"]))
            used = [row for row in mol["rows"] if row["used"]]
            if used:
                out.append(vib_row(used[0]))
            if r == 3 and len(mol["rows"]) >= 7:
                out.append(vib_row(mol["rows"][6]))
            out.append("")
    drzpe = 0.0
    if mols[1] and mols[2]:
        dr = reaction(mols[1], mols[2])
        drzpe = dr["ZPE"]
        for label, key in (("DrEE  ", "E"), ("DrZPE ", "ZPE"), ("DrH = ", "H"),
                           ("DrG = ", "G")):
            x = dr[key] / KJ2HARTREE
            # ( ' DrH = ',f10.3,'  kJ/mol',f10.3,'  kcal/mol',f16.8,' Hartree  ')
            out.append(" " + label + F(x, 10, 3) + "  kJ/mol" + F(x * KJ2KCAL, 10, 3)
                       + "  kcal/mol" + F(dr[key], 16, 8) + " Hartree  ")
        out.append("")
    dh0 = 0.0
    if mols[1] and mols[3]:
        k = rates(mols[1], mols[3], t, job["conc"], job["nexp"])
        dh0 = k["H0"]
        x = k["H0"] / KJ2HARTREE
        out.append(" Activation enthalpy at 0K dH0=d(E+ZPE)       " + F(k["H0"], 15, 8)
                   + F(x * KJ2KCAL, 15, 2) + F(x, 15, 2))
        out.append(" Rate constant kQ     k(T)=A*Exp(-dH0/RT)"
                   + "".join(E(v, 20, 6) for v in k["kQ"]))
        out.append(" Rate constant kG     k(T)=kT/h*Exp(-dGa)*Fc" + E(k["kG"][0], 17, 6)
                   + "".join(E(v, 20, 6) for v in k["kG"][1:]))
        if job["nexp"] >= 1:
            out.append(" Effective rate constant kG * C**n          " + D(k["keff"][0], 17, 6)
                       + "".join(D(v, 20, 6) for v in k["keff"][1:]))
        out.append("")
    vim = 0.0
    if mols[3] and len(mols[3][0]["modes"]) >= 7:
        vim = abs(mols[3][0]["modes"][6][0])
    tn = tunnelling(t, vim, dh0, drzpe)
    # the misspelt "coeeficient" and "Thrular" are the report's own fixed texts
    out.append(" Transmission coeeficient by Wigner theory                  ="
               + F(tn["kW"], 20, 10))
    out.append(" Transmission coeeficient for uniform parabolic potential   ="
               + F(tn["kP"], 20, 10))
    out.append(" Transmission coeeficient by Skodje-Thrular theory (a>b,a<b)="
               + F(tn["kST"], 20, 10) + F(tn["kST1"], 20, 10) + F(tn["kST2"], 20, 10))
    return out


# --- self-test against worked values -----------------------------------------------------

def self_test():
    failures = []

    def near(label, got, want, places):
        if not abs(got - want) <= 0.5 * 10.0 ** -places * (1 + 1e-9):
            failures.append("%s: %.10g, expected %.*f" % (label, got, places, want))

    def same(label, got, want):
        if got != want:
            failures.append("%s: %r, expected %r" % (label, got, want))

    t, p = 298.15, 101325.0
    # constants and unit factors
    near("RGAS*T", RGAS * t, 2478.95987, 5)
    near("0.001 Hartree in kJ/mol", 0.001 / KJ2HARTREE, 2.6253035184, 10)
    # electronic, doublet
    el = electronic(2, t)
    near("Selec", el["S"], 5.7631529, 7)
    near("Gelec", el["G"], -1.7182840, 7)
    # translation of water: Qtran = 3.0043185e6
    tr = translational(18.01056, t, p)
    near("Qtran/1e6", tr["Q"] / 1e6, 3.0043185, 7)
    near("ln Qtran", math.log(tr["Q"]), 14.915561, 6)
    near("lg Qtran", math.log10(tr["Q"]), 6.477746, 6)
    for k, want in (("U", 3.718440), ("H", 6.197400), ("F", -36.975078), ("G", -34.496118)):
        near(k + "tran", tr[k], want, 6)
    near("Stran", tr["S"], 136.48673, 5)
    # Stran is R ln Q + 1.5 R (not the Sackur-Tetrode 2.5 R)
    near("Stran closed form", tr["S"], RGAS * math.log(tr["Q"]) + 1.5 * RGAS, 9)
    # rotation
    ro = rotational(3, 0, 2, [0.6145, 1.1549, 1.7694], t)
    near("Qrot non-linear", ro["Q"], 42.801515, 6)
    near("Srot non-linear", ro["S"], 43.705634, 6)
    near("Frot non-linear", ro["F"], -9.312395, 6)
    near("Urot non-linear", ro["U"], 3.718440, 6)
    ro = rotational(2, 1, 2, [43.1, 43.1, 0.0], t)
    near("Qrot linear", ro["Q"], 264.90652, 5)
    near("Srot linear", ro["S"], 54.704047, 6)
    near("Frot linear", ro["F"], -13.831052, 6)
    near("Urot linear", ro["U"], 2.478960, 6)
    ro = rotational(1, 0, 1, [5.0, 6.0, 7.0], t)
    same("Qrot of an atom", (ro["Q"], ro["S"], ro["U"]), (1.0, 0.0, 0.0))
    # one vibration of 1000 cm-1
    rows, vi = vibrational([(1000.0, 50.0), (-500.0, 10.0), (0.1, 0.0)], t)
    r = rows[0]
    near("THETA", r["theta"], 1438.7752, 4)
    near("ZPE", r["ZPE"], 5.981328, 6)
    near("QVIB0", r["Q0"], 1.0080860, 7)
    near("UVIB", r["U"], 6.078058, 6)
    near("HH0VIB", r["HH0"], 0.096730, 6)
    near("FVIB", r["F"], 5.961364, 6)
    near("SVIB", r["S"], 0.391394, 6)
    u = r["theta"] / t  # closed form of the entropy, an independent check of dQ/dT
    near("SVIB closed form", r["S"],
         RGAS * (u / (math.exp(u) - 1.0) - math.log(1.0 - math.exp(-u))), 9)
    same("vibration row 1", vib_row(rows[0]),
         "   1 1000.000   50.000 1000.000     0.00  1 1438.775    0.391    5.981    0.097"
         "    6.078    5.961    0.000 1.00809E+00")
    same("vibration row 2", vib_row(rows[1]),
         "   2 -500.000   10.000 -500.000     0.00  0    0.000    0.000    0.000    0.000"
         "    0.000    0.000    0.000 1.00000E+00")
    same("0.1 cm-1 unused", (rows[2]["used"], vi["used"]), (0, 1))
    # concentration factor of a bimolecular reaction at 298.15 K
    fc = fc_values(2, t)
    near("Fc m3/1e-26", fc[1] / 1e-26, 4.1164, 4)
    near("Fc cm3/1e-20", fc[2] / 1e-20, 4.1164, 4)
    near("Fc L/mol", fc[3], 24.7896, 4)
    same("Fc unimolecular", fc_values(1, t), [1.0, 1.0, 1.0, 1.0])
    # tunnelling
    tn = tunnelling(t, 1000.0, 0.0, 0.0)
    near("u", tn["u"], 4.8257, 4)
    near("kW", tn["kW"], 1.9703, 4)
    near("kP", tn["kP"], 3.6232, 4)
    same("kST is kST1 for alp > bet", tn["kST"], tn["kST1"])
    tn = tunnelling(t, -1000.0, 5.0 * KJ2HARTREE, -0.01)
    near("kST1 (V0 5 kJ/mol)", tn["kST1"], 1.8228, 4)
    near("kST2 (V0 5 kJ/mol)", tn["kST2"], 1.5105, 4)
    tn = tunnelling(t, 1500.0, 5.0 * KJ2HARTREE, 0.0)
    near("u at 1500 cm-1", tn["u"], 7.2385, 4)
    near("kP at 1500 cm-1", tn["kP"], -7.8730, 4)
    same("kST is kST2 for bet > alp", tn["kST"], tn["kST2"])
    # field editing
    for got, want in ((F(1234.5678, 10, 3), "  1234.568"), (F(-76.123456789, 16, 8),
                      "    -76.12345679"), (I(-5, 15), " " * 13 + "-5"), (I(12, 1), "*"),
                      (E(0.0, 12, 5), " 0.00000E+00"), (E(12345.678, 15, 5), "    1.23457E+04"),
                      (E(1.5e-120, 15, 5), "    1.50000-120"), (D(6.02214e23, 17, 6),
                      "     6.022140D+23"), (F(0.5, 4, 3), ".500"), (F(-0.5, 10, 3),
                      "    -0.500"), (F(1.0e7, 10, 3), "*" * 10), (F(-0.0001, 10, 3),
                      "    -0.000"), (A("ABCDEFGHIJKLMNOPQRST", 15), "ABCDEFGHIJKLMNO")):
        same("field", got, want)
    # each example once more by the textbook closed forms (another route through the
    # arithmetic): Qtran = (2 pi m kT/h^2)^1.5 kT/P, Qrot = sqrt(pi IaIbIc)/sigma (8pi^2kT/h^2)^1.5
    # or 8pi^2 I kT/(sigma h^2), Qvib = prod 1/(1-exp(-hc nu/kT)); kQ(cm3) = kT/h Q(TS)/prod Q
    # (kT/P0 in cm3)^(m-1) exp(-dH0/RT); and kG = kQ e^(m-2) for one transition state, since
    # Stran lacks R per molecule and kG carries one RT more in its exponent
    examples = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
    for name in ("oh_ch4", "hcn_hnc", "h_h2"):
        job = load_job(os.path.join(examples, name))
        tj, pj = job["T"], job["P"]
        kt = BOLTZ * tj

        def q_closed(mol):
            m = mol["mass"] * AMU
            q = float(mol["mult"]) * (2 * PI * m * kt / PLANCK ** 2) ** 1.5 * kt / pj
            if mol["natoms"] > 1:
                i = [x * AMU * 1e-20 for x in mol["pmoi"]]
                if mol["linear"]:
                    q *= 8 * PI ** 2 * i[0] * kt / (mol["rotnum"] * PLANCK ** 2)
                else:
                    q *= (math.sqrt(PI * i[0] * i[1] * i[2]) / mol["rotnum"]
                          * (8 * PI ** 2 * kt / PLANCK ** 2) ** 1.5)
            for f, _ in mol["modes"]:
                if f > 0.1:
                    q /= 1 - math.exp(-PLANCK * CLIGHT * 100 * f / kt)
            return q

        reac = [e["mol"] for e in job["roles"][1]]
        ts = [e["mol"] for e in job["roles"][3]]
        for mol in reac + ts:
            near("%s %s Qtot/closed form" % (name, mol["name"]), mol["QTOT"] / q_closed(mol),
                 1.0, 9)
        k = rates(reac, ts, tj)
        qratio = q_closed(ts[0]) / math.prod(q_closed(m) for m in reac)
        kq3 = (kt / PLANCK * qratio * (kt / P0 * 1e6) ** (len(reac) - 1)
               * math.exp(-k["H0"] / KJ2HARTREE * 1000 / (RGAS * tj)))
        near("%s kQ(cm3)/closed form" % name, k["kQ"][2] / kq3, 1.0, 9)
        near("%s kG/(kQ e^(m-2))" % name, k["kG"][2] / (k["kQ"][2] * math.e ** (len(reac) - 2)),
             1.0, 9)
    for f in failures:
        print("FAIL", f)
    print("self-test: %s" % ("%d failure(s)" % len(failures) if failures else "all passed"))
    return 1 if failures else 0


def compare(folder, report):
    """Every non-empty key line must occur, whole and exact, as a line of the report."""
    with open(report) as f:
        have = set(line.rstrip("\r\n") for line in f)
    missing = [line for line in job_lines(folder) if line and line not in have]
    for line in missing:
        print("missing: %r" % line)
    print("%s: %s" % (report, "%d key line(s) missing" % len(missing) if missing
                      else "every key line found"))
    return 1 if missing else 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if len(argv) == 4 and argv[1] == "--compare":
        return compare(argv[2], argv[3])
    if len(argv) != 2 or not os.path.isdir(argv[1]):
        print(__doc__)
        return 2
    for line in job_lines(argv[1]):
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
