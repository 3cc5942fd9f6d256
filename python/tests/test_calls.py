"""The calls themselves: the types they take, the words of their refusals,
their docstrings and signatures, and what a solution prints."""

import inspect
import math
import re

import numpy as np
import pytest

import velmora


def beam():
    return velmora.Beam().section(l=2, EI=1, q=1).end()


TYPES = [
    # call, the argument named, the types it takes, the type given
    (lambda: velmora.Beam().section(l=1, EI=1, q="8"), "q", "a number (int or float) or None",
     "str"),
    (lambda: velmora.Beam().section(l=True, EI=1), "l", "a number (int or float)", "bool"),
    (lambda: velmora.Beam().shaft(l=1, E=[1], d=1), "E", "a number", "list"),
    (lambda: velmora.Beam().mass(1, J="2"), "J", "a number", "str"),
    (lambda: velmora.Beam().force(b"1"), "v", "a number", "bytes"),
    (lambda: velmora.Beam(b"hinged"), "left", 'a str ("hinged", "free", "clamped" or "guided")', "bytes"),
    (lambda: velmora.Beam().section(l=1, EI=1).end(b"free"), "kind", "a str", "bytes"),
    (lambda: velmora.Beam().section(l=1, EI=1).end("free", M="1"), "M", "a number", "str"),
    (lambda: beam().combination("C", {"G": [1.35, 1.0]}), "the factor of 'G'",
     "a number or a (worse, better) tuple of numbers", "list"),
    (lambda: beam().combination("C", {"G": (1.35, "1")}), "the better factor of 'G'",
     "a number", "str"),
    (lambda: beam().combination("C", [("G", 1)]), "factors", "a dict", "list"),
    (lambda: beam().combination("C", {1: 1}), "each case of factors", "a str", "int"),
    (lambda: beam().combination(b"C", {"G": 1}), "name", "a str", "bytes"),
    (lambda: beam().case(7), "name", "a str", "int"),
    (lambda: beam().own_case(None), "name", "a str", "NoneType"),
    (lambda: beam().case("Q", spanwise="yes"), "spanwise", "True or False (bool)", "str"),
    (lambda: beam().case("Q").force("1", x=1), "v", "a number", "str"),
    (lambda: beam().case("Q").line(q=1, start="0"), "start", "a number", "str"),
    (lambda: beam().solve(method=b"keyed"), "method", "a str", "bytes"),
    (lambda: beam().solve(case=1), "case", "a str (a load case or combination) or None", "int"),
    (lambda: beam().solve().at("1"), "x", "a number", "str"),
    (lambda: beam().solve().at(1, side=b"left"), "side", "a str", "bytes"),
    (lambda: beam().solve().diagram(points=2.5), "points", "a whole number (int)", "float"),
    (lambda: beam().solve().diagram(points=True), "points", "a whole number (int)", "bool"),
    (lambda: beam().solve().influence(b"M@1"), "request", "a str", "bytes"),
    (lambda: beam().solve().influence("M@1").live(q="1"), "q", "a number", "str"),
    (lambda: beam().solve().envelope(points="3"), "points", "a whole number", "str"),
    (lambda: beam().critical("3"), "n", "a whole number (int)", "str"),
    (lambda: velmora.parse(b"F1 gelenkiges Lager\n"), "text", "a str", "bytes"),
    (lambda: velmora.run(b"F1 gelenkiges Lager\n"), "text", "a str", "bytes"),
]


@pytest.mark.parametrize("call, name, takes, given", TYPES)
def test_a_wrong_type_is_a_type_error_naming_the_argument(call, name, takes, given):
    with pytest.raises(TypeError) as raised:
        call()
    assert not isinstance(raised.value, velmora.BeamError)
    message = str(raised.value)
    assert message.startswith(name + " must be " + takes), message
    assert message.endswith(", not " + given), message


def test_numbers_of_every_kind_python_has_are_numbers():
    import fractions
    s = velmora.Beam().section(l=np.float64(2), EI=np.int64(1), q=fractions.Fraction(1)).end()
    assert s == beam()
    assert s.solve().diagram(points=np.int32(3)).x.size == 5
    assert beam().case("Q", spanwise=np.bool_(True)) is not None


def shortest(v):
    """Python's own shortest digits, whole numbers without a point."""
    text = repr(float(v))
    return text[:-2] if text.endswith(".0") else text


@pytest.mark.parametrize("x", [1 + 1e-15, 2.0000000000000004, 20, 99, -0.1, -1e-05, 2.5e-07])
def test_a_place_outside_the_beam_is_told_in_the_digits_that_tell_it_apart(x):
    length = 0.1 + 0.2 + 1.7  # 2.0000000000000004 would print as 2 in six digits
    b = velmora.Beam().section(l=0.1 + 0.2, EI=1).section(l=1.7, EI=1).end()
    inside = 0 <= x <= b.solve().length
    calls = {"x": lambda: b.solve().at(x), "end": lambda: b.case("Q%d" % id(x)).line(q=1, end=x),
             "start": lambda: b.case("R%d" % id(x)).line(q=1, start=x)}
    for name, call in calls.items():
        if inside:
            call()
            continue
        with pytest.raises(velmora.BeamError) as raised:
            call()
        assert raised.value.message == (f"{name} = {shortest(x)} is outside the beam, which "
                                         f"runs from 0 to {shortest(length)}")


def test_a_place_before_an_unfinished_beam_is_outside_it():
    unfinished = velmora.Beam().section(l=1, EI=1)
    with pytest.raises(velmora.ArgumentError) as raised:
        unfinished.case("Q").force(1, x=-0.5)
    assert raised.value.message == "x = -0.5 is outside the beam, which starts at 0"


@pytest.mark.parametrize("modulus", [1e-320, 5e-324, 1e-310, 1e-300, 1e-3, 7.5])
def test_sigma_extremes_are_m_over_w_or_refused(modulus):
    # A simply supported span under q: M from 0 at the ends to q l^2 / 8 at
    # l / 2, so sigma from 0 to q l^2 / (8 W) where that is a double.
    q, l = 3.0, 2.0
    b = velmora.Beam().section(l=l, EI=5, q=q, W=modulus).end()
    largest = q * l**2 / 8 / modulus
    if math.isinf(largest):
        with pytest.raises(velmora.DescriptionError, match="sigma = M / W is beyond"):
            b.solve()
        return
    sigma = b.solve().extremes["sigma"]
    assert sigma.max == pytest.approx(largest, rel=1e-12)
    assert sigma.x_max == pytest.approx(l / 2, rel=1e-12)
    assert sigma.min == 0.0


BEAMS_HELD = [
    # a beam whose only masses stand where it is held, the line of the first
    (lambda: velmora.Beam().mass(1).section(l=2, EI=3).end(), 2),
    (lambda: velmora.Beam("clamped").mass(1, J=4).section(l=2, EI=3).end("free"), 2),
    (lambda: velmora.Beam().section(l=2, EI=3).support().mass(5).section(l=1, EI=3).end(), 4),
    (lambda: velmora.Beam().section(l=2, EI=3).mass(1, J=1).end("clamped"), 3),
    (lambda: velmora.Beam().section(l=2, EI=3, m=0).mass(0).end().own_case("D"), None),
]


@pytest.mark.parametrize("make, line", BEAMS_HELD)
def test_masses_that_cannot_move_are_told_apart_from_no_mass(make, line):
    b = make()
    with pytest.raises(velmora.DescriptionError) as raised:
        b.critical(1)
    if line is None:
        assert raised.value.message == "no mass: give m=, rho= or Masse"
    else:
        assert raised.value.message.startswith("no mass can move: ")
        assert raised.value.line == line
        assert b.describe().split("\n")[line - 1].startswith("Masse ")


def test_a_disc_turning_on_a_bearing_can_move():
    # J at a hinged end of a massless simply supported span: the end turns
    # against 3 EI / l, so omega^2 = 3 EI / (l J).
    l, ei, j = 2.0, 3.0, 0.5
    speeds = velmora.Beam().mass(7, J=j).section(l=l, EI=ei).end().critical(3)
    assert len(speeds) == 1
    assert speeds[0].omega == pytest.approx(math.sqrt(3 * ei / (l * j)), rel=1e-9)


def test_messages_name_the_general_method_as_python_calls_it():
    six = velmora.Beam()
    for _ in range(5):
        six.section(l=1, EI=1).support()
    six.section(l=1, EI=1).end()
    stray = "F3 l=1 EI=1\nF1 gelenkiges Lager\nF3 l=1 EI=1\nF6 rechtes Traegerende Einspannung\n"
    for call, words in [(lambda: six.solve(method="keyed"), 'solve it with method="general", '),
                        (lambda: velmora.run(stray, method="general"),
                         'with method="general" every action belongs to a beam')]:
        with pytest.raises(velmora.BeamError) as raised:
            call()
        assert words in raised.value.message
        assert "--general" not in raised.value.message


def public(module):
    for name in module.__all__:
        yield name, getattr(module, name)


def test_every_public_class_and_call_says_what_it_takes():
    for name, thing in public(velmora):
        assert (thing.__doc__ or "").strip(), name
        if not inspect.isclass(thing) or issubclass(thing, (BaseException, tuple)):
            continue
        for member, value in vars(thing).items():
            if member.startswith("_") and member != "__init__":
                continue
            doc = (getattr(value, "__doc__", None) or "").strip()
            assert doc, f"{name}.{member}"
            first = doc.splitlines()[0]
            if first.startswith(member + "("):
                # A compiled call's signature: the Python names, velmora's
                # types, and words after it.
                assert not re.search(r"velmora::|_velmora|\bobject\b", first), first
                words = doc.split("\n\n", 1)
                assert len(words) == 2 and words[1].strip(), f"{name}.{member}: {doc}"


def test_a_solution_and_a_diagram_print_a_summary():
    # Simply supported, q = 10 over 4: w from 0 to 5 q l^4 / 384 EI, M from 0
    # to q l^2 / 8 = 20.
    s = velmora.Beam().section(l=4, EI=1000, q=10).end().solve(method="keyed")
    w = 5 * 10 * 4**4 / (384 * 1000)
    assert repr(s) == f"Solution(keyed method, length 4, 1 element; w from 0 to {w:.6g}, M from 0 to 20)"
    d = s.diagram(points=1)
    assert repr(d) == "Diagram(3 samples, x from 0 to 4, M from 0 to 20)"
