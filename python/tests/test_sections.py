"""Sections and materials from Python: plain values against the published
tables, sections built from them against closed forms, and descriptions in
English that read back into the same beam."""

import random

import pytest

import velmora


def test_profile_and_material_are_plain_si_values_from_the_tables():
    ipe = velmora.sections.profile("IPE 300")
    # The tables: A 53.8 cm2, Iy 8356 cm4, Wy 557 cm3, Iz 604 cm4, h 300 mm.
    assert ipe.name == "IPE 300"
    for value, table in [(ipe.A, 53.8e-4), (ipe.Iy, 8356e-8), (ipe.Wy, 557e-6), (ipe.Iz, 604e-8)]:
        assert value == pytest.approx(table, rel=5e-3)
    assert ipe.h == pytest.approx(0.3)
    s235 = velmora.materials["S235"]
    assert (s235.E, s235.fy, s235.rho) == (210e9, 235e6, 7850)
    assert velmora.materials["c30/37"].E == 33e9
    assert "GL24h" in list(velmora.materials) and len(velmora.materials) >= 16
    with pytest.raises(KeyError, match="known are"):
        velmora.materials["S999"]
    with pytest.raises(velmora.ArgumentError, match="IPE 80-600"):
        velmora.sections.profile("IPE 310")


def test_a_solid_rectangle_and_e_and_i_give_the_closed_form():
    # A cantilever under a tip force P: w = P l^3 / (3 E I), I = b h^3 / 12.
    E, b, h, l, P = 11000.0, 0.1, 0.2, 2.0, 3.0
    beam = (velmora.Beam("clamped").section(l=l, E=E, profile="Rechteck b=0.1 h=0.2")
            .force(P).section(l=0, E=E, I=b * h ** 3 / 12).end("free"))
    w = beam.solve().at(l).w
    assert w == pytest.approx(P * l ** 3 / (3 * E * b * h ** 3 / 12), rel=1e-12)
    assert "Profil=Rechteck b=0.1 h=0.2" in beam.describe()
    assert velmora.parse(beam.describe(language="en")) == [beam]


def test_tables_need_declared_units_and_refusals_name_the_argument():
    beam = velmora.Beam()
    with pytest.raises(velmora.ArgumentError, match="declared units"):
        beam.section(l=5, profile="IPE 300", material="S235")
    with pytest.raises(velmora.ArgumentError, match="EI is required"):
        beam.section(l=5)
    with pytest.raises(velmora.ArgumentError, match="unknown axis"):
        beam.section(l=5, E=1, profile="Kreis d=0.1", axis="x")
    with pytest.raises(velmora.ArgumentError, match="unknown language"):
        beam.describe(language="fr")
    assert beam.describe() == "F1 gelenkiges Lager\n"


def test_english_descriptions_read_back_into_the_same_beams():
    rng = random.Random(25)
    for _ in range(40):
        b = velmora.Beam(rng.choice(["hinged", "clamped", "free", "guided"]))
        for k in range(rng.randint(1, 4)):
            if k:
                rng.choice([b.support, b.hinge, b.shear_hinge, b.clamp,
                            lambda: b.rotational_spring(c=rng.uniform(1, 9)),
                            lambda: b.mass(m=rng.uniform(1, 9), J=1.0),
                            lambda: b.force(rng.uniform(-5, 5)),
                            lambda: b.angle(0.01), lambda: b.offset(0.02)])()
            b.section(l=rng.uniform(0.5, 5), EI=rng.uniform(10, 1e4), q=rng.uniform(-5, 5))
        b.end(rng.choice(["hinged", "clamped", "free", "guided"]))
        b.case("Q", spanwise=True).line(q=2)
        b.combination("ULS", {"G": (1.35, 1.0), "Q": 1.5})
        english = b.describe(language="en")
        assert "Lastfall" not in english and "Zwischenbedingung" not in english
        assert velmora.parse(english) == [b]
        assert velmora.parse(english)[0].describe(language="en") == english
