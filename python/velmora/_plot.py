"""The sketch of a beam over its diagrams, and an envelope's bands, drawn
with matplotlib."""

import numpy as np

_ROWS = [("w", "#1f5fa8", True), ("psi", "#2c8a2c", False), ("M", "#c0392b", True),
         ("Q", "#7d3c98", False)]
_SIGMA = ("sigma", "#b9770e", True)


def _unit_names(units):
    """The unit of each quantity from the declared force and length; empty
    names without a declaration."""
    if not units:
        return {}
    force, length = units
    return {"x": length, "w": length, "psi": "rad", "M": force + length, "Q": force,
            "sigma": f"{force}/{length}2", "q": f"{force}/{length}"}


def _label(name, units, down=False):
    unit = units.get(name, "")
    return name + (f" [{unit}]" if unit else "") + (" (+ down)" if down else "")


def _line_loads(ax, solution, size, units):
    """The line loads above the beam, their height scaled to the largest."""
    loads = [load for load in solution.line_loads if load[2] != 0 or load[3] != 0]
    largest = max((max(abs(q0), abs(q1)) for _, _, q0, q1 in loads), default=0.0)
    if largest == 0:
        return
    for x0, x1, q0, q1 in loads:
        h0, h1 = 3 * size * q0 / largest, 3 * size * q1 / largest
        ax.fill([x0, x1, x1, x0], [size, size, size + h1, size + h0], color="#a86a12", alpha=0.3)
        unit = units.get("q", "")
        text = f"q = {q0:g}" if q0 == q1 else f"q = {q0:g} to {q1:g}"
        ax.text((x0 + x1) / 2, size + max(h0, h1, 0) + size / 2, text + (f" {unit}" if unit else ""),
                ha="center", va="bottom", fontsize=8, color="#7a4a00")


def _sketch(ax, solution, units=None):
    length = solution.length
    ax.plot([0, length], [0, 0], color="black", linewidth=3)
    size = 0.02 * length
    for kind, x, section_length, value in solution.elements:
        if kind in ("support", "hinged"):
            ax.plot([x - size, x, x + size, x - size], [-2 * size, 0, -2 * size, -2 * size],
                    color="black", linewidth=1)
        elif kind in ("clamped", "clamp"):
            ax.plot([x, x], [-2 * size, 2 * size], color="black", linewidth=3)
        elif kind == "guided":
            for dx in (-size / 2, size / 2):
                ax.plot([x + dx, x + dx], [-2 * size, 2 * size], color="black", linewidth=1)
        elif kind == "hinge":
            ax.plot([x], [0], marker="o", markerfacecolor="white", color="black")
        elif kind == "shear hinge":
            ax.plot([x, x], [-size, size], color="white", linewidth=2)
            for dx in (-size / 4, size / 4):
                ax.plot([x + dx, x + dx], [-size, size], color="black", linewidth=1)
        elif kind == "rotational spring":
            ax.plot([x], [0], marker="o", markersize=10, markerfacecolor="none", color="black")
        elif kind == "spring":
            ax.plot([x, x - size / 2, x + size / 2, x - size / 2, x], [0, -size, -2 * size,
                    -3 * size, -4 * size], color="black", linewidth=1)
        elif kind == "load":
            ax.annotate("", xy=(x, 0), xytext=(x, 3 * size),
                        arrowprops={"arrowstyle": "->", "color": "black"})
    if units is not None:
        _line_loads(ax, solution, size, units)
    ax.set_ylim(-5 * size, 6 * size)
    ax.set_aspect("auto")
    ax.axis("off")


def _mark_extremes(ax, extreme, colour):
    """The largest and smallest value marked and labelled where they are."""
    if extreme is None:
        return
    for value, x, what in ((extreme.max, extreme.x_max, "max"), (extreme.min, extreme.x_min, "min")):
        if not np.isfinite(value):
            continue
        ax.plot([x], [value], marker="o", color=colour, markersize=4)
        ax.annotate(f"{what} {value:.4g}", xy=(x, value), xytext=(0, 6 if what == "max" else -6),
                    textcoords="offset points", ha="center",
                    va="bottom" if what == "max" else "top", fontsize=8)


def plot(solution, points=50):
    """Draw the beam's sketch with its line loads over its diagrams of w,
    psi, M and Q (and sigma where a section has W) with matplotlib (imported
    here, not with velmora) and return the figure. The extremes are marked
    with their values; the axes name the units where the description
    declares them. w, M and sigma are drawn positive downwards, as engineers
    draw them."""
    import matplotlib.pyplot as plt

    d = solution.diagram(points=points)
    units = _unit_names(solution._units)
    rows = list(_ROWS) + ([_SIGMA] if d.sigma is not None else [])
    figure, axes = plt.subplots(len(rows) + 1, 1, sharex=True, figsize=(8, 2 * len(rows) + 2),
                                gridspec_kw={"height_ratios": [1.2] + [2] * len(rows)})
    _sketch(axes[0], solution, units)
    extremes = dict(solution.extremes)
    extremes["sigma"] = solution.stress
    for ax, (name, colour, down) in zip(axes[1:], rows):
        values = getattr(d, name)
        ax.plot(d.x, values, color=colour)
        ax.fill_between(d.x, np.nan_to_num(values), color=colour, alpha=0.15)
        ax.axhline(0, color="grey", linewidth=0.5)
        ax.set_ylabel(_label(name, units, down))
        _mark_extremes(ax, extremes.get(name), colour)
        ax.margins(y=0.25)
        if down:
            ax.invert_yaxis()
    axes[-1].set_xlabel(_label("x", units))
    figure.tight_layout()
    return figure


def plot_envelope(envelope, units=None):
    """Draw an envelope's bands of w, psi, M and Q, each from its smallest
    to its largest value at every x, with the extremes marked, and return
    the figure."""
    import matplotlib.pyplot as plt

    units = _unit_names(units)
    figure, axes = plt.subplots(len(_ROWS), 1, sharex=True, figsize=(8, 9))
    for ax, (name, colour, down) in zip(axes, _ROWS):
        high = getattr(envelope, name + "_max")
        low = getattr(envelope, name + "_min")
        ax.fill_between(envelope.x, low, high, color=colour, alpha=0.3)
        ax.plot(envelope.x, high, color=colour, linewidth=1)
        ax.plot(envelope.x, low, color=colour, linewidth=1)
        ax.axhline(0, color="grey", linewidth=0.5)
        ax.set_ylabel(_label(name, units, down))
        _mark_extremes(ax, envelope.extremes.get(name), colour)
        ax.margins(y=0.25)
        if down:
            ax.invert_yaxis()
    for edge in envelope.span_edges:
        for ax in axes:
            ax.axvline(edge, color="grey", linewidth=0.5, linestyle=":")
    axes[-1].set_xlabel(_label("x", units))
    figure.tight_layout()
    return figure
