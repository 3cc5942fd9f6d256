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
    "support", "spring", "clamp" or "rotational spring"; F is positive when
    it acts against a positive (downward) load; M is the moment of a clamped
    or guided end, a clamp or a rotational spring (the jump of M there), 0
    elsewhere. psi is
    the slope there (for a bearing's limit); where a hinge stands at the
    support, psi is the slope just left of it and psi_right just right."""

    x: float
    kind: str
    F: float
    M: float
    psi: float = 0.0
    psi_right: float = 0.0


class FoundationForce(NamedTuple):
    """What a section on an elastic foundation carries, from x = ``start``
    to ``end``: F, the integral of k w over it, positive when it acts
    against a positive (downward) load, as a reaction's F. With the
    reactions it balances the loads."""

    start: float
    end: float
    F: float


class Extreme(NamedTuple):
    """The largest and smallest value of a quantity along the beam, exact,
    with their places (the first place on a tie)."""

    max: float
    x_max: float
    min: float
    x_min: float


class Diagram:
    """A sampled beam: numpy arrays ``x``, ``w``, ``psi``, ``M`` and ``Q`` of
    equal length, in the order of x from the left end; both sides of a point
    element appear, at the same x. w is positive downwards, M positive
    sagging, in the user's consistent units. ``sigma`` is the bending stress
    M/W where a section has a section modulus W (every shaft; a beam section
    given W=), NaN where not, and None on a beam without any W. Where a
    section has an axial force N and an area A, ``sigma`` is the bottom
    fibre's N/A + M/W and ``sigma_top`` the top fibre's N/A - M/W; else
    ``sigma_top`` is None."""

    def __init__(self, x, w, psi, M, Q, sigma=None, sigma_top=None):
        """The columns as Solution.diagram() gives them."""
        self.x = x
        self.w = w
        self.psi = psi
        self.M = M
        self.Q = Q
        self.sigma = sigma
        self.sigma_top = sigma_top

    def __len__(self):
        """The number of samples."""
        return len(self.x)

    def __repr__(self):
        return (f"Diagram({len(self)} samples, x from {self.x[0]:g} to {self.x[-1]:g}, "
                f"M from {self.M.min():g} to {self.M.max():g})")

    def as_array(self):
        """The samples as one array of shape (n, 5): x, w, psi, M, Q."""
        return np.column_stack([self.x, self.w, self.psi, self.M, self.Q])


class CriticalSpeed(NamedTuple):
    """A bending natural frequency of the non-rotating beam: omega in
    radians per time unit of the user's units, f = omega / 2 pi and
    n = 60 f (per minute when time is in seconds); the mode shape w and psi
    at the places x, scaled to a largest |w| of 1."""

    omega: float
    f: float
    n: float
    x: np.ndarray
    w: np.ndarray
    psi: np.ndarray


class Buckling(NamedTuple):
    """A buckling load: the factor by which every section's axial force N
    must be multiplied for the beam to buckle; its shape w at the places x,
    scaled to a largest |w| of 1."""

    factor: float
    x: np.ndarray
    w: np.ndarray


class Loading(NamedTuple):
    """How an envelope's value is made up: the combination (None when the
    beam has none: all cases together), each case's factor, and for a case
    placed span by span the spans loaded, numbered from 1 at the left."""

    combination: object
    factors: dict
    spans: dict


class EnvelopeReaction(NamedTuple):
    """The largest and smallest reaction F of a support, the moments of a
    clamped end (0 elsewhere), and the loadings that give F."""

    x: float
    F_max: float
    F_min: float
    M_max: float
    M_min: float
    at_max: Loading
    at_min: Loading


class EnvelopeExtreme(NamedTuple):
    """The largest and smallest value of a quantity over the beam and every
    combination, with places and loadings."""

    max: float
    x_max: float
    min: float
    x_min: float
    at_max: Loading
    at_min: Loading


class SpanExtremes(NamedTuple):
    """One span of an envelope's span table: its number from 1 at the left,
    where it runs, whether it hangs over a free or guided end, and the
    EnvelopeExtreme of M, Q and w by name."""

    span: int
    start: float
    end: float
    overhang: bool
    extremes: dict


class Check(NamedTuple):
    """A limit checked on one span (w: ``span``) or section (sigma: its
    ``line`` in the description): the largest value there and where, the
    value allowed, value / allowed, whether it holds, and the loading."""

    limit: str
    quantity: str
    combination: object
    span: object
    line: object
    start: float
    end: float
    overhang: bool
    value: float
    x: float
    allowed: float
    utilisation: float
    holds: bool
    loading: Loading


class Envelope:
    """The largest and smallest w, psi, M and Q at every sample x over every
    combination, each factor and each span of a case placed span by span
    taken where it does harm: numpy arrays ``w_max``, ``w_min``, ``psi_max``,
    ..., ``Q_min``; ``reactions`` (EnvelopeReaction) and ``extremes`` (a dict
    of EnvelopeExtreme by quantity); ``spans``, the span table (a list of
    SpanExtremes)."""

    def __init__(self, x, columns, reactions, extremes, spans=(), units=None):
        """The columns as Solution.envelope() gives them."""
        self.x = x
        self.spans = list(spans)
        self.span_edges = sorted({s.start for s in self.spans} | {s.end for s in self.spans})
        self._units = units
        for name, values in columns.items():
            setattr(self, name, values)
        self.reactions = reactions
        self.extremes = extremes

    def __len__(self):
        """The number of samples."""
        return len(self.x)

    def plot(self):
        """Draw the bands of w, psi, M and Q with matplotlib (imported then)
        and return the figure."""
        from ._plot import plot_envelope

        return plot_envelope(self, self._units)

    def __repr__(self):
        return f"Envelope({len(self)} samples, {len(self.reactions)} reactions)"
