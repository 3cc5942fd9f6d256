"""Span tables and checks through the package, against hand formulas, the
limits a call refuses, and what the plots label."""

import pytest

import velmora


def test_a_floor_beam_checked_in_both_combinations():
    # One simple span: SLS w = 5 (g + p) l^4 / 384 EI against l / 300,
    # ULS sigma = (1.35 g + 1.5 p) l^2 / 8 W against fy / 1.1.
    l, ei, g, p, w, fy = 6.0, 40000.0, 4.0, 3.0, 0.5, 235.0
    b = velmora.Beam().section(l=l, EI=ei, q=g, W=w, fy=fy).end()
    b.case("Q").line(q=p)
    b.combination("ULS", {"G": 1.35, "Q": 1.5}).combination("SLS", {"G": 1, "Q": 1})
    b.limit("w", "L/300", "SLS").limit("sigma", 1.1, "ULS")
    deflection, stress = b.solve().checks
    assert deflection.value == pytest.approx(5 * (g + p) * l**4 / (384 * ei), rel=1e-12)
    assert deflection.utilisation == pytest.approx(deflection.value / (l / 300), rel=1e-12)
    assert (deflection.span, deflection.overhang, deflection.combination) == (1, False, "SLS")
    sigma = (1.35 * g + 1.5 * p) * l**2 / 8 / w
    assert stress.value == pytest.approx(sigma, rel=1e-12)
    assert stress.holds == (sigma <= fy / 1.1)
    assert stress.line == 2
    assert velmora.parse(b.describe()) == [b]
    english = b.describe(language="en")
    assert "limit w L/300 SLS\nlimit sigma fy/1.1 ULS\n" in english
    assert velmora.parse(english) == [b]


def test_the_span_table_names_the_overhang_and_its_loading():
    b = velmora.Beam().section(l=4, EI=100).support().section(l=2, EI=100).end("free")
    b.case("Q", spanwise=True).line(q=3)
    span, overhang = b.solve().envelope().spans
    assert (span.overhang, overhang.overhang, overhang.start, overhang.end) == (False, True, 4, 6)
    # The support moment -q a^2 / 2 with the overhang loaded alone.
    assert span.extremes["M"].min == pytest.approx(-6.0, rel=1e-12)
    assert span.extremes["M"].at_min.spans == {"Q": [2]}


@pytest.mark.parametrize("quantity, limit, words", [
    ("M", "L/300", "quantity must be 'w' or 'sigma'"),
    ("w", "fy/1.1", "limit of w is written 'L/300'"),
    ("sigma", "fy/", "limit of sigma is written 'fy/1.0'"),
    ("w", 0, "divisor must be a finite number above 0"),
])
def test_limits_refused_by_the_call(quantity, limit, words):
    with pytest.raises(velmora.ArgumentError, match=words):
        velmora.Beam().section(l=1, EI=1).end().limit(quantity, limit)


def test_a_stress_limit_without_fy_is_refused_when_checked():
    b = velmora.Beam().section(l=1, EI=1, q=1, W=1).end().limit("sigma", 1.0)
    with pytest.raises(velmora.DescriptionError, match="has no yield strength fy"):
        b.solve().checks


def test_the_plot_labels_loads_extremes_and_sigma():
    pytest.importorskip("matplotlib")
    s = velmora.Beam().section(l=4, EI=100, q=2, qs=0.5, W=0.2).end().solve()
    figure = s.plot(points=10)
    # The sketch, w, psi, M, Q and sigma, which a section's W gives.
    assert [ax.get_ylabel() for ax in figure.axes[1:]] == [
        "w (+ down)", "psi", "M (+ down)", "Q", "sigma (+ down)"]
    assert [t.get_text() for t in figure.axes[0].texts] == ["q = 2 to 4"]
    labels = [t.get_text() for t in figure.axes[3].texts]
    assert f"max {s.extremes['M'].max:.4g}" in labels
    assert f"max {s.stress.max:.4g}" in [t.get_text() for t in figure.axes[5].texts]


def test_the_envelope_plot_draws_a_band_per_quantity():
    pytest.importorskip("matplotlib")
    b = velmora.Beam().section(l=4, EI=100, q=1).support().section(l=3, EI=100, q=1).end()
    b.case("Q", spanwise=True).line(q=2)
    e = b.solve().envelope(points=10)
    figure = e.plot()
    assert len(figure.axes) == 4
    band = figure.axes[2].collections[0].get_paths()[0].vertices
    # The band of M reaches from the smallest to the largest M.
    assert band[:, 1].min() == pytest.approx(e.M_min.min())
    assert band[:, 1].max() == pytest.approx(e.M_max.max())
    assert e.span_edges == [0.0, 4.0, 7.0]
