#!/usr/bin/python3
"""A measured cyclic voltammogram made up without Kivex: the test data of the instrument-export
fit, and a check of the fit against a solution the program did not compute.

A + e = B at a plane, semi-infinite diffusion, Butler-Volmer kinetics, a staircase of 2 mV steps
sampled at the end of each (as a digital potentiostat records; --ramp for an analog sweep), solved
by the second-order backward formula on a fine uniform grid. Written as a potentiostat exports
it: potentials recorded with a jitter around the grid, currents in microamperes with oxidation
current positive, a settings header and a time column.

    /usr/bin/python3 tools/synthetic_measurement.py examples/data/cv_export_uA.txt
    /usr/bin/python3 tools/synthetic_measurement.py --check   # the solver against Randles-Sevcik
    /usr/bin/python3 tools/synthetic_measurement.py --ramp --truth tests/ui/data/ramp_cycle.txt

Needs numpy and scipy (Debian: python3-numpy, python3-scipy). The output is committed, so the
tests do not need Python.
"""

import argparse
import math
import sys

import numpy as np
from scipy.linalg import solve_banded

F = 96485.33212  # C/mol
R = 8.314462618  # J/(mol K)


def simulate(E0, ks, alpha, C, D, area, T, v, Estart, Evertex, dt, sample_every, step=0.0):
    """Reduction current (A) and the potential at every sampled time of one cycle; C in mol/L,
    D in cm2/s, area in cm2, ks in cm/s. With `step` the potential is a staircase, as a digital
    potentiostat applies it: each step held for step / v and sampled at its end (sample_every
    must then cover one step); without, a linear ramp."""
    f = F / (R * T)
    t_total = 2 * abs(Estart - Evertex) / v
    length = 6 * math.sqrt(D * t_total)
    dx = math.sqrt(D * dt) / 2
    J = int(length / dx) + 2
    c_bulk = C * 1e-3  # mol/L to mol/cm3
    lam = D * dt / (dx * dx)

    # Backward Euler for the first step, then the second-order backward formula
    # (3 c' - 4 c + c_old) / 2 dt = D c''_xx: both damp every mode, so an algebraic surface
    # condition cannot set up the oscillations Crank-Nicolson would. Interior nodes 1..J-1; node
    # J is the bulk, node 0 the surface.
    def system(weight):
        ab = np.zeros((3, J - 1))
        ab[0, 1:] = -weight
        ab[1, :] = 1 + 2 * weight
        ab[2, :-1] = -weight
        e1 = np.zeros(J - 1)
        e1[0] = weight
        # The interior's response to a surface value of 1 is the same at every step.
        return ab, solve_banded((1, 1), ab, e1)

    schemes = {"euler": system(lam), "bdf2": system(2 * lam / 3)}

    # Start at equilibrium with E start (Nernst), as a quiet time at E start leaves the solution.
    ratio = math.exp(-f * (Estart - E0))  # cB / cA at the surface and everywhere
    a = np.full(J + 1, c_bulk / (1 + ratio))
    b = np.full(J + 1, c_bulk * ratio / (1 + ratio))
    previous = {"a": a.copy(), "b": b.copy()}
    bulk = {"a": a[-1], "b": b[-1]}

    steps = int(round(t_total / dt))
    direction = 1.0 if Evertex > Estart else -1.0
    half = steps // 2
    times, potentials, currents = [], [], []
    for k in range(1, steps + 1):
        t = k * dt
        E = Estart + direction * v * t if k <= half else Evertex - direction * v * (t - half * dt)
        if step > 0:
            # The step under way: the ramp's value at the end of the step the time lies in.
            held = math.ceil(round(t / (step / v), 9))
            E = (Estart + direction * step * held if held <= half // sample_every else
                 Evertex - direction * step * (held - half // sample_every))
        kf = ks * math.exp(-alpha * f * (E - E0))
        kb = ks * math.exp((1 - alpha) * f * (E - E0))
        scheme = "euler" if k == 1 else "bdf2"
        ab, w = schemes[scheme]
        weight = lam if k == 1 else 2 * lam / 3
        u = {}
        for name, c in (("a", a), ("b", b)):
            rhs = c[1:J].copy() if k == 1 else (4 * c[1:J] - previous[name][1:J]) / 3
            rhs[-1] += weight * bulk[name]
            u[name] = solve_banded((1, 1), ab, rhs)
        # Surface values s: c1 = u1 + s w1, c2 = u2 + s w2; flux by the second-order one-sided
        # difference, D dc/dx = kf sA - kb sB for A and its negative for B.
        g = D / (2 * dx)
        slope = g * (-3 + 4 * w[0] - w[1])
        M = np.array([[slope - kf, kb], [kf, slope - kb]])
        r = np.array([-g * (4 * u["a"][0] - u["a"][1]), -g * (4 * u["b"][0] - u["b"][1])])
        sA, sB = np.linalg.solve(M, r)
        previous = {"a": a.copy(), "b": b.copy()}
        a[0], b[0] = sA, sB
        a[1:J] = u["a"] + sA * w
        b[1:J] = u["b"] + sB * w
        if k % sample_every == 0:
            times.append(t)
            potentials.append(E)
            currents.append(F * area * (kf * sA - kb * sB))
    return np.array(times), np.array(potentials), np.array(currents)


def check():
    """The reversible peak against Randles-Sevcik (0.4463 nFAC sqrt(nFvD/RT)), and the peak
    separation of a quasi-reversible couple against Nicholson's table (psi = 1: 84 mV)."""
    T, v, D, C, area = 298.15, 0.1, 1e-5, 1e-3, 1.0
    _, E, I = simulate(0.0, 1e3, 0.5, C, D, area, T, v, 0.4, -0.4, 2e-4, 10)
    peak = I.max()
    expected = 0.4463 * F * area * C * 1e-3 * math.sqrt(F * v * D / (R * T))
    reversible = E[np.argmin(I)] - E[np.argmax(I)]
    print(f"peak {peak:.6e} A, Randles-Sevcik {expected:.6e} A, ratio {peak / expected:.5f}; "
          f"peak separation {reversible * 1000:.1f} mV (57 to 58 mV, switched 400 mV out)")
    ks = math.sqrt(math.pi * D * F * v / (R * T))  # psi = 1
    _, E, I = simulate(0.0, ks, 0.5, C, D, area, T, v, 0.4, -0.4, 2e-4, 10)
    separation = E[np.argmin(I)] - E[np.argmax(I)]
    # Nicholson's table was worked out for a switch nearer the wave; switched 400 mV out, as for
    # a reversible couple, the separation comes out a millivolt or two narrower.
    print(f"psi 1: peak separation {separation * 1000:.1f} mV (Nicholson: 84 mV)")
    return (abs(peak / expected - 1) < 2e-3 and 0.0565 < reversible < 0.0585 and
            0.081 < separation < 0.085)


def write_export(path, t, E, I, settings):
    """The settings-header layout with tab-separated columns, the current in microamperes."""
    header = [
        "ASCII export of a cyclic voltammetry run",
        "Nb header lines : 17",
        "",
        "Cyclic Voltammetry",
        "",
        f"Ei (V)              {settings['Estart']:.3f}",
        f"dE/dt               {settings['v'] * 1000:.3f}",
        "dE/dt unit          mV/s",
        f"E1 (V)              {settings['Evertex']:.3f}",
        f"E2 (V)              {settings['Estart']:.3f}",
        "nc cycles           0",
        f"Ef (V)              {settings['Estart']:.3f}",
        "tR (h:m:s)          0:00:2.0000",
        f"Electrode surface area : {settings['area']} cm2",
        "Synthetic: A + e = B, see tools/synthetic_measurement.py",
        "",
        "time/s\tcontrol/V\tEwe/V\t<I>/\u00b5A\tcycle number",
    ]
    with open(path, "w", encoding="utf-8", newline="\r\n") as out:
        out.write("\n".join(header) + "\n")
        for k in range(len(t)):
            control = settings["grid"][k]
            out.write(f"{t[k]:.4f}\t{control:.4f}\t{E[k]:.5f}\t{-I[k] * 1e6:.6f}\t1\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("output", nargs="?")
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--ramp", action="store_true",
                        help="a linear ramp (an analog sweep) in place of the staircase")
    parser.add_argument("--noise", type=float, default=0.01,
                        help="Gaussian noise as a share of the peak current (default 0.01)")
    parser.add_argument("--jitter", type=float, default=3e-4,
                        help="Gaussian jitter of the recorded potentials, V (default 3e-4)")
    parser.add_argument("--seed", type=int, default=20261207)
    parser.add_argument("--truth", action="store_true",
                        help="write the exact curve instead: time (s), potential (V) and reduction "
                             "current (A), without jitter or noise")
    args = parser.parse_args()
    if args.check:
        return 0 if check() else 1
    if not args.output:
        parser.error("an output file is needed")
    # A slow couple much like ferricyanide at glassy carbon: 2 mM, 3 mm disc, 0.1 V/s, 2 mV.
    truth = dict(E0=0.22, ks=2e-3, alpha=0.5, C=2e-3, D=7e-6, area=0.0707, T=298.14)
    v, Estart, Evertex, step = 0.1, 0.6, -0.1, 0.002
    sample = step / v
    dt = sample / 40
    t, E, I = simulate(truth["E0"], truth["ks"], truth["alpha"], truth["C"], truth["D"],
                       truth["area"], truth["T"], v, Estart, Evertex, dt, 40,
                       0.0 if args.ramp else step)
    if args.truth:
        with open(args.output, "w", encoding="utf-8") as out:
            out.write(f"# {'ramp' if args.ramp else 'staircase'} cycle of tools/synthetic_measurement.py, "
                      f"truth {truth}\n# t/s E/V I/A (reduction positive)\n")
            for k in range(len(t)):
                out.write(f"{t[k]:.4f} {E[k]:.10f} {I[k]:.12e}\n")
        return 0
    rng = np.random.default_rng(args.seed)
    grid = np.round(E / step) * step
    recorded = E + rng.normal(0.0, args.jitter, E.size)
    noisy = I + rng.normal(0.0, args.noise * np.abs(I).max(), I.size)
    write_export(args.output, t, recorded, noisy,
                 dict(Estart=Estart, Evertex=Evertex, v=v, area=truth["area"], grid=grid))
    print(f"{len(t)} points written to {args.output}; truth {truth}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
