"""Extended sections through Python: the keyword arguments, what they
compute, their text, and the keyed method's refusal."""

import math

import numpy as np
import pytest

import velmora


def test_a_beam_column_against_its_closed_form():
    # M_mid = (q / lambda^2)(sec(lambda l / 2) - 1), sigma = N/A +- M/W.
    q, l, ei, n, a, w = 10.0, 4.0, 4080.0, -300.0, 28.5e-4, 194e-6
    s = velmora.Beam().section(l=l, EI=ei, q=q, N=n, A=a, W=w).end("hinged").solve()
    lam = math.sqrt(-n / ei)
    m = q / lam**2 * (1 / math.cos(lam * l / 2) - 1)
    assert s.extremes["M"].max == pytest.approx(m, rel=1e-9)
    assert s.stress.max == pytest.approx(n / a + m / w, rel=1e-9)
    assert s.stress_top.min == pytest.approx(n / a - m / w, rel=1e-9)
    d = s.diagram()
    assert np.allclose(d.sigma + d.sigma_top, 2 * n / a, rtol=1e-12)
    assert [r.F for r in s.reactions] == pytest.approx([q * l / 2] * 2, rel=1e-9)


def test_a_shaft_with_shear_deformation_and_a_beam_on_a_foundation():
    e, g, d, l, q = 2.1e5, 8.1e4, 30.0, 400.0, 2.0
    s = velmora.Beam().shaft(l=l, E=e, d=d, q=q, G=g).end("hinged").solve()
    nu = e / (2 * g) - 1
    gas = 6 * (1 + nu) / (7 + 6 * nu) * g * math.pi * d**2 / 4
    ei = e * math.pi * d**4 / 64
    expected = 5 * q * l**4 / (384 * ei) + q * l**2 / (8 * gas)
    assert s.extremes["w"].max == pytest.approx(expected, rel=1e-8)  # the stored pi
    # A free-free beam on a foundation needs no support; w0 = P beta / 2k.
    k, ei, p = 2e4, 5e4, 500.0
    beta = (k / (4 * ei)) ** 0.25
    s = (velmora.Beam("free").section(l=20, EI=ei, k=k).force(p).section(l=20, EI=ei, k=k)
         .end("free").solve())
    assert s.extremes["w"].max == pytest.approx(p * beta / (2 * k), rel=1e-6)
    # No support: the soil under each half carries half the load.
    assert s.reactions == []
    assert [(f.start, f.end) for f in s.foundations] == [(0, 20), (20, 40)]
    assert [f.F for f in s.foundations] == pytest.approx([p / 2, p / 2], rel=1e-12)


def test_the_keys_round_trip_and_the_keyed_method_refuses_them():
    b = (velmora.Beam().section(l=2, EI=100, N=-5, k=3, GAs=400, kappa=1e-3, A=0.01)
         .shaft(l=1, E=2e5, d=20, N=7, k=1, G=8e4, kappa=-2e-3).end("hinged"))
    text = b.describe()
    for key in ("N=-5", "k=3", "GAs=400", "kappa=0.001", "A=0.01", "G=80000"):
        assert key in text
    assert velmora.parse(text)[0] == b
    with pytest.raises(velmora.KeyedError, match=r"line 2, column 1: .*no key for a section with axial force.*method=\"general\" solves it"):
        b.solve(method="keyed")
