#!/usr/bin/python3
"""Writes regression_far_from_origin.txt: point sets far from the origin, the exact
least-squares values at every data x, the exact coefficients and the equation text, for the
regression tests.

Each point is the double that its text parses to; the fit is solved in exact rational
arithmetic on those doubles, so the reference carries no rounding of its own.
Run: /usr/bin/python3 regression_reference.py > regression_far_from_origin.txt
"""
from fractions import Fraction
import math


def exact(text):
    return Fraction(float(text))


def centred_fit(points, degree):
    """Least-squares polynomial of the degree through the points, exactly, in the centred
    variable t = x - c: returns c, the data's t and the coefficients of the powers of t. Exact
    arithmetic makes any basis give the same fit."""
    n = degree + 1
    xs = [exact(x) for x, _ in points]
    ys = [exact(y) for _, y in points]
    c = sum(xs) / len(xs)
    ts = [x - c for x in xs]
    a = [[sum(t ** (i + j) for t in ts) for j in range(n)] for i in range(n)]
    b = [sum(t ** i * y for t, y in zip(ts, ys)) for i in range(n)]
    return c, ts, solve(a, b)


def fit_coefficients(points, degree):
    """Least-squares polynomial of the degree through the points, exactly, in powers of x."""
    c, _, coef = centred_fit(points, degree)
    # sum k_i (x - c)^i written out in powers of x
    out = [Fraction(0)] * (degree + 1)
    for i, k in enumerate(coef):
        for j in range(i + 1):
            out[j] += k * math.comb(i, j) * (-c) ** (i - j)
    return out


def solve(a, b):
    n = len(b)
    a = [row[:] for row in a]
    b = b[:]
    for col in range(n):
        pivot = next(r for r in range(col, n) if a[r][col] != 0)
        a[col], a[pivot] = a[pivot], a[col]
        b[col], b[pivot] = b[pivot], b[col]
        for r in range(n):
            if r != col and a[r][col] != 0:
                f = a[r][col] / a[col][col]
                a[r] = [u - f * v for u, v in zip(a[r], a[col])]
                b[r] -= f * b[col]
    return [b[i] / a[i][i] for i in range(n)]


def round_half_even(v, decimals):
    """Round(v, decimals) as the program computes it: nearest, halves to even, in doubles."""
    return round(v * 10.0 ** decimals) / 10.0 ** decimals


def number_text(v):
    """The program's text of a finite double's magnitude: 15 significant digits, halves to
    even, no trailing zeros; the exponent form ("1.5E-11") when the first digit stands at
    10^15 or above, or at 10^-5 or below."""
    q = Fraction(abs(v))
    if q == 0:
        return "0"
    sci = math.floor(math.log10(abs(v)))
    while Fraction(10) ** sci > q:
        sci -= 1
    while Fraction(10) ** (sci + 1) <= q:
        sci += 1
    digits = round(q * Fraction(10) ** (14 - sci))  # Fraction rounding is halves to even
    if digits == 10 ** 15:
        digits //= 10
        sci += 1
    text = str(digits).rstrip("0")
    if sci >= 15 or sci <= -5:
        mantissa = text[0] + ("." + text[1:] if len(text) > 1 else "")
        return "%sE%s%02d" % (mantissa, "-" if sci < 0 else "+", abs(sci))
    if sci >= 0:
        whole, rest = text[:sci + 1], text[sci + 1:]
        whole += "0" * (sci + 1 - len(whole))
        return whole + ("." + rest if rest else "")
    return "0." + "0" * (-sci - 1) + text


def equation_text(coef):
    """The equation line as the program writes it in a locale with "." as decimal point."""
    t = ""
    for k, exact_c in enumerate(coef):
        d = float(exact_c)
        c = round_half_even(d, 10)
        if c == 0 and d != 0:
            c = d
        if c == 0:
            continue
        number = number_text(c)
        term = (" - " if c < 0 else " + ") + number
        if k == 1:
            term += "x"
        elif k >= 2:
            term += "x^%d^" % k
        t = term + t
    t = "f(x) =" + (t if t else " 0")
    if t.startswith("f(x) = +"):
        t = t.replace("f(x) = +", "f(x) = ")
    return t.replace(" 1x", " x")


def fit_values(points, degree):
    """Least-squares polynomial of the degree through the points, exactly; its value at each x."""
    _, ts, coef = centred_fit(points, degree)
    return [sum(k * t ** i for i, k in enumerate(coef)) for t in ts]


def text17(q):
    return repr(float(q)) if q == 0 else "%.17g" % float(q)


def data_sets():
    # A cubic in x - 1000 written out over x = 1000..1049: huge, cancelling power coefficients.
    cubic = []
    for x in range(1000, 1050):
        u = Fraction(x - 1000)
        y = Fraction(1, 1000) * u ** 3 - Fraction(1, 20) * u ** 2 + 2 * u + 500
        cubic.append((str(x), "%.17g" % float(y)))
    # Smooth data with six decimals, as a measuring instrument would give it.
    smooth = [(str(x), "%.6f" % (300 + 100 * math.sin((x - 1000) / 9.0) + 0.02 * (x - 1000)))
              for x in range(1000, 1050)]
    # A yearly series with two decimals.
    yearly = [(str(x), "%.2f" % (354 + 1.6 * (x - 1990) + 0.012 * (x - 1990) ** 2
                                 + 0.45 * math.sin(1.7 * (x - 1990))))
              for x in range(1990, 2021)]
    # A parabola a million from the origin, written out exactly: every degree from 2 on fits it
    # exactly, so higher powers get the coefficient 0.
    parabola = [(str(1000000 + k), repr(0.5 * k * k + 3)) for k in range(21)]
    return [("cubic_from_1000", cubic, [3, 4, 5]),
            ("smooth_from_1000", smooth, [10]),
            ("yearly_1990_2020", yearly, [3]),
            ("parabola_from_1000000", parabola, [2, 4])]


def main():
    print("# Generated by regression_reference.py: exact least-squares values at each data x.")
    print("# fit <name> <degree> <count>, then <count> lines of: x y fitted;")
    print("# then coef <the doubles nearest the exact coefficients of x^0, x^1, ...>")
    print("# and equation <the equation text of those coefficients>")
    for name, points, degrees in data_sets():
        for degree in degrees:
            values = fit_values(points, degree)
            print("fit %s %d %d" % (name, degree, len(points)))
            for (x, y), v in zip(points, values):
                print("%s %s %s" % (x, y, text17(v)))
            coef = fit_coefficients(points, degree)
            print("coef " + " ".join(text17(c) for c in coef))
            print("equation " + equation_text(coef))


main()
