"""Buckling factors through the package: Euler's column and its shape, the
refusal of a beam without compression and the warning past the first load."""

import math
import warnings

import numpy as np
import pytest

import velmora

RIGHT = "F6 rechtes Tr\u00e4gerende gelenkiges Lager\n"


def pinned(keys, l=2.5, ei=1800.0):
    (beam,) = velmora.parse(f"F1 gelenkiges Lager\nF3 l={l!r} EI={ei!r} {keys}\n" + RIGHT)
    return beam


def test_euler_column_factors_and_shapes():
    # P_n = (n pi / l)^2 EI, w = sin(n pi x / l)
    l, ei, n = 2.5, 1800.0, -700.0
    modes = pinned(f"N={n!r}", l, ei).buckling(3, points=9)
    assert [type(m) for m in modes] == [velmora.Buckling] * 3
    for k, mode in enumerate(modes, start=1):
        assert mode.factor == pytest.approx((k * math.pi / l) ** 2 * ei / -n, rel=1e-9)
        sine = np.abs(np.sin(k * math.pi * mode.x / l))
        assert np.allclose(np.abs(mode.w), sine / sine.max(), atol=1e-9)


@pytest.mark.parametrize("keys, refused, warned", [
    ("q=1", True, False),
    ("q=1 N=500", True, False),
    ("q=1 N=-1000", False, False),
    ("q=1 N=-4000", False, True),
])
def test_refusal_and_warning(keys, refused, warned):
    beam = pinned(keys)
    if refused:
        with pytest.raises(ValueError) as caught:
            beam.buckling(1)
        assert isinstance(caught.value, velmora.ArgumentError)
        assert caught.value.line == 1
    else:
        assert beam.buckling(1)[0].factor > 0
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        beam.solve()
    kinds = [w.category for w in caught]
    assert kinds == ([velmora.BucklingWarning] if warned else [])
    if warned:
        factor = beam.buckling(1)[0].factor
        assert f"{factor:.10g}" in str(caught[0].message)
