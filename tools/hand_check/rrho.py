"""Thermochemistry of one molecule in the rigid-rotor harmonic-oscillator ideal-gas model.

Each contribution gives Q and its derivative dQ/dT, and from them (calctdf)
    F = -RT ln Q,  S = R ln Q + RT (dQ/dT)/Q,  U = F + TS,  H = U (+ RT for translation),
    G = H - TS
with S in J/(mol K) and F, U, H, G in kJ/mol:
    electronic     Q = g = the spin multiplicity (ground state only), U = H = 0
    translational  Q = A T^1.5,  A = (2 pi m k)^1.5 / h^3 * (RT/P) / NA,  dQ/dT = 1.5 A T^0.5
    rotational     atom: Q = 1; non-linear: Q = B T^1.5, B = sqrt(pi K Ia Ib Ic)/sigma with
                   K = (8 pi^2 k/h^2)^3; linear: Q = B T, B = 8 pi^2 k Ia/(sigma h^2)
    vibrational    for every mode above 0.1 cm-1 (or NaN): theta = h c nu/k, ZPE = h c nu/2,
                   x = exp(-theta/T), y = exp(-theta/2T), Q = y/(1 - x) measured from the
                   potential bottom, Q0 = 1/(1 - x) from the zero level, and
                   dQ/dT = theta/(2T^2)/y (1/x + 1)/(1/x - 1)^2
and the molecule's totals are the sums (Q the product) of the four. With the total energy E
(Hartree): E+ZPE, E+U, E+H, E+G in Hartree and Stot in Hartree/K.

CODATA 1998 constants, 1 Hartree = 2625.3035184 kJ/mol, 1 kcal = 4.184 kJ. The arithmetic
is written in the order of the formulas above, in IEEE doubles, so the last printed digit is
the one a correct C or Fortran evaluation gives. Where Python would raise (x/0, ln 0, exp
overflow) the helpers below give the IEEE result instead: a molecule whose data are missing
(zero mass, zero moments) gets Infinity and NaN, as in the program.
"""

import math

# Constants (CODATA 1998) and unit factors.
PI = 3.141592653589793
BOLTZ = 1.3806503e-23  # J/K
PLANCK = 6.62606876e-34  # J s
CLIGHT = 299792458.0  # m/s
AVOGADRO = 6.02214199e23  # 1/mol
RGAS = BOLTZ * AVOGADRO  # J/(mol K)
AMU = 1.66053873e-27  # kg
ANGSTROM = 1.0e-10  # m
KJ2HARTREE = 3.809083380231225e-4
KJ2KCAL = 0.2390057361376673
KJMOL2J = 1.0 / AVOGADRO * 1000.0
P0 = 100000.0  # standard pressure of the rate constants' concentration factor, Pa


# --- IEEE arithmetic where Python raises ----------------------------------------------------

def div(a, b):
    """a/b; x/0 is +-Infinity, 0/0 and NaN/0 are NaN."""
    if b == 0.0:
        if a == 0.0 or math.isnan(a):
            return math.nan
        return math.copysign(math.inf, a) * math.copysign(1.0, b)
    return a / b


def log(x):
    if x == 0.0:
        return -math.inf
    return math.nan if x < 0.0 else math.log(x)


def log10(x):
    if x == 0.0:
        return -math.inf
    return math.nan if x < 0.0 else math.log10(x)


def exp(x):
    try:
        return math.exp(x)
    except OverflowError:
        return math.inf


def sqrt(x):
    return math.nan if x < 0.0 else math.sqrt(x)


def sin(x):
    return math.sin(x) if math.isfinite(x) else math.nan


# --- the contributions ------------------------------------------------------------------

def calctdf(q, dqdt, hflag, t):
    """S in J/(mol K); F, U, H, G in kJ/mol, from Q and dQ/dT; hflag 1 adds RT to H."""
    f = -(RGAS * t) * log(q)
    s = RGAS * log(q) + div(RGAS * t * dqdt, q)
    u = f + t * s
    h = u
    if hflag == 1:
        h = h + RGAS * t
    g = h - t * s
    return {"S": s, "F": f / 1000.0, "U": u / 1000.0, "H": h / 1000.0, "G": g / 1000.0}


def electronic(mult, t):
    g = float(mult)
    s = RGAS * log(g)
    return {"Q": g, "S": s, "U": 0.0, "H": 0.0, "G": 0.0 - s * t * 0.001,
            "F": 0.0 - s * t * 0.001}


def translational(mass, t, p):
    vm = div(RGAS * t, p)
    x = (PI + PI) * mass * AMU * BOLTZ
    a = div(sqrt(x * x * x), PLANCK * PLANCK * PLANCK) * (vm / AVOGADRO)
    q = a * sqrt(t * t * t)
    r = calctdf(q, a * 1.5 * sqrt(t), 1, t)
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
            b = div(sqrt(PI * k * ia * ib * ic), sigma)
            q, dq = b * sqrt(t * t * t), b * 1.5 * sqrt(t)
        else:
            b = div(8.0 * (PI * PI) * BOLTZ * ia, sigma) / (PLANCK * PLANCK)
            q, dq = b * t, b
    r = calctdf(q, dq, 0, t)
    r["Q"] = q
    return r


def vibrational(freq, xinten, nfreq, t):
    """Table rows of the first nfreq modes and the sums over the used ones (above 0.1 cm-1,
    or NaN). The Reduced Mass and Cvib columns are always 0."""
    rows = []
    tot = {"Q": 1.0, "ZPE": 0.0, "U": 0.0, "H": 0.0, "HH0": 0.0, "S": 0.0, "F": 0.0, "G": 0.0,
           "C": 0.0, "used": 0}
    for n in range(1, int(nfreq) + 1):
        fr = freq[n - 1]
        row = {"n": n, "freq": fr, "inten": xinten[n - 1], "scaled": fr * 1.0, "used": 0,
               "theta": 0.0, "S": 0.0, "ZPE": 0.0, "HH0": 0.0, "H": 0.0, "G": 0.0, "C": 0.0,
               "Q0": 1.0}
        if fr > 0.1 or math.isnan(fr):
            nu = abs(row["scaled"]) * CLIGHT * 100.0
            theta = nu * PLANCK / BOLTZ
            zpe = PLANCK * nu * 0.5
            x = exp(div(-theta, t))
            q0 = div(1.0, 1.0 - x)
            y = exp(div(-theta, t + t))
            q = div(y, 1.0 - x)
            z = div(1.0, x) - 1.0
            if math.isinf(z * z) and not math.isinf(z):
                # theta/T between about 355 and 709: (1/x - 1)**2 overflows, and the quotient
                # as written would be a finite 0 (or NaN): a large negative entropy and U
                # without the ZPE. Multiplied through by x*x (and x/y = y) it stays in range.
                dq = theta / ((t + t) * t) * y * (1.0 + x) / ((1.0 - x) * (1.0 - x))
            else:
                dq = div(div(div(theta, (t + t) * t), y) * (div(1.0, x) + 1.0), z * z)
            r = calctdf(q, dq, 0, t)
            zpe = zpe / KJMOL2J
            row.update(used=1, theta=theta, S=r["S"], ZPE=zpe, H=r["H"], G=r["G"], Q0=q0,
                       HH0=r["H"] - zpe, U=r["U"], F=r["F"])
            tot["used"] += 1
            tot["ZPE"] += zpe
            tot["Q"] = tot["Q"] * q0
            tot["U"] += r["U"]
            tot["H"] += r["H"]
            tot["HH0"] += row["HH0"]
            tot["G"] += r["G"]
            tot["F"] += r["F"]
            tot["S"] += r["S"]
            tot["C"] += row["C"]
        rows.append(row)
    return rows, tot


def molecule_thermo(mol, t, p):
    """The four contributions, the table rows and the totals of a molecule record (mult,
    mass, natoms, linear, rotnum, pmoi, freq, xinten, nfreq, etot), and the six results the
    reaction and rate sections use: QTOT, STOT (Hartree/K), EZPE, EU, EH, EG (Hartree)."""
    el = electronic(mol.mult, t)
    tr = translational(mol.mass, t, p)
    ro = rotational(mol.natoms, mol.linear, mol.rotnum, mol.pmoi, t)
    rows, vi = vibrational(mol.freq, mol.xinten, mol.nfreq, t)
    tot = {"Q": el["Q"] * tr["Q"] * ro["Q"] * vi["Q"], "ZPE": vi["ZPE"]}
    for k in ("U", "H", "G", "F", "S"):
        tot[k] = el[k] + tr[k] + ro[k] + vi[k]
    e = mol.etot
    return {"elec": el, "tran": tr, "rot": ro, "vib": vi, "rows": rows, "tot": tot,
            "QTOT": tot["Q"], "STOT": tot["S"] * (KJ2HARTREE * 0.001),
            "EZPE": e + tot["ZPE"] * KJ2HARTREE, "EU": e + tot["U"] * KJ2HARTREE,
            "EH": e + tot["H"] * KJ2HARTREE, "EG": e + tot["G"] * KJ2HARTREE}
