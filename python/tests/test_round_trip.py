"""The text a beam writes reads back into the same beam, and a failure of a
built beam names the line and column where its element stands in that text."""

import random
import re

import numpy as np
import pytest

import velmora

# Characters a name may hold that the grammar does not use: it must read
# back as written, whatever else it looks like.
ODD = "aZ_*+-.09ä中🙂'\"\\,;:!?()[]{}<>|~`@$%^&\x01\xa0\u2028"
WORDS = ["feldweise", "Feldweise", "Lastfall", "Kombination", "Kraft", "Moment", "q", "x", "von",
         "bis", "F1", "F7", "Masse", "Gelenk", "ULS"]


def odd_name(rng):
    if rng.random() < 0.3:
        return rng.choice(WORDS) + rng.choice(["", "2", "_x", "+", "ä"])
    first = rng.choice([c for c in ODD if c not in "+-.0123456789"])
    return first + "".join(rng.choice(ODD) for _ in range(rng.randint(0, 8)))


def loaded_beam(rng):
    """A complete beam with its length, its own case perhaps renamed, load
    cases of every kind of load and combinations of them."""
    b = velmora.Beam(rng.choice(["hinged", "clamped"]))
    length = 0.0
    for k in range(rng.randint(1, 4)):
        if k:
            rng.choice([b.support, b.hinge, lambda: b.spring(c=rng.uniform(1, 1e3))])()
        l = rng.choice([rng.uniform(0.1, 9.0), 1.0 / 3.0, 2.5])
        b.section(l=l, EI=rng.uniform(10, 1e4), q=rng.choice([None, rng.uniform(-5, 5)]))
        length += l
    b.end(rng.choice(["hinged", "clamped"]))
    names = set()

    def fresh():
        while True:
            name = odd_name(rng)
            if name not in names and name != "G":
                names.add(name)
                return name

    own = "G"
    if rng.random() < 0.5:
        own = fresh()
        b.own_case(own)
    cases = [own]
    for _ in range(rng.randint(0, 3)):
        name = fresh()
        c = b.case(name, spanwise=rng.random() < 0.5)
        cases.append(name)
        for _ in range(rng.randint(0, 3)):
            kind = rng.randrange(4)
            if kind == 0:
                c.force(rng.uniform(-10, 10), x=rng.uniform(0, length))
            elif kind == 1:
                c.moment(rng.uniform(-10, 10), x=rng.choice([0.0, length, rng.uniform(0, length)]))
            elif kind == 2:
                c.line(q=rng.uniform(-10, 10), qs=rng.choice([None, 0.0, rng.uniform(-1, 1)]))
            else:
                start, end = sorted(rng.uniform(0, length) for _ in range(2))
                c.line(q=rng.uniform(-10, 10), start=start, end=end + 1e-3 * length)
    for _ in range(rng.randint(0, 2)):
        chosen = rng.sample(cases, rng.randint(1, len(cases)))
        b.combination(fresh(), {name: rng.choice([rng.uniform(0, 2), (1.35, 1.0), (1.5, 0), 1])
                                for name in chosen})
    return b


def test_every_beam_the_calls_accept_reads_back_equal():
    rng = random.Random(2205)
    for _ in range(300):
        b = loaded_beam(rng)
        text = b.describe()
        back = velmora.parse(text)
        assert back == [b], text
        assert back[0].describe() == text
        # The same envelope, bit for bit: the cases read back as cases.
        try:
            made = b.solve().envelope(points=3)
        except velmora.BeamError:
            continue
        read = back[0].solve().envelope(points=3)
        for name in ["M_max", "M_min", "w_max", "Q_min"]:
            assert np.array_equal(getattr(made, name), getattr(read, name), equal_nan=True)


def test_the_issue_s_names_are_refused_where_they_are_given():
    # "Q feldweise" read back as the spanwise case Q, and a name with a line
    # end as another line; the envelope changed with them.
    beam = velmora.Beam().section(l=1.5, EI=10).support().section(l=1.5, EI=10).end()
    before = beam.describe()
    for name in ["Q feldweise", "P\nKraft 100 x=0.5"]:
        with pytest.raises(velmora.ArgumentError, match="cannot name a load case"):
            beam.case(name)
    assert beam.describe() == before


NAMES = [
    # name, the words of the refusal
    ("", "needs a name"),
    ("two words", "one word"),
    ("tab\there", "one word"),
    ("end\r", "one word"),
    ("line\nend", "one word"),
    ("a=b", "'='"),
    ("hash#tag", "'#'"),
    ("zero\0byte", "zero byte"),
    ("1st", "starts with a letter"),
    ("+Q", "starts with a letter"),
    ("-Q", "starts with a letter"),
    (".Q", "starts with a letter"),
    ("a/b", "no '/'"),
    ("Q" * 5000, "longer than 4096 bytes"),
]


@pytest.mark.parametrize("name, words", NAMES, ids=lambda v: repr(v)[:20])
@pytest.mark.parametrize("call", ["own_case", "case", "combination"])
def test_names_the_text_cannot_hold_are_refused(name, words, call):
    beam = velmora.Beam().section(l=2, EI=1, q=1).end()
    with pytest.raises(velmora.ArgumentError, match=re.escape(words)):
        if call == "own_case":
            beam.own_case(name)
        elif call == "case":
            beam.case(name)
        else:
            beam.combination(name, {"G": 1})
    assert velmora.parse(beam.describe()) == [velmora.Beam().section(l=2, EI=1, q=1).end()]


def test_a_combination_line_longer_than_a_line_is_refused():
    beam = velmora.Beam().section(l=2, EI=1, q=1).end()
    names = ["Q%d_%s" % (k, "x" * 60) for k in range(70)]
    for name in names:
        beam.case(name)
    with pytest.raises(velmora.ArgumentError, match="longer than 4096 bytes"):
        beam.combination("all", {name: 1.0 for name in names})
    beam.combination("some", {name: 1.0 for name in names[:40]})
    assert velmora.parse(beam.describe()) == [beam]


def test_the_most_actions_a_description_holds():
    # 20000 actions and a load case after them read back; a 20001st is refused.
    beam = velmora.Beam()
    for _ in range(9999):
        beam.section(l=1, EI=1).support()
    beam.section(l=1, EI=1).case("Q").force(1, x=0.5)
    with pytest.raises(velmora.ArgumentError, match="at most 20000 actions"):
        beam.end()
    long = velmora.Beam()
    for _ in range(9998):
        long.section(l=1, EI=1).support()
    long.section(l=1, EI=1).force(1).end()
    long.case("Q").force(1, x=0.5)
    assert velmora.parse(long.describe()) == [long]


def lines_of(beam):
    return beam.describe().split("\n")


def gerber(own=None):
    b = velmora.Beam().section(l=1, EI=1).hinge().section(l=1, EI=1).end()
    if own:
        b.own_case(own)
    return b


@pytest.mark.parametrize("own", [None, "D"])
def test_a_mechanism_names_the_lines_of_the_description(own):
    beam = gerber(own)
    text = lines_of(beam)
    with pytest.raises(velmora.MechanismError) as raised:
        beam.solve()
    error = raised.value
    assert text[error.line - 1] == "F6 Zwischenbedingung Gelenk" and error.column == 1
    # Every line the message names is the element it names.
    named = dict(re.findall(r"(hinge on |left end \(|right end \()line (\d+)", error.message))
    assert text[int(named["hinge on "]) - 1].startswith("F6 Zwischenbedingung Gelenk")
    assert text[int(named["left end ("]) - 1].startswith("F1 ")
    assert text[int(named["right end ("]) - 1].startswith("F6 rechtes Trägerende")


@pytest.mark.parametrize("own", [None, "D"])
def test_a_load_case_outside_the_beam_names_its_x(own):
    # The beam's length is known only at its end: the load is placed first.
    beam = velmora.Beam().section(l=1, EI=1)
    beam.case("P").force(1, x=5)
    beam.end()
    if own is None:
        beam.combination("C", {"P": 1.5})
    for call in [lambda: beam.solve(case="P"), lambda: beam.solve().envelope()]:
        with pytest.raises(velmora.DescriptionError, match="outside the beam") as raised:
            call()
        text = lines_of(beam)
        line = text[raised.value.line - 1]
        assert line == "Kraft 1 x=5"
        assert raised.value.column == line.index("x=5") + 3
