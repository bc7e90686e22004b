"""Fortran-style output field editors of the hand calculations.

    F(x, w, d)          Fw.d: fixed point; the 0 before the point is dropped when there is
                        no room for it
    E(x, w, d)          1PEw.d: one digit before the point, E+XX, or +XXX for |exponent| > 99
    D(x, w, d)          1PDw.d: the same with the letter D
    I(n, w), A(s, w)    Iw and Aw (Aw keeps the first w characters of a longer text)

A value that does not fit its field is w asterisks. Infinity and NaN are written as words
right-aligned in the field: "Infinity" ("Inf" in fewer than 8 columns), "-Infinity" ("-Inf"
in fewer than 9), "NaN".
"""

import math


def _right(s, w):
    return s.rjust(w) if len(s) <= w else "*" * w


def _nonfinite(x, w):
    if math.isnan(x):
        return _right("NaN", w)
    if x > 0:
        return _right("Infinity" if w >= 8 else "Inf", w)
    return _right("-Infinity" if w >= 9 else "-Inf", w)


def F(x, w, d):
    if not math.isfinite(x):
        return _nonfinite(x, w)
    s = "%.*f" % (d, x)
    if len(s) > w and s.startswith("0."):
        s = s[1:]
    elif len(s) > w and s.startswith("-0."):
        s = "-" + s[2:]
    return _right(s, w)


def E(x, w, d, letter="E"):
    if not math.isfinite(x):
        return _nonfinite(x, w)
    mantissa, exponent = ("%.*e" % (d, x)).split("e")
    e = int(exponent)
    if abs(e) <= 99:
        tail = "%s%s%02d" % (letter, "-" if e < 0 else "+", abs(e))
    else:
        tail = "%s%03d" % ("-" if e < 0 else "+", abs(e))
    return _right(mantissa + tail, w)


def D(x, w, d):
    return E(x, w, d, "D")


def I(n, w):
    return _right("%d" % n, w)


def A(text, w):
    return text.rjust(w) if len(text) <= w else text[:w]
