"""Kivex from Python: voltammograms simulated, read and fitted by the program's own core.

Two layers, one path to the core:

* ``Session`` runs the command-line tool's script lines (``s.run("type FormIns.Estep 0.001")``)
  and hands the curves over as numpy arrays: everything the program does, bit for bit as
  ``kivex-batch`` does it.
* ``simulate``, ``read_curve`` and ``fit`` build those lines from keywords named as the dialogs
  name their fields, run them on a fresh session and return plain objects.

Currents are the program's: reduction current positive, in amperes; potentials in volts.

    import kivex
    cv = kivex.simulate(technique="cyclic", scheme="A + e = B", V=0.1, ks=[1e-3])
    print(cv.current.max())
"""

from __future__ import annotations

import os
import re
import tempfile
from dataclasses import dataclass, field
from typing import Any, Dict, List, Optional, Sequence, Tuple

import numpy as np

from ._kivex import Error, Session

__all__ = ["Session", "Error", "Curve", "FitResult", "simulate", "read_curve", "fit",
           "TECHNIQUES", "ELECTRODES", "FIT_SLOTS"]

# technique keyword -> (option of the Techniques dialog, scan of a sweep)
TECHNIQUES: Dict[str, Tuple[int, Optional[str]]] = {
    "linear": (1, "single"),
    "cyclic": (1, "cycle"),
    "cyclic2": (1, "2 cycles"),
    "dc": (2, None),
    "normal pulse": (3, None),
    "differential pulse": (4, None),
    "square wave": (5, None),
}

ELECTRODES: Dict[str, int] = {
    "planar": 1, "sphere": 2, "hemisphere": 3, "microdisc": 4, "cylinder": 5,
    "hemicylinder": 6, "band": 7, "rotating disk": 8, "thin film": 9,
}

# Single values typed into the Instrument dialog: keyword -> control.
_INSTRUMENT = {
    "Estart": "Estart", "Eend": "Eend", "Estep": "Estep", "V": "V", "tp": "tp", "td": "td",
    "Epulse": "Epulse", "T": "txttemp", "Noise": "Noise", "Cdl": "Cdl", "Ru": "txtRu",
    "f": "TextF", "tquiet": "tQuiet", "area": "ARE", "radius": "radius", "length": "leng",
    "rpm": "TextRrate",
}

# Lists typed into the Chemicals dialog, element i into row i + 1: keyword -> control.
_CHEMICALS = {"C": "C", "D": "D", "E0": "Eze", "ks": "ks", "alpha": "alph", "kf": "kf",
              "kb": "kb"}

# The fit slots by name, numbered as the Chemicals dialog's CheckFitted(N).
FIT_SLOTS: Dict[str, int] = {}
for _i in range(1, 7):
    FIT_SLOTS[f"C({_i})"] = _i
    FIT_SLOTS[f"D({_i})"] = 23 + _i
for _i in range(1, 4):
    FIT_SLOTS[f"ks({_i})"] = 6 + _i
    FIT_SLOTS[f"alpha({_i})"] = 9 + _i
    FIT_SLOTS[f"E0({_i})"] = 12 + _i
for _i in range(1, 5):
    FIT_SLOTS[f"kf({_i})"] = 15 + _i
    FIT_SLOTS[f"kb({_i})"] = 19 + _i


@dataclass
class Curve:
    """A voltammogram: potential (V) and current (A, reduction positive) as numpy arrays."""

    potential: np.ndarray
    current: np.ndarray
    settings: Dict[str, Any] = field(default_factory=dict)
    metadata: Dict[str, Any] = field(default_factory=dict)


@dataclass
class FitResult:
    """What Auto Fit found: values, standard errors and 95 % intervals by slot name."""

    values: Dict[str, float]
    stderr: Dict[str, float]
    interval: Dict[str, Tuple[float, float]]
    report: List[str]
    curve: Curve


def _number(value: Any) -> str:
    return repr(float(value))


def _scheme_lines(scheme: str) -> List[str]:
    """The Mechanism dialog's boxes for a scheme such as "A + e = B; B = C; B + B = D"."""
    lines = [f"type FormMech.charge({k})" for k in range(1, 7)]
    lines += [f"type FormMech.chem({k})" for k in range(1, 9)]
    lines += [f"type FormMech.chem2({k})" for k in range(1, 13)]
    charge = chem = chem2 = 0
    for reaction in (r.strip() for r in scheme.split(";")):
        if not reaction:
            continue
        sides = [s.strip() for s in reaction.split("=")]
        if len(sides) != 2:
            raise ValueError(f"a reaction needs one '=': {reaction!r}")
        left = [t.strip() for t in sides[0].split("+")]
        right = [t.strip() for t in sides[1].split("+")]
        electrons = [t for t in left if re.fullmatch(r"\d*\s*e", t)]
        if electrons:
            species = [t for t in left if t not in electrons]
            if len(species) != 1 or len(right) != 1:
                raise ValueError(f"a charge reaction is 'Ox + n e = Red': {reaction!r}")
            charge += 1
            if charge > 3:
                raise ValueError("at most three charge reactions")
            count = electrons[0][:-1].strip() or "1"
            lines += [f"type FormMech.charge({2 * charge - 1}) {species[0]}",
                      f"choose FormMech.NEL({charge}) {count}",
                      f"type FormMech.charge({2 * charge}) {right[0]}"]
        elif len(left) == 1 and len(right) == 1:
            chem += 1
            if chem > 4:
                raise ValueError("at most four first-order reactions")
            lines += [f"type FormMech.chem({2 * chem - 1}) {left[0]}",
                      f"type FormMech.chem({2 * chem}) {right[0]}"]
        else:
            if len(left) > 2 or len(right) > 2:
                raise ValueError(f"at most two species a side: {reaction!r}")
            chem2 += 1
            if chem2 > 3:
                raise ValueError("at most three second-order reactions")
            places = (left + [""])[:2] + (right + [""])[:2]
            lines += [f"type FormMech.chem2({4 * chem2 - 3 + k}) {p}".rstrip()
                      for k, p in enumerate(places)]
    return lines


def _apply(session: Session, technique: Optional[str], scheme: Optional[str],
           electrode: Optional[str], digital: Optional[bool], accuracy: Optional[str],
           parameters: Dict[str, Any]) -> Dict[str, Any]:
    """Sets up the session's dialogs from keywords; returns the settings as applied."""
    settings: Dict[str, Any] = {}
    if digital is not None:
        if session.checked("FormMech.CheckDigital") != bool(digital):
            session.run("click FormMech.CheckDigital")
        settings["digital"] = bool(digital)
    if scheme is not None:
        session.run_script("\n".join(_scheme_lines(scheme)))
        settings["scheme"] = scheme
    if accuracy is not None:
        session.run(f"choose FormMech.ComboAccuracy {accuracy}")
        settings["accuracy"] = accuracy
    if technique is not None:
        if technique not in TECHNIQUES:
            raise ValueError(f"technique must be one of {sorted(TECHNIQUES)}")
        option, scan = TECHNIQUES[technique]
        session.run_script(f"click FormTech.optTech({option})\nclick FormTech.cmdOK")
        if scan is not None:
            session.run(f"choose FormIns.ComboScan {scan}")
        settings["technique"] = technique
    if electrode is not None:
        if electrode not in ELECTRODES:
            raise ValueError(f"electrode must be one of {sorted(ELECTRODES)}")
        session.run(f"click FormIns.optElectrode({ELECTRODES[electrode]})")
        settings["electrode"] = electrode
    chemicals = []
    for name, value in parameters.items():
        if name in _INSTRUMENT:
            session.run(f"type FormIns.{_INSTRUMENT[name]} {_number(value)}")
        elif name in _CHEMICALS:
            values = [value] if np.isscalar(value) else list(value)
            for i, v in enumerate(values, start=1):
                if v is not None:
                    chemicals.append(f"type FormExpr.{_CHEMICALS[name]}({i}) {_number(v)}")
        else:
            raise TypeError(f"unknown parameter {name!r}; the dialogs name "
                            f"{sorted(_INSTRUMENT) + sorted(_CHEMICALS)}")
        settings[name] = value
    session.run("menu mnuExperimental")  # lays the table out for the scheme
    session.run_script("\n".join(chemicals + ["click FormExpr.cmdOK"]))
    return settings


def simulate(technique: Optional[str] = None, scheme: Optional[str] = None,
             electrode: Optional[str] = None, digital: Optional[bool] = None,
             accuracy: Optional[str] = None, **parameters: Any) -> Curve:
    """Simulates one voltammogram from the dialogs' defaults and the keywords given.

    technique: "linear", "cyclic", "cyclic2", "dc", "normal pulse", "differential pulse",
    "square wave"; scheme: reactions separated by ';' ("A + e = B; B = C"); electrode: a key of
    ELECTRODES; digital: the Mechanism dialog's box (on by default); accuracy: "standard",
    "fine" or "finest". Parameters: Estart, Eend, Estep, V, tp, td, Epulse, T, Noise, Cdl, Ru,
    f, tquiet, area, radius, length, rpm (numbers), and C, D, E0, ks, alpha, kf, kb (a number
    for row 1 or a list, row by row).
    """
    session = Session()
    settings = _apply(session, technique, scheme, electrode, digital, accuracy, parameters)
    session.run("menu mnuSimulate")
    x, ys = session.curves()
    return Curve(x, ys[-1], settings, {"report": session.report()})


def read_curve(path: str, columns: Optional[Sequence[int]] = None) -> Curve:
    """Reads a measured curve in any layout the program's import reads (its own exports,
    instrument exports with units and headers); potentials in V, currents in A, reduction
    positive. columns: the potential and current columns (1-based) where the headings do not
    name them. metadata["report"] holds the import's report lines."""
    session = Session()
    if columns is not None:
        session.run(f"columns {int(columns[0])} {int(columns[1])}")
    session.run(f"file {os.fspath(path)}")
    session.run("menu mnuImport")
    x, ys = session.curves()
    return Curve(x, ys[-1], {}, {"path": os.fspath(path), "report": session.report()})


_ROW = re.compile(r"^\s*(\d+)\s+(\S+)\s+(\S+)(?:\s+(\S+))?\s*$")


def _fit_table(lines: List[str], heading: str) -> Dict[int, List[float]]:
    """The numbered rows under the report's line that starts with `heading`."""
    rows: Dict[int, List[float]] = {}
    inside = False
    for line in lines:
        if line.startswith(heading):
            inside = True
            continue
        if inside:
            match = _ROW.match(line)
            if not match:
                if rows:
                    break
                continue
            rows[int(match.group(1))] = [float(g) for g in match.groups()[1:] if g is not None]
    return rows


def fit(measured: Any, fit: Sequence[str] = ("C(1)",), technique: Optional[str] = None,
        scheme: Optional[str] = None, electrode: Optional[str] = None,
        digital: Optional[bool] = None, accuracy: Optional[str] = None,
        **parameters: Any) -> FitResult:
    """Fits the slots named in `fit` (see FIT_SLOTS: "ks(1)", "alpha(1)", "C(1)", ...) to a
    measured curve: a path the import reads, or a Curve (from read_curve or simulate). The
    keywords set up the experiment as for simulate and give the fit's starting values."""
    unknown = [name for name in fit if name not in FIT_SLOTS]
    if unknown:
        raise ValueError(f"unknown fit slots {unknown}; the slots are {list(FIT_SLOTS)}")
    session = Session()
    _apply(session, technique, scheme, electrode, digital, accuracy, parameters)
    with tempfile.TemporaryDirectory() as folder:
        path = measured
        if isinstance(measured, Curve):
            path = os.path.join(folder, "measured.csv")
            with open(path, "w", encoding="ascii") as out:
                out.write("Potential/V,Current/A\n")
                for e, i in zip(measured.potential, measured.current):
                    out.write(f"{float(e)!r},{float(i)!r}\n")
        session.run(f"file {os.fspath(path)}")
        session.run("menu mnuImport")
    wanted = {FIT_SLOTS[name] for name in fit}
    session.run("menu mnuExperimental")
    for slot in range(1, 30):
        if session.checked(f"FormExpr.CheckFitted({slot})") != (slot in wanted):
            session.run(f"click FormExpr.CheckFitted({slot})")
    session.run("click FormExpr.cmdOK")
    session.run("menu mnuAutoFit")
    report = session.report()
    order = sorted(wanted)
    names = {FIT_SLOTS[name]: name for name in fit}
    fitted = _fit_table(report, "No.           Initial value")
    errors = _fit_table(report, "No.           Std. error")
    values = {names[s]: fitted[k + 1][1] for k, s in enumerate(order) if k + 1 in fitted}
    stderr = {names[s]: errors[k + 1][0] for k, s in enumerate(order) if k + 1 in errors}
    interval = {names[s]: (errors[k + 1][1], errors[k + 1][2])
                for k, s in enumerate(order) if k + 1 in errors and len(errors[k + 1]) == 3}
    x, ys = session.curves()
    return FitResult(values, stderr, interval, report,
                     Curve(x, ys[-1], {"fit": list(fit)}, {"report": report}))
