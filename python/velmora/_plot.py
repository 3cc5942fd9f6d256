"""The sketch of a beam over its four diagrams, drawn with matplotlib."""

_ROWS = [("w", "#1f5fa8", True), ("psi", "#2c8a2c", False), ("M", "#c0392b", True),
         ("Q", "#7d3c98", False)]


def _sketch(ax, solution):
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
    ax.set_ylim(-5 * size, 5 * size)
    ax.set_aspect("auto")
    ax.axis("off")


def plot(solution, points=50):
    """Draw the beam's sketch over its diagrams of w, psi, M and Q with
    matplotlib (imported here, not with velmora) and return the figure.
    w and M are drawn positive downwards, as engineers draw them."""
    import matplotlib.pyplot as plt

    d = solution.diagram(points=points)
    figure, axes = plt.subplots(5, 1, sharex=True, figsize=(8, 10),
                                gridspec_kw={"height_ratios": [1, 2, 2, 2, 2]})
    _sketch(axes[0], solution)
    units = solution.units or {}

    def label(name):
        return name + (" [" + units[name] + "]" if name in units else "")

    for ax, (name, colour, down) in zip(axes[1:], _ROWS):
        values = getattr(d, name)
        ax.plot(d.x, values, color=colour)
        ax.fill_between(d.x, values, color=colour, alpha=0.15)
        ax.axhline(0, color="grey", linewidth=0.5)
        ax.set_ylabel(label(name) + (" (+ down)" if down else ""))
        if down:
            ax.invert_yaxis()
    axes[-1].set_xlabel(label("x"))
    figure.tight_layout()
    return figure
