"""Shared pieces of the package's tests: seeded continuous beams and their
solution by the three-moment equation, written here from the textbook."""

import os
import random

import numpy as np
import pytest


class Continuous:
    """Spans of length l, stiffness EI and uniform load q on hinged supports."""

    def __init__(self, rng, spans):
        self.l = [rng.uniform(0.5, 8.0) for _ in range(spans)]
        self.EI = [rng.uniform(500.0, 5000.0) for _ in range(spans)]
        self.q = [rng.choice([0.0, rng.uniform(-10.0, 10.0)]) for _ in range(spans)]
        self.starts = np.concatenate([[0.0], np.cumsum(self.l)])

    def beam(self, velmora):
        b = velmora.Beam("hinged")
        for k, (l, ei, q) in enumerate(zip(self.l, self.EI, self.q)):
            if k:
                b.support()
            b.section(l=l, EI=ei, q=q)
        return b.end("hinged")

    def support_moments(self):
        """Clapeyron: M[i-1] a[i] + 2 M[i] (a[i] + a[i+1]) + M[i+1] a[i+1]
        = -(q[i] l[i]^2 a[i] + q[i+1] l[i+1]^2 a[i+1]) / 4, a = l / EI."""
        n = len(self.l)
        a = [l / ei for l, ei in zip(self.l, self.EI)]
        moments = np.zeros(n + 1)
        if n > 1:
            A = np.zeros((n - 1, n - 1))
            rhs = np.zeros(n - 1)
            for i in range(1, n):
                A[i - 1, i - 1] = 2 * (a[i - 1] + a[i])
                if i > 1:
                    A[i - 1, i - 2] = a[i - 1]
                if i < n - 1:
                    A[i - 1, i] = a[i]
                rhs[i - 1] = -(self.q[i - 1] * self.l[i - 1] ** 2 * a[i - 1]
                               + self.q[i] * self.l[i] ** 2 * a[i]) / 4
            moments[1:n] = np.linalg.solve(A, rhs)
        return moments

    def m_and_q(self, x, span):
        """M (sagging positive) and Q = dM/dx at x inside a span."""
        m = self.support_moments()
        l, q = self.l[span], self.q[span]
        s = x - self.starts[span]
        moment = m[span] * (1 - s / l) + m[span + 1] * s / l + q * s * (l - s) / 2
        shear = (m[span + 1] - m[span]) / l + q * (l / 2 - s)
        return moment, shear

    def reactions(self):
        """Support forces against a downward load, from the left."""
        m = self.support_moments()
        ends = [((m[k + 1] - m[k]) / l + q * l / 2, (m[k + 1] - m[k]) / l - q * l / 2)
                for k, (l, q) in enumerate(zip(self.l, self.q))]
        forces = [ends[0][0]]
        for k in range(1, len(self.l)):
            forces.append(ends[k][0] - ends[k - 1][1])
        forces.append(-ends[-1][1])
        return forces


@pytest.fixture
def continuous_beams():
    rng = random.Random(15)
    return [Continuous(rng, rng.randint(1, 4)) for _ in range(40)]


@pytest.fixture
def readme_path():
    return os.environ["VELMORA_README"]
