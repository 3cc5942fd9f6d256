"""Stresses, bearing slopes, critical speeds and load cases through the
package, against closed forms."""

import math

import numpy as np
import pytest

import velmora

STORED_PI = 3.141592654


def test_critical_speeds_of_a_simply_supported_beam():
    # omega_n = (n pi / L)^2 sqrt(EI / m)
    l, ei, m = 3.0, 2.0e4, 7.5
    speeds = velmora.Beam().section(l=l, EI=ei, m=m).end().critical(3, points=8)
    for n, speed in enumerate(speeds, start=1):
        assert speed.omega == pytest.approx((n * math.pi / l) ** 2 * math.sqrt(ei / m), rel=1e-9)
        assert speed.n == pytest.approx(60 * speed.omega / (2 * math.pi), rel=1e-12)
        # The shape is the sine of the mode, scaled to a largest sample of 1.
        sine = np.abs(np.sin(n * math.pi * speed.x / l))
        assert np.allclose(np.abs(speed.w), sine / sine.max(), atol=1e-9)


def test_stress_and_bearing_slopes_of_a_shaft():
    # A shaft on two bearings under q: psi = q L^3 / 24 EI at the bearings,
    # sigma = M / (pi d^3 / 32) everywhere.
    l, e, d, q = 400.0, 210000.0, 30.0, 2.5
    s = velmora.Beam().shaft(l=l, E=e, d=d, q=q).end().solve()
    ei = e * STORED_PI * d**4 / 64
    left, right = s.reactions
    assert left.psi == pytest.approx(q * l**3 / (24 * ei), rel=1e-12)
    assert right.psi == pytest.approx(-q * l**3 / (24 * ei), rel=1e-12)
    diagram = s.diagram(points=9)
    modulus = STORED_PI * d**3 / 32
    assert np.allclose(diagram.sigma, diagram.M / modulus, rtol=1e-14, atol=0)
    assert s.extremes["sigma"].max == pytest.approx(q * l**2 / 8 / modulus, rel=1e-12)
    assert velmora.Beam().section(l=1, EI=1).end().solve().diagram().sigma is None


def two_spans(q_spans):
    b = velmora.Beam().section(l=5, EI=100).support().section(l=5, EI=100).end()
    b.case("Q", spanwise=True).line(q=q_spans)
    return b


@pytest.mark.parametrize("method", ["general", "keyed"])
def test_envelope_of_a_spanwise_load_on_two_spans(method):
    # Both spans loaded: -q l^2 / 8 over the support; one span loaded: the
    # largest span moment 49 q l^2 / 512 at 7 l / 16.
    q, l = 10.0, 5.0
    e = two_spans(q).solve(method=method).envelope(points=20)
    assert e.extremes["M"].min == pytest.approx(-q * l**2 / 8, rel=1e-12)
    assert e.extremes["M"].at_min.spans == {"Q": [1, 2]}
    assert e.extremes["M"].max == pytest.approx(49 * q * l**2 / 512, rel=1e-12)
    assert e.extremes["M"].x_max == pytest.approx(7 * l / 16, rel=1e-9)
    assert e.extremes["M"].at_max.spans in ({"Q": [1]}, {"Q": [2]})
    assert np.all(e.M_min <= e.M_max) and len(e.M_max) == len(e.x)
    # A case shown alone is the same load written in the beam's own lines.
    alone = two_spans(q).solve(method=method, case="Q").diagram(points=20)
    own = (velmora.Beam().section(l=5, EI=100, q=q).support().section(l=5, EI=100, q=q).end()
           .solve(method=method).diagram(points=20))
    assert np.allclose(alone.M, own.M, rtol=1e-12, atol=1e-12)


def test_a_combination_factor_acts_where_the_case_harms():
    # With 1.35/1.0 on G the largest moment takes 1.35 G, the smallest 1.0 G
    # where G sags; a plain factor on a spanwise case is counted only where
    # it harms.
    b = velmora.Beam().section(l=4, EI=50, q=2).end()
    b.case("Q", spanwise=True).line(q=-3)
    b.combination("ULS", {"G": (1.35, 1.0), "Q": 1.5})
    e = b.solve().envelope(points=15)
    g = velmora.Beam().section(l=4, EI=50, q=1).end().solve().diagram(points=15).M
    assert np.allclose(e.M_max, 1.35 * 2 * g, rtol=1e-12)
    assert np.allclose(e.M_min, (1.0 * 2 - 1.5 * 3) * g, rtol=1e-12)


def one_span_with_combinations():
    # G = 2 and Q = 3 on one simply supported span, as ULS and SLS.
    b = velmora.Beam().section(l=6, EI=400, q=2).end()
    b.case("Q").line(q=3)
    return b.combination("ULS", {"G": 1.35, "Q": 1.5}).combination("SLS", {"G": 1, "Q": 1})


def test_an_envelope_is_of_the_combinations_asked():
    # The largest deflection 5 q l^4 / 384 EI and moment q l^2 / 8 of the
    # combination's q, between the samples at l/3 and 2l/3.
    b, l, ei = one_span_with_combinations(), 6.0, 400.0
    w = {"ULS": 5 * (1.35 * 2 + 1.5 * 3) * l**4 / (384 * ei), "SLS": 5 * 5 * l**4 / (384 * ei)}
    s = b.solve()
    for asked, name in [("SLS", "SLS"), (["SLS"], "SLS"), (["ULS", "SLS"], "ULS"), (None, "ULS")]:
        e = s.envelope(points=2, combinations=asked)
        assert e.extremes["w"].max == pytest.approx(w[name], rel=1e-12)
        assert e.extremes["w"].at_max.combination == name
    alone = b.solve(case="SLS").envelope(points=2)
    assert alone.extremes["w"].max == pytest.approx(w["SLS"], rel=1e-12)
    assert alone.extremes["M"].max == pytest.approx(5 * l**2 / 8, rel=1e-12)


@pytest.mark.parametrize("case, asked, message", [
    (None, "X", "no combination 'X'"),
    (None, ["SLS", "Q"], "'Q' is a load case, not a combination"),
    ("Q", None, "this solution is of the load case 'Q'"),
    ("G", None, "this solution is of the load case 'G'"),
    ("SLS", "ULS", "this solution is of the combination 'SLS'"),
])
def test_an_envelope_refuses_what_is_no_combination_of_its_solution(case, asked, message):
    s = one_span_with_combinations().solve(case=case)
    with pytest.raises(velmora.ArgumentError, match=message) as raised:
        s.envelope(combinations=asked)
    assert isinstance(raised.value, ValueError)
