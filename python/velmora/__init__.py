"""velmora: the bending of straight beams and shafts.

Describe a beam from its left end to its right end, solve it, and read its
deflection w, slope psi, bending moment M and shear force Q::

    >>> import velmora
    >>> b = velmora.Beam("hinged").section(l=4, EI=21000, q=10).end("hinged")
    >>> b.solve().at(2.0).M
    20.0

Units are the user's own, consistent ones. w and M are positive downwards
and sagging, a load positive downwards; a reaction is positive when it acts
against a positive load.

``solve()`` uses the general method, which solves every stable beam;
``solve(method="keyed")`` gives, bit for bit, the program's own arithmetic
(the reduction method with its five-condition register bank). Every keyed
solve starts the engine afresh: nothing of one beam reaches the next.
"""

import warnings as _warnings

from . import _plot, sections
from ._types import (Buckling, Check, CriticalSpeed, Diagram, Envelope, EnvelopeExtreme,
                     EnvelopeReaction, Extreme, FoundationForce, Loading, Reaction, SpanExtremes,
                     State)
from ._velmora import Beam, InfluenceLine, LoadCase, Solution, parse
from ._velmora import run as _run
from .errors import (ArgumentError, BeamError, BucklingWarning, DescriptionError, KeyedError,
                     MechanismError, TrustWarning)
from .sections import materials

__version__ = "0.1.0"

__all__ = [
    "ArgumentError", "Beam", "BeamError", "Buckling", "BucklingWarning", "Check", "CriticalSpeed",
    "DescriptionError", "Diagram", "Envelope", "EnvelopeExtreme", "EnvelopeReaction", "Extreme",
    "FoundationForce", "InfluenceLine", "KeyedError", "LoadCase", "Loading", "MechanismError",
    "Reaction", "Solution", "SpanExtremes", "State", "TrustWarning", "materials", "parse", "run",
    "sections",
]


def run(text, method="keyed"):
    """Run a description as velmora-batch does: the results of its F7 lines,
    in order, as States. Keyed values that cannot be trusted are warned of
    as :class:`TrustWarning`, with their line. Raises DescriptionError
    (with ``line`` and ``column``), MechanismError or KeyedError."""
    results, warned = _run(text, method)
    for line, column, message in warned:
        _warnings.warn(f"line {line}, column {column}: {message}", TrustWarning, stacklevel=2)
    return results


Solution.plot = _plot.plot


def _report(solution, path, points=50):
    """Write the beam's report to `path`: one self-contained HTML page
    (the drawing inline, no scripts, no other files) that prints on A4, with
    the description, sections, cases and combinations, reactions, extremes,
    the span table and checks where the beam has them, critical speeds where
    it has masses. Returns the path."""
    with open(path, "wb") as f:
        f.write(solution._report(points))
    return path


Solution.report = _report
