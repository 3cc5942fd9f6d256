"""Failures as exceptions: their types, places and words; and the plot."""

import subprocess
import sys

import pytest

import velmora


def simply_supported():
    return velmora.Beam().section(l=2, EI=1)


ARGUMENTS = [
    (lambda: simply_supported().section(l=-1, EI=1), "negative length"),
    (lambda: simply_supported().section(l=1, EI=0), "EI must be positive"),
    (lambda: simply_supported().shaft(l=1, E=1, d=-2), "d must be positive"),
    (lambda: simply_supported().section(l=1, EI=1, q=float("nan")), "finite"),
    (lambda: simply_supported().force(float("inf")), "finite"),
    (lambda: velmora.Beam("pinned"), "unknown end"),
    (lambda: simply_supported().end("clamped", M=1), "takes no M"),
    (lambda: simply_supported().end("hinged", Q=1), "takes no Q"),
    (lambda: simply_supported().end().section(l=1, EI=1), "already has its right end"),
    (lambda: simply_supported().end().solve(method="fast"), "unknown method"),
    (lambda: simply_supported().end().solve().at(2.5), "outside the beam"),
    (lambda: simply_supported().end().solve().at(1, side="middle"), "side"),
    (lambda: simply_supported().end().solve().diagram(points=0), "points"),
    (lambda: simply_supported().end().solve().influence("M@1").live(q=1, P=1), "one live load"),
    (lambda: simply_supported().mass(-1), "m must be 0 or more"),
    (lambda: simply_supported().section(l=1, EI=1, W=0), "W must be positive"),
    (lambda: simply_supported().shaft(l=1, E=1, d=1, rho=-1), "rho must be 0 or more"),
    (lambda: simply_supported().end().case("G"), "named twice"),
    (lambda: simply_supported().end().combination("C", {"Q": 1}), "no load case 'Q'"),
    (lambda: simply_supported().end().case("Q").line(q=1, start=1.5, end=0.5), "before end"),
    (lambda: simply_supported().end().case("Q").force(1, x=3), "outside the beam"),
    (lambda: simply_supported().end().critical(0), "n must be"),
]


@pytest.mark.parametrize("call, words", ARGUMENTS)
def test_bad_arguments_raise_at_the_call(call, words):
    with pytest.raises(velmora.BeamError, match=words) as raised:
        call()
    assert isinstance(raised.value, (velmora.ArgumentError, velmora.DescriptionError))


FAILURES = [
    # text or beam, method, exception, line, column, words
    ("F1 gelenkiges Lager\nF3 l=1 EI=1\nF9\n", "general", velmora.DescriptionError, 3, 1,
     "unknown action"),
    ("F1 gelenkiges Lager\nF3 l=1 EI=1 q=\n", "keyed", velmora.DescriptionError, 2, 15,
     "missing number"),
    ("F1 gelenkiges Lager\nF3 l=1 EI=1\nF6 Zwischenbedingung Gelenk\nF3 l=1 EI=1\n"
     "F6 rechtes Traegerende gelenkiges Lager\nF7\n", "general", velmora.MechanismError, 3, 1,
     "kinking at the hinge on line 3"),
    ("F1 freies Ende\nF3 l=1 EI=1\nF6 rechtes Traegerende freies Ende\nF7\n", "general",
     velmora.MechanismError, 1, 1, "nothing holds it"),
    ("F1 gelenkiges Lager\nF3 l=1 EI=1\nF6 Zwischenbedingung gelenkiges Lager\n"
     "F6 Zwischenbedingung gelenkiges Lager\nF3 l=1 EI=1\nF6 rechtes Traegerende gelenkiges Lager\n"
     "F7\n", "general", velmora.BeamError, 4, 1, "two rigid supports at one place"),
    ("F1 gelenkiges Lager\nF3 l=1 EI=1 m=-2\n", "general", velmora.DescriptionError, 2, 15,
     "m must be 0 or more"),
    ("F1 gelenkiges Lager\n" + "F3 l=1 EI=1\nF6 Zwischenbedingung gelenkiges Lager\n" * 5
     + "F3 l=1 EI=1\nF6 rechtes Traegerende gelenkiges Lager\nF7\n", "keyed",
     velmora.KeyedError, 13, 1, "general"),
]


@pytest.mark.parametrize("text, method, error, line, column, words", FAILURES)
def test_failures_name_their_place(text, method, error, line, column, words):
    with pytest.raises(error, match=words) as raised:
        velmora.run(text, method=method)
    assert (raised.value.line, raised.value.column) == (line, column)
    assert type(raised.value) is error
    if error is not velmora.DescriptionError:
        # The same beam, parsed and solved, fails the same way.
        beam, = velmora.parse(text)
        with pytest.raises(error, match=words):
            beam.solve(method=method)


def test_critical_speeds_need_mass_and_a_stable_beam():
    with pytest.raises(velmora.DescriptionError, match="no mass"):
        simply_supported().end().critical(2)
    with pytest.raises(velmora.MechanismError, match="hinge"):
        simply_supported().hinge().section(l=1, EI=1, m=1).end().critical(2)


def test_errors_keep_the_command_line_s_words():
    beam, = velmora.parse("F1 gelenkiges Lager\nF3 l=1 EI=1\nF6 Zwischenbedingung Gelenk\n"
                          "F3 l=1 EI=1\nF6 rechtes Traegerende gelenkiges Lager\n")
    with pytest.raises(velmora.MechanismError) as raised:
        beam.solve()
    assert raised.value.message.startswith("the beam is a mechanism: it can move without straining")
    assert str(raised.value) == f"line 3, column 1: {raised.value.message}"


def test_matplotlib_is_imported_only_to_plot():
    code = "import sys, velmora; print('matplotlib' in sys.modules)"
    out = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True)
    assert out.stdout.strip() == "False"
    figure = simply_supported().section(l=1, EI=1, q=1).end().solve().plot(points=5)
    assert len(figure.axes) == 5
    w_line = figure.axes[1].lines[0]
    assert w_line.get_ydata().max() > 0 and figure.axes[1].yaxis_inverted()
