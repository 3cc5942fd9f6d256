"""The values velmora returns."""

from typing import NamedTuple

import numpy as np


class State(NamedTuple):
    """The four quantities at one place: deflection w (positive downwards),
    slope psi, bending moment M (positive sagging) and shear force Q, in the
    user's consistent units."""

    w: float
    psi: float
    M: float
    Q: float


class Reaction(NamedTuple):
    """A support reaction at x: ``kind`` is "left end", "right end",
    "support" or "spring"; F is positive when it acts against a positive
    (downward) load; M is the moment of a clamped end, 0 elsewhere."""

    x: float
    kind: str
    F: float
    M: float


class Extreme(NamedTuple):
    """The largest and smallest value of a quantity along the beam, exact,
    with their places (the first place on a tie)."""

    max: float
    x_max: float
    min: float
    x_min: float


class Diagram:
    """A sampled beam: numpy arrays ``x``, ``w``, ``psi``, ``M`` and ``Q`` of
    equal length, in the order of x; both sides of a point element appear,
    at the same x."""

    def __init__(self, x, w, psi, M, Q):
        self.x = x
        self.w = w
        self.psi = psi
        self.M = M
        self.Q = Q

    def __len__(self):
        return len(self.x)

    def __repr__(self):
        return f"Diagram({len(self)} samples, x from {self.x[0]:g} to {self.x[-1]:g})"

    def as_array(self):
        """The samples as one array of shape (n, 5): x, w, psi, M, Q."""
        return np.column_stack([self.x, self.w, self.psi, self.M, self.Q])
