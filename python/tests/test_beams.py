"""Beams through the package against independent solutions: the
three-moment equation, closed forms, reciprocity, and the text format."""

import math
import os
import random
import subprocess
import warnings

import numpy as np
import pytest

import velmora

METHODS = ["general", "keyed"]


@pytest.mark.parametrize("method", METHODS)
def test_continuous_beams_match_the_three_moment_equation(continuous_beams, method):
    for c in continuous_beams:
        s = c.beam(velmora).solve(method=method)
        d = s.diagram(points=7)
        scale = max(1.0, np.abs(d.M).max(), np.abs(d.Q).max())
        inside = 0
        for x, m, q in zip(d.x, d.M, d.Q):
            span = min(np.searchsorted(c.starts, x, side="right") - 1, len(c.l) - 1)
            expected_m, expected_q = c.m_and_q(x, span)
            assert m == pytest.approx(expected_m, abs=1e-9 * scale)
            # Q jumps at a support: compare it inside the spans only.
            if np.abs(c.starts - x).min() > 1e-9:
                assert q == pytest.approx(expected_q, abs=1e-9 * scale)
                inside += 1
        assert inside >= 6 * len(c.l)
        forces = [r.F for r in s.reactions]
        assert forces == pytest.approx(c.reactions(), abs=1e-9 * scale)
        assert [r.x for r in s.reactions] == pytest.approx(list(c.starts))


def test_closed_forms_of_the_single_span():
    # Simply supported, uniform load: w = 5 q l^4 / 384 EI and M = q l^2 / 8
    # at mid-span; a cantilever under an end force: w = P l^3 / 3 EI.
    q, l, ei, p = 3.5, 6.0, 1234.0, 7.0
    s = velmora.Beam().section(l=l, EI=ei, q=q).end("hinged").solve()
    mid = s.at(l / 2)
    assert mid.w == pytest.approx(5 * q * l**4 / (384 * ei), rel=1e-12)
    assert s.extremes["M"].max == pytest.approx(q * l**2 / 8, rel=1e-12)
    assert s.extremes["M"].x_max == pytest.approx(l / 2, rel=1e-12)
    c = velmora.Beam("clamped").section(l=l, EI=ei).end("free", Q=p).solve()
    assert c.at(l).w == pytest.approx(p * l**3 / (3 * ei), rel=1e-12)


@pytest.mark.parametrize("method", METHODS)
def test_state_at_a_place_is_the_diagram_s_sample(method):
    # Both sides of a point force, and places inside sections.
    beam = (velmora.Beam("clamped").section(l=2.5, EI=800, q=4).force(10).section(l=1.5, EI=800)
            .support().section(l=2, EI=500, q=-2, qs=1).end("free", M=3, Q=-1))
    s = beam.solve(method=method)
    d = s.diagram(points=4)
    jumps = {}
    for x, row in zip(d.x, d.as_array()):
        jumps.setdefault(x, []).append(row[1:])
    for x, rows in jumps.items():
        assert tuple(s.at(x, side="left")) == pytest.approx(tuple(rows[0]), rel=1e-12, abs=1e-12)
        assert tuple(s.at(x)) == pytest.approx(tuple(rows[-1]), rel=1e-12, abs=1e-12)
    assert s.at(2.5).Q - s.at(2.5, side="left").Q == pytest.approx(-10)


def test_influence_line_is_the_moment_under_a_moving_force():
    # Maxwell-Betti: the ordinate at x is M at the cut under a unit force at x.
    def beam(force_at=None):
        b = velmora.Beam("hinged")
        for k, l in enumerate([4.0, 5.0, 3.0]):
            if k:
                b.support()
            start = [0.0, 4.0, 9.0][k]
            if force_at is not None and start < force_at < start + l:
                b.section(l=force_at - start, EI=2000).force(1).section(l=start + l - force_at,
                                                                        EI=2000)
            else:
                b.section(l=l, EI=2000)
        return b.end("hinged")

    line = beam().solve().influence("M@6.5", points=10)
    for x, eta in list(zip(line.x, line.eta))[1::7]:
        if x in (0.0, 4.0, 9.0, 12.0):
            continue
        assert eta == pytest.approx(beam(x).solve().at(6.5).M, abs=1e-12)
    big, small = line.live(q=10)
    assert big == pytest.approx(10 * line.positive_area)
    assert small == pytest.approx(10 * line.negative_area)


def random_beam(rng):
    """A beam of every kind of element, with numbers of every size."""
    def number():
        return rng.choice([rng.uniform(-1e3, 1e3), rng.uniform(-1, 1) * 10 ** rng.randint(-12, 12),
                           float(rng.randint(-9, 9)), 0.1])

    b = velmora.Beam(rng.choice(["hinged", "free", "clamped"]))
    for _ in range(rng.randint(1, 8)):
        kind = rng.randrange(11)
        if kind == 0:
            b.spring(c=number())
        elif kind == 1:
            b.section(l=abs(number()), EI=abs(number()) + 1e-3)
        elif kind == 2:
            b.section(l=abs(number()), EI=abs(number()) + 1, q=number(), qs=number())
        elif kind == 3:
            b.shaft(l=abs(number()), E=abs(number()) + 1, d=abs(number()) + 0.5, q=number())
        elif kind in (4, 5, 6, 7):
            getattr(b, ["force", "moment", "angle", "offset"][kind - 4])(number())
        elif kind == 8:
            b.mass(abs(number()), J=abs(number()))
        elif kind == 9:
            b.section(l=abs(number()), EI=1, W=abs(number()) + 1, m=abs(number()))
            b.shaft(l=1, E=1, d=1, rho=abs(number()))
        else:
            rng.choice([b.support, b.hinge])()
    end = rng.choice(["hinged", "free", "clamped"])
    return b.end(end, **({"M": number()} if end == "hinged" else
                         {"M": number(), "Q": number()} if end == "free" else {}))


def test_describe_then_parse_gives_the_beam_back():
    rng = random.Random(1515)
    beams = [random_beam(rng) for _ in range(200)]
    text = "".join(b.describe() for b in beams)
    assert velmora.parse(text) == beams
    for b in beams[:20]:
        assert velmora.parse(repr(b)) == [b]


@pytest.mark.parametrize("method", METHODS)
def test_run_gives_the_f7_of_a_repeated_run(method):
    text = ("F1 gelenkiges Lager\nF3 l=3 EI=100 q=2\nF6 Zwischenbedingung gelenkiges Lager\n"
            "F3 l=2 EI=100 q=2\nF6 rechtes Traegerende gelenkiges Lager\nF7\n"
            "F1 gelenkiges Lager\nF3 l=1.25 EI=100 q=2\nF7\n")
    beam, = velmora.parse(text)
    results = velmora.run(text, method=method)
    s = beam.solve(method=method)
    # The keyed F7 after the right end rounds its own way.
    for result, state in zip(results, [s.at(5.0, side="left"), s.at(1.25)]):
        assert result == pytest.approx(state, rel=1e-12, abs=1e-15)
    assert len(results) == 2


def test_untrusted_keyed_values_are_warned_of():
    # A repeated run with another force than its beam's reads registers of
    # no complete beam.
    text = ("F1 Einspannung\nF3 l=1 EI=1\nF4 Kraft 1\nF6 rechtes Traegerende freies Ende\n"
            "F1 Einspannung\nF3 l=1 EI=1\nF4 Kraft 2\nF7\n")
    with pytest.warns(velmora.TrustWarning, match="line 7, column 1: .*Kraft is 2"):
        velmora.run(text)


def test_keyed_reactions_and_extremes_that_lost_digits_are_warned_of(continuous_beams):
    # A stiff spring between a long shaft in millimetres and soft sections:
    # the keyed slope at the support (line 6) parts from the general one.
    beam = (velmora.Beam("clamped").shaft(l=300, E=210000, d=80, q=3).section(l=5, EI=1e7, q=10)
            .spring(c=1e14).section(l=40, EI=1e7, q=1).support().section(l=2, EI=42000, q=1)
            .end("free"))
    general = beam.solve().reactions[-1].psi
    with pytest.warns(velmora.TrustWarning) as told:
        keyed = beam.solve(method="keyed").reactions[-1].psi
    assert abs(keyed - general) > 1e-3 * abs(general)
    slope = f"psi = {keyed:g}, where method=\"general\" gives {general:g}"
    assert any(str(w.message).startswith("line 6, column 1: ") and slope in str(w.message)
               for w in told), [str(w.message) for w in told]
    # Neither the general method nor well-scaled keyed beams warn.
    with warnings.catch_warnings():
        warnings.simplefilter("error", velmora.TrustWarning)
        beam.solve()
        for c in continuous_beams:
            c.beam(velmora).solve(method="keyed")


def test_svg_is_what_velmora_batch_draws():
    program = os.environ["VELMORA_BATCH"]
    beam = velmora.Beam("clamped").section(l=2, EI=30, q=1).spring(c=50).section(l=1, EI=30)
    beam.end("free", Q=2)
    for method, options in [("keyed", []), ("general", ["--general"])]:
        drawn = subprocess.run([program, "--svg", "-", "--points", "9", *options],
                               input=beam.describe().encode(), capture_output=True, check=True)
        assert beam.solve(method=method).svg(points=9) == drawn.stdout.decode()


def test_many_beams_in_one_process_stay_apart():
    # A keyed beam solved after others, refused ones too, has the bits of a
    # beam solved first.
    rng = random.Random(7)
    plain = velmora.Beam().section(l=2, EI=3, q=1).support().section(l=1, EI=3, q=2).end()
    first = plain.solve(method="keyed").diagram(points=20).as_array()
    six = velmora.Beam()
    for _ in range(6):
        six.section(l=1, EI=1, q=1).support()
    six.section(l=1, EI=1).end()
    with pytest.raises(velmora.KeyedError):
        six.solve(method="keyed")
    for _ in range(20):
        try:
            random_beam(rng).solve(method="keyed").diagram(points=3)
        except velmora.BeamError:
            pass
    again = plain.solve(method="keyed").diagram(points=20).as_array()
    assert np.array_equal(first.view(np.uint64), again.view(np.uint64))
    assert math.isfinite(again.sum())
