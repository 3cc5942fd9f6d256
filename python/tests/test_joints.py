"""Partial fixity and joints from Python: closed forms, the reactions they
name, influence lines of their moments, and what the package refuses."""

import re

import pytest

import velmora


def test_a_guided_end_is_half_a_simple_span():
    l, q, ei = 5.0, 3.0, 2000.0
    s = velmora.Beam("guided").section(l=l, EI=ei, q=q).end("hinged").solve()
    start = s.at(0.0)
    assert start.w == pytest.approx(5 * q * l**4 / (24 * ei), rel=1e-12)
    assert start.M == pytest.approx(q * l**2 / 2, rel=1e-12)
    assert abs(start.psi) < 1e-15 and abs(start.Q) < 1e-12
    guided, hinged = s.reactions
    assert (guided.kind, hinged.kind) == ("left end", "right end")
    assert guided.M == pytest.approx(q * l**2 / 2, rel=1e-12)
    assert abs(guided.F) < 1e-12
    assert hinged.F == pytest.approx(q * l, rel=1e-12)


def test_an_intermediate_clamp_and_the_influence_line_of_its_moment():
    beam = velmora.Beam().section(l=4, EI=1000).clamp().section(l=4, EI=1000).end()
    line = beam.solve().influence("MR@3", points=3)
    # A unit force at x = 2 of a span propped on the clamp: M = P a b (l + a) / 2l^2
    # just left of it, 0 right of it; the clamp's moment is the jump.
    at = list(line.x).index(2.0)
    assert line.eta[at] == pytest.approx(2 * 2 * 6 / 32, rel=1e-12)
    loaded = (velmora.Beam().section(l=2, EI=1000).force(1).section(l=2, EI=1000).clamp()
              .section(l=4, EI=1000).end().solve())
    clamp = [r for r in loaded.reactions if r.kind == "clamp"]
    assert len(clamp) == 1
    assert clamp[0].M == pytest.approx(line.eta[at], rel=1e-12)


def test_descriptions_of_every_joint_read_back():
    b = (velmora.Beam("guided").section(l=2, EI=300, q=1).rotational_spring(c=50).support()
         .hinge(c=0.5).section(l=3, EI=300).shear_hinge().section(l=1, EI=300).clamp()
         .section(l=2, EI=300).end("guided"))
    assert velmora.parse(b.describe()) == [b]
    assert "Drehfeder c=50" in b.describe()
    assert "F6 Zwischenbedingung Gelenk c=0.5" in b.describe()


REFUSED = [
    (lambda: velmora.Beam().section(l=1, EI=1).rotational_spring(0), "c must be positive"),
    (lambda: velmora.Beam().section(l=1, EI=1).hinge(c=-1), "c must be positive"),
    (lambda: velmora.Beam().section(l=1, EI=1).end("guided", M=1), "takes no M or Q"),
    (lambda: velmora.Beam("slotted"), "guided"),
]


@pytest.mark.parametrize("call, words", REFUSED)
def test_bad_joints_raise_at_the_call(call, words):
    with pytest.raises(velmora.ArgumentError, match=words):
        call()


def test_the_keyed_method_sends_joints_to_the_general_method():
    b = velmora.Beam().section(l=2, EI=100).clamp().section(l=2, EI=100, q=1).end()
    with pytest.raises(velmora.KeyedError) as raised:
        b.solve(method="keyed")
    assert (raised.value.line, raised.value.column) == (3, 1)
    assert "intermediate clamp" in str(raised.value)
    assert re.search(r'(method="general"|the general method) solves it', str(raised.value))


def test_two_guided_ends_slide():
    b = velmora.Beam("guided").section(l=2, EI=100, q=1).end("guided")
    with pytest.raises(velmora.MechanismError, match="slide up and down as a whole"):
        b.solve()


def test_the_plot_draws_every_joint():
    pytest.importorskip("matplotlib")
    b = (velmora.Beam("guided").section(l=2, EI=300, q=1).rotational_spring(c=50).support()
         .hinge(c=0.5).section(l=3, EI=300).shear_hinge().section(l=1, EI=300).clamp()
         .section(l=2, EI=300).end())
    figure = b.solve().plot(points=5)
    assert len(figure.axes) == 5
    # The sketch has a line or a marker for each of the joints and ends.
    assert len(figure.axes[0].lines) >= 8
