"""Sections and materials from the tables, as plain values in SI units.

``profile("IPE 300")`` gives a section's area A [m^2], second moments Iy and
Iz [m^4], elastic moduli Wy and Wz [m^3] (y: the strong axis), depth h and
width b [m]; ``materials["S235"]`` a material's Young's modulus E and shear
modulus G [Pa], strength fy (the yield strength; aluminium's 0.2 % proof
strength, timber's bending strength, concrete's fck) [Pa] and density rho
[kg/m^3]. A beam takes them by name: ``section(l=5, profile="IPE 300",
material="S235")``, converted into its declared units.
"""

from collections import namedtuple
from collections.abc import Mapping

from . import _velmora
from .errors import ArgumentError

Profile = namedtuple("Profile", "name A Iy Iz Wy Wz h b")
Material = namedtuple("Material", "name E G fy rho")


def profile(name):
    """The section of this name ("IPE 300", "HEA 200", "W14x48",
    "CHS 168.3x8", "RHS 200x100x6", "SHS 100x5"), computed from the tables'
    dimensions. Raises ArgumentError, listing the families, for an unknown
    name."""
    return Profile(*_velmora._profile(name))


class _Materials(Mapping):
    """The materials by name ("S235", "EN AW-6082 T6", "C24", "GL24h",
    "C30/37"); case, blanks and hyphens do not matter."""

    def __getitem__(self, name):
        if not isinstance(name, str):
            raise KeyError(name)
        try:
            return Material(*_velmora._material(name))
        except ArgumentError as error:
            raise KeyError(str(error)) from None

    def __iter__(self):
        return iter(_velmora._materials())

    def __len__(self):
        return len(_velmora._materials())

    def __repr__(self):
        return "velmora.materials(" + ", ".join(self) + ")"


materials = _Materials()
