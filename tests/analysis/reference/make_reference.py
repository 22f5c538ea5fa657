#!/usr/bin/env python3
"""Writes chirpz_reference.inc: windowed samples and their DFT with the 1/N factor, computed
directly (no FFT), for the spectrum tests. Run by hand: python3 make_reference.py"""
import cmath
import math
import os
import random

WINDOWS = {
    0: lambda i, n: 1.0,
    1: lambda i, n: 0.5 - 0.5 * math.cos(2 * math.pi * i / n),
    2: lambda i, n: 0.54 - 0.46 * math.cos(2 * math.pi * i / n),
    3: lambda i, n: 0.42 - 0.5 * math.cos(2 * math.pi * i / n) + 0.08 * math.cos(4 * math.pi * i / n),
}


def dft(values):
    n = len(values)
    return [sum(values[k] * cmath.exp(-2j * math.pi * k * m / n) for k in range(n)) / n
            for m in range(n)]


def case(name, window, samples):
    n = len(samples)
    weighted = [samples[i] * WINDOWS[window](i, n) for i in range(n)]
    spectrum = dft(weighted)
    fmt = lambda xs: ", ".join(repr(x) for x in xs)
    return (f"    {{\"{name}\", {window}, {{{fmt(samples)}}},\n"
            f"     {{{fmt([z.real for z in spectrum])}}},\n"
            f"     {{{fmt([z.imag for z in spectrum])}}}}},\n")


def main():
    rng = random.Random(20261209)
    cases = [
        ("prime 7, rectangular", 0, [rng.randint(-1000, 1000) for _ in range(7)]),
        ("12, Hanning", 1, [rng.randint(-500, 500) for _ in range(12)]),
        ("16, Hamming", 2, [rng.randint(-2000, 2000) for _ in range(16)]),
        ("5, Blackman", 3, [rng.randint(0, 100) for _ in range(5)]),
        ("2, rectangular", 0, [3, -1]),
        ("31, rectangular", 0, [rng.randint(-30000, 30000) for _ in range(31)]),
        ("100, Hanning", 1, [round(800 * math.sin(2 * math.pi * 7 * i / 100) + 50 * i % 13)
                             for i in range(100)]),
    ]
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "chirpz_reference.inc")
    with open(out, "w", newline="\n") as f:
        f.write("// Made by make_reference.py: samples, window, and the DFT / N of the windowed\n")
        f.write("// samples (real parts, imaginary parts), computed directly.\n")
        for c in cases:
            f.write(case(*c))


if __name__ == "__main__":
    main()
