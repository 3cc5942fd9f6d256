"""Units on a beam built by calls: numbers in the declared units or strings with their unit,
the same beam as with plain numbers, and the refusals."""

import pytest

import velmora


def plain():
    return (velmora.Beam("hinged").units("kN", "m")
            .section(l=2.5, EI=17542, q=8, W=5.57e-4).support()
            .section(l=4, EI=17542, q=8).end("free", M=-2, Q=3))


def with_units():
    return (velmora.Beam("hinged").units("kN", "m")
            .section(l="2500 mm", EI="17542 kNm2", q="8000 N/m", W="557 cm3").support()
            .section(l="400cm", EI="1.7542e13 Nmm2", q="8 N/mm").end("free", M="-2000 Nm", Q="3 kN"))


def test_strings_with_units_are_the_numbers_of_the_declared_units():
    assert with_units() == plain()
    assert with_units().describe().startswith("Einheiten kN m\nF1 gelenkiges Lager\nF3 l=2.5 ")
    assert velmora.parse(plain().describe())[0] == plain()


def test_a_solution_names_its_units():
    s = plain().solve()
    assert s.units["M"] == "kNm"
    assert s.units["sigma"] == "kN/m2"
    assert s.units["mass"] == "t"
    assert velmora.Beam().section(l=1, EI=1).end().solve().units is None
    beam = velmora.Beam().units("N", "mm").mass("15 kg")
    assert "Masse m=0.015" in beam.describe()


@pytest.mark.parametrize("call, message", [
    (lambda: velmora.Beam().section(l="50 mm", EI=1), "the beam declares no units"),
    (lambda: velmora.Beam().units("kN", "m").section(l="5 kN", EI=1),
     "l: 'kN' is a force, and l takes a length"),
    (lambda: velmora.Beam().units("kN", "m").spring("5 kN/furlong"), "unknown unit 'kN/furlong'"),
    (lambda: velmora.Beam().units("kN", "kg"), "'kg' is no length unit"),
])
def test_refusals_name_the_value_and_the_unit(call, message):
    with pytest.raises(velmora.ArgumentError) as raised:
        call()
    assert message in str(raised.value)


def test_a_plot_names_the_units_on_its_axes():
    pytest.importorskip("matplotlib")
    figure = plain().solve().plot(points=3)
    labels = [ax.get_ylabel() for ax in figure.axes[1:]] + [figure.axes[-1].get_xlabel()]
    assert labels[:4] + labels[-1:] == ["w [m] (+ down)", "psi [rad]", "M [kNm] (+ down)", "Q [kN]",
                                        "x [m]"]
