# The Python module against the command-line tool and against physics.
import math
import os
import subprocess
import sys

import numpy as np
import pytest

import kivex

FARADAY, GAS = 96485.33212, 8.314462618


def test_session_gives_the_command_line_tools_numbers_to_the_last_bit(tmp_path):
    script = ("choose FormIns.ComboScan cycle\ntype FormIns.V 0.1\ntype FormExpr.ks(1) 1e-3\n"
              "menu mnuSimulate\nmenu mnuFindPeak\n")
    (tmp_path / "run.kivex").write_text(script + "write-curves batch.csv\n")
    printed = subprocess.run([os.path.abspath(os.environ["KIVEX_BATCH"]), "run.kivex"], cwd=tmp_path,
                             capture_output=True, text=True, check=True).stdout
    s = kivex.Session()
    assert s.run_script(script) == printed
    x, ys = s.curves()
    batch = np.loadtxt(tmp_path / "batch.csv", delimiter=",", skiprows=1)
    assert x.dtype == np.float64 and len(ys) == 1
    assert np.array_equal(x, batch[:, 0]) and np.array_equal(ys[0], batch[:, 1])
    assert any(line.startswith("Peak  1") for line in s.report())
    assert s.show("FormExpr.ks(1)") == "1e-3" and s.show("FormExpr.Cinit(1)") == "9.996e-4"
    assert s.show("FormMech.CheckDigital") == "Digital simulation"
    # The keyword layer is the same lines: an EC through simulate() and through a session.
    ec = kivex.simulate(technique="cyclic", scheme="A + e = B; B = C", V=0.1, kf=[1])
    s = kivex.Session()
    s.run_script("choose FormIns.ComboScan cycle\ntype FormIns.V 0.1\ntype FormMech.chem(1) B\n"
                 "type FormMech.chem(2) C\ntype FormExpr.kf(1) 1\nmenu mnuSimulate\n")
    assert np.array_equal(ec.current, s.curves()[1][-1])


def test_refusals_and_bad_lines_raise_the_programs_message():
    s = kivex.Session()
    with pytest.raises(kivex.Error, match="unknown command"):
        s.run("simmer")
    s.run("type FormIns.Estep 0")
    with pytest.raises(kivex.Error, match="Division by zero"):
        s.run("menu mnuSimulate")
    with pytest.raises(ValueError):
        kivex.simulate(scheme="A + e")
    with pytest.raises(TypeError):
        kivex.simulate(Estpe=0.001)


def test_keyword_simulation_of_a_fast_couple_gives_randles_sevcik():
    cv = kivex.simulate(technique="linear", scheme="A + e = B", E0=[0.0], V=0.1, Estep=0.001,
                        accuracy="finest", C=[1e-3], D=[1e-5], ks=[1e4])
    f = FARADAY / (GAS * 298.15)
    expected = 0.4463 * FARADAY * 1e-6 * math.sqrt(f * 0.1 * 1e-5)
    assert cv.current.max() == pytest.approx(expected, rel=3e-3)
    assert cv.potential[0] == pytest.approx(0.3) and cv.settings["accuracy"] == "finest"


def test_an_instrument_export_is_read_in_volts_and_amperes():
    data = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "io", "data")
    curve = kivex.read_curve(os.path.join(data, "latin1_micro.txt"))
    assert np.allclose(curve.potential, [-0.1, 0.0, 0.1])
    assert np.allclose(np.abs(curve.current), [0.5e-6, 0.25e-6, 1.5e-6])
    with pytest.raises(kivex.Error):
        kivex.read_curve(os.path.join(data, "no_such_file.txt"))


def test_fit_finds_the_rate_constant_of_a_simulated_slow_couple():
    settings = dict(technique="cyclic", scheme="A + e = B", V=0.1, Estep=0.002)
    measured = kivex.simulate(ks=[2e-3], **settings)
    result = kivex.fit(measured, fit=["ks(1)"], ks=[2e-2], **settings)
    assert result.values["ks(1)"] == pytest.approx(2e-3, rel=1e-3)
    low, high = result.interval["ks(1)"]
    assert low < result.values["ks(1)"] < high and result.stderr["ks(1)"] > 0
    assert len(result.curve.current) == len(measured.current)


def test_the_dask_example_prints_the_table_of_the_shell_sweep():
    pytest.importorskip("dask.distributed")
    examples = os.environ["KIVEX_EXAMPLES"]
    printed = subprocess.run([sys.executable, os.path.join(examples, "dask_sweep.py"), "--workers",
                              "2"], capture_output=True, text=True, check=True,
                             timeout=300).stdout
    expected = os.path.join(examples, "..", "tests", "examples", "ks_sweep.expected")
    with open(expected, encoding="utf-8") as table:
        assert printed == table.read()
