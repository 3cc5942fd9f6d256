"""The exceptions of velmora: every failure is a BeamError.

``line`` and ``column`` give the place a failure concerns: in a text read by
:func:`velmora.parse` or :func:`velmora.run`, its line and column; for a beam
built by calls, the line and column of the element, load or value in the
text of :meth:`velmora.Beam.describe`, as velmora-batch names them for that
text. Both are 0 where no place applies (a call's own argument). A value of
the wrong type raises TypeError instead, naming the argument.
"""


class BeamError(Exception):
    """A beam, a description or a request that has no answer."""

    def __init__(self, message, line=0, column=0):
        super().__init__(message)
        self.message = message
        self.line = line
        self.column = column

    def __str__(self):
        if self.line:
            return f"line {self.line}, column {self.column}: {self.message}"
        return self.message


class DescriptionError(BeamError):
    """The text of a description, or a request such as ``"M@4"``, is wrong."""


class MechanismError(BeamError):
    """The beam can move without straining; the message names the parts
    that move (hinges that kink, shear hinges that shear, ends that turn,
    move or slide)."""


class KeyedError(BeamError):
    """The keyed method refuses the beam (a condition past its register
    bank) or cannot eliminate it in its order; ``method="general"`` solves
    every stable beam."""


class ArgumentError(BeamError, ValueError):
    """A value a call cannot take: a negative length, a stiffness of 0 or
    less, a number that is not finite, an unknown end or method."""


class TrustWarning(UserWarning):
    """A keyed value that cannot be trusted (lost digits, an incomplete
    pass), as velmora-batch warns of it."""


class BucklingWarning(UserWarning):
    """The axial forces reach the beam's first buckling load (its factor at
    most 1): the static results describe no stable state."""


# They are velmora's: velmora.KeyedError, not velmora.errors.KeyedError.
for _error in (BeamError, DescriptionError, MechanismError, KeyedError, ArgumentError,
               TrustWarning, BucklingWarning):
    _error.__module__ = "velmora"
