from typing import Any, Dict, List, Optional, Sequence, Tuple

import numpy as np
import numpy.typing as npt

class Error(Exception): ...

class Session:
    def __init__(self) -> None: ...
    def run(self, line: str) -> str: ...
    def run_script(self, text: str) -> str: ...
    def curves(self) -> Tuple[npt.NDArray[np.float64], List[npt.NDArray[np.float64]]]: ...
    def report(self) -> List[str]: ...
    def show(self, control: str) -> str: ...
    def checked(self, control: str) -> bool: ...

TECHNIQUES: Dict[str, Tuple[int, Optional[str]]]
ELECTRODES: Dict[str, int]
FIT_SLOTS: Dict[str, int]

class Curve:
    potential: npt.NDArray[np.float64]
    current: npt.NDArray[np.float64]
    settings: Dict[str, Any]
    metadata: Dict[str, Any]
    def __init__(self, potential: npt.NDArray[np.float64], current: npt.NDArray[np.float64],
                 settings: Dict[str, Any] = ..., metadata: Dict[str, Any] = ...) -> None: ...

class FitResult:
    values: Dict[str, float]
    stderr: Dict[str, float]
    interval: Dict[str, Tuple[float, float]]
    report: List[str]
    curve: Curve

def simulate(technique: Optional[str] = ..., scheme: Optional[str] = ...,
             electrode: Optional[str] = ..., digital: Optional[bool] = ...,
             accuracy: Optional[str] = ..., **parameters: Any) -> Curve: ...
def read_curve(path: str, columns: Optional[Sequence[int]] = ...) -> Curve: ...
def fit(measured: Any, fit: Sequence[str] = ..., technique: Optional[str] = ...,
        scheme: Optional[str] = ..., electrode: Optional[str] = ...,
        digital: Optional[bool] = ..., accuracy: Optional[str] = ...,
        **parameters: Any) -> FitResult: ...
