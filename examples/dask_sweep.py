#!/usr/bin/env python3
"""A parameter sweep as independent tasks on a dask.distributed cluster: the cyclic
voltammogram at 0.1 V/s for each heterogeneous rate constant ks, run by the Python module on
whichever worker is free, and the peak separation of each gathered into one table (the same
table as examples/ks_sweep.sh prints).

    PYTHONPATH=build/python python3 examples/dask_sweep.py                 # a local cluster
    PYTHONPATH=build/python python3 examples/dask_sweep.py --workers 8
    python3 examples/dask_sweep.py --scheduler tcp://head-node:8786        # a running cluster

On a real cluster every worker needs the kivex module on its path (cmake --install, or
PYTHONPATH to a shared build folder). Fitting many files is the same pattern: map a function
that calls kivex.fit(path, ...) over the paths.
"""

import argparse
import re

from dask.distributed import Client, LocalCluster

VALUES = ["1e-4", "3e-4", "1e-3", "3e-3", "1e-2", "3e-2", "1e-1", "1"]

SCRIPT = """choose FormIns.ComboScan cycle
type FormIns.V 0.1
type FormExpr.ks(1) {ks}
type FormExpr.alph(1) 0.5
menu mnuSimulate
menu mnuFindPeak
"""


def peak_separation(ks):
    """One task: a session of its own, the program's own peak search."""
    import kivex  # imported on the worker

    printed = kivex.Session().run_script(SCRIPT.format(ks=ks))
    match = re.search(r"^Ep2 - Ep1 = *(\S+)", printed, re.MULTILINE)
    return ks, match.group(1) if match else "no return peak"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scheduler", help="address of a running scheduler (default: a local "
                        "cluster of processes)")
    parser.add_argument("--workers", type=int, default=2, help="processes of the local cluster")
    args = parser.parse_args()
    if args.scheduler:
        client = Client(args.scheduler)
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
    with client:
        results = client.gather(client.map(peak_separation, VALUES))
    print("ks (cm/s)   Ep2 - Ep1 (V)")
    for ks, separation in results:
        print(f"{ks:<11} {separation}")


if __name__ == "__main__":
    main()
