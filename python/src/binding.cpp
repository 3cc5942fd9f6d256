// The Python module velmora._velmora: the C++ library's beams, solutions and
// readers, with numpy arrays for everything sampled and the library's
// failures raised as the package's exceptions. Nothing is computed here.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "library/velmora.h"

namespace py = pybind11;
using namespace velmora;

namespace {

// A failure of the library, on its way to Python.
struct Raised {
    Failure failure;
};

void check(bool ok, const Failure& failure) {
    if (!ok) throw Raised{failure};
}

py::object types() { return py::module_::import("velmora._types"); }
py::object errors() { return py::module_::import("velmora.errors"); }

void raise(const Failure& f) {
    const char* name = "BeamError";
    switch (f.kind) {
        case Failure::description:
            name = "DescriptionError";
            break;
        case Failure::mechanism:
            name = "MechanismError";
            break;
        case Failure::keyed:
            name = "KeyedError";
            break;
        default:
            break;
    }
    // The library names the command line's option; here it is an argument.
    std::string text = f.where.text;
    const std::string option = "`--general`";
    for (size_t at; (at = text.find(option)) != std::string::npos;) {
        text.replace(at, option.size(), "method=\"general\"");
    }
    py::object cls = errors().attr(name);
    py::object error = cls(text, f.where.line, f.where.column);
    PyErr_SetObject(cls.ptr(), error.ptr());
}

// A number of a Python call: finite, or None where it may be left out.
double number(const char* name, const py::object& value, bool optional) {
    if (value.is_none()) {
        if (optional) return NAN;
        throw std::invalid_argument(std::string(name) + " is required");
    }
    const double v = value.cast<double>();
    if (!std::isfinite(v))
        throw std::invalid_argument(std::string(name) + " must be a finite number");
    return v;
}

End endOf(const std::string& name) {
    if (name == "hinged") return End::hinged;
    if (name == "free") return End::free;
    if (name == "clamped") return End::clamped;
    throw std::invalid_argument("unknown end '" + name +
                                "': expected \"hinged\", \"free\" or \"clamped\"");
}

Method methodOf(const std::string& name) {
    if (name == "general") return Method::general;
    if (name == "keyed") return Method::keyed;
    throw std::invalid_argument("unknown method '" + name + "': expected \"general\" or \"keyed\"");
}

int pointsOf(int points) {
    if (points < 1 || points > maxPoints) {
        throw std::invalid_argument("points must be from 1 to " + std::to_string(maxPoints));
    }
    return points;
}

py::object state(const State& s) {
    return types().attr("State")(s[rowW], s[rowPsi], s[rowM], s[rowQ]);
}

py::object extreme(const Extreme& e) {
    if (!e.found) return types().attr("Extreme")(NAN, NAN, NAN, NAN);
    return types().attr("Extreme")(e.max, e.xMax, e.min, e.xMin);
}

py::array_t<double> array(const std::vector<double>& values) {
    py::array_t<double> a(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), a.mutable_data());
    return a;
}

const char* elementName(ElementKind kind) {
    switch (kind) {
        case ElementKind::spring:
            return "spring";
        case ElementKind::beamSection:
            return "section";
        case ElementKind::shaftSection:
            return "shaft";
        case ElementKind::pointLoad:
            return "load";
        case ElementKind::support:
            return "support";
        case ElementKind::hinge:
            return "hinge";
        case ElementKind::otherKey:
            break;
    }
    return "other";
}

const char* endName(End end) {
    return end == End::hinged ? "hinged" : end == End::free ? "free" : "clamped";
}

// Reactions as (x, kind, F, M): the kind of the element or end that takes it.
py::list reactions(const Solution& s) {
    const BeamModel& m = s.model();
    py::list out;
    for (const Reaction& r : s.reactions()) {
        std::string kind = "support";
        if (r.action == m.leftTag) {
            kind = "left end";
        } else if (r.action == m.rightTag) {
            kind = "right end";
        } else {
            for (const Element& e : m.elements) {
                if (e.tag == r.action) kind = elementName(e.kind);
            }
        }
        out.append(types().attr("Reaction")(r.x, kind, r.force, r.hasMoment ? r.moment : 0.0));
    }
    return out;
}

py::object diagram(const Solution& s, int points) {
    const std::vector<Sample> samples = s.diagram(pointsOf(points));
    const py::ssize_t n = static_cast<py::ssize_t>(samples.size());
    py::array_t<double> x(n), w(n), psi(n), m(n), q(n);
    double* columns[] = {w.mutable_data(), psi.mutable_data(), m.mutable_data(), q.mutable_data()};
    double* xs = x.mutable_data();
    for (py::ssize_t i = 0; i < n; ++i) {
        xs[i] = samples[i].x;
        for (int r = 0; r < rowCount; ++r) columns[r][i] = samples[i].value[r];
    }
    return types().attr("Diagram")(x, w, psi, m, q);
}

Beam& endBeam(Beam& b, const std::string& kind, const py::object& m, const py::object& q) {
    const End end = endOf(kind);
    if (end == End::clamped && !(m.is_none() && q.is_none())) {
        throw std::invalid_argument("a clamped end takes no M or Q");
    }
    if (end == End::hinged && !q.is_none()) throw std::invalid_argument("a hinged end takes no Q");
    const double mv = number("M", m, true);
    const double qv = number("Q", q, true);
    return b.end(end, mv, qv);
}

}  // namespace

PYBIND11_MODULE(_velmora, mod) {
    mod.doc() = "The C++ core of the velmora package.";
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const Raised& r) {
            raise(r.failure);
        } catch (const std::invalid_argument& e) {
            PyErr_SetString(errors().attr("ArgumentError").ptr(), e.what());
        }
    });

    const auto chain = py::return_value_policy::reference_internal;
    py::class_<Beam>(mod, "Beam")
        .def(py::init([](const std::string& left) { return Beam(endOf(left)); }),
             py::arg("left") = "hinged")
        .def(
            "section",
            [](Beam& b, py::object l, py::object ei, py::object q, py::object qs) -> Beam& {
                return b.section(number("l", l, false), number("EI", ei, false),
                                 number("q", q, true), number("qs", qs, true));
            },
            py::arg("l"), py::arg("EI"), py::arg("q") = py::none(), py::arg("qs") = py::none(),
            chain)
        .def(
            "shaft",
            [](Beam& b, py::object l, py::object e, py::object d, py::object q,
               py::object qs) -> Beam& {
                return b.shaft(number("l", l, false), number("E", e, false), number("d", d, false),
                               number("q", q, true), number("qs", qs, true));
            },
            py::arg("l"), py::arg("E"), py::arg("d"), py::arg("q") = py::none(),
            py::arg("qs") = py::none(), chain)
        .def(
            "spring",
            [](Beam& b, py::object c) -> Beam& { return b.spring(number("c", c, false)); },
            py::arg("c"), chain)
        .def(
            "force", [](Beam& b, py::object v) -> Beam& { return b.force(number("v", v, false)); },
            py::arg("v"), chain)
        .def(
            "moment",
            [](Beam& b, py::object v) -> Beam& { return b.moment(number("v", v, false)); },
            py::arg("v"), chain)
        .def(
            "angle", [](Beam& b, py::object v) -> Beam& { return b.angle(number("v", v, false)); },
            py::arg("v"), chain)
        .def(
            "offset",
            [](Beam& b, py::object v) -> Beam& { return b.offset(number("v", v, false)); },
            py::arg("v"), chain)
        .def("support", &Beam::support, chain)
        .def("hinge", &Beam::hinge, chain)
        .def("end", &endBeam, py::arg("kind") = "hinged", py::arg("M") = py::none(),
             py::arg("Q") = py::none(), chain)
        .def("describe", &Beam::describe)
        .def("__repr__",
             [](const Beam& b) {
                 std::string text = b.describe();
                 if (!text.empty()) text.pop_back();  // the last line end
                 return text;
             })
        .def_property_readonly("complete", &Beam::complete)
        .def("__eq__",
             [](const Beam& a, const py::object& b) -> py::object {
                 if (!py::isinstance<Beam>(b))
                     return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                 return py::bool_(a == b.cast<const Beam&>());
             })
        .def(
            "solve",
            [](const Beam& b, const std::string& method) {
                Solution s(b, methodOf(method));
                check(s.solved(), s.failure());
                return s;
            },
            py::arg("method") = "general");

    py::class_<InfluenceLine>(mod, "InfluenceLine")
        .def_property_readonly("request", [](const InfluenceLine& l) { return l.request.text; })
        .def_readonly("place", &InfluenceLine::place)
        .def_property_readonly("x", [](const InfluenceLine& l) { return array(l.x); })
        .def_property_readonly("eta", [](const InfluenceLine& l) { return array(l.ordinate); })
        .def_property_readonly("extremes",
                               [](const InfluenceLine& l) { return extreme(l.extreme); })
        .def_readonly("positive_area", &InfluenceLine::positiveArea)
        .def_readonly("negative_area", &InfluenceLine::negativeArea)
        .def(
            "live",
            [](const InfluenceLine& l, py::object q, py::object p) {
                if (q.is_none() == p.is_none()) {
                    throw std::invalid_argument("give one live load: q= or P=");
                }
                const bool uniform = !q.is_none();
                const LiveExtreme e =
                    liveLoad(l, uniform, uniform ? number("q", q, false) : number("P", p, false));
                return py::make_tuple(e.max, e.min);
            },
            py::arg("q") = py::none(), py::arg("P") = py::none());

    py::class_<Solution>(mod, "Solution")
        .def_property_readonly(
            "method",
            [](const Solution& s) { return s.method() == Method::general ? "general" : "keyed"; })
        .def_property_readonly("length", [](const Solution& s) { return s.model().length; })
        .def(
            "at",
            [](const Solution& s, py::object x, const std::string& side) {
                if (side != "left" && side != "right") {
                    throw std::invalid_argument("side must be \"left\" or \"right\"");
                }
                State st{};
                Failure f;
                check(s.at(number("x", x, false), side == "left" ? Side::left : Side::right, st, f),
                      f);
                return state(st);
            },
            py::arg("x"), py::arg("side") = "right")
        .def("diagram", &diagram, py::arg("points") = int(defaultPoints))
        .def_property_readonly("reactions", &reactions)
        .def_property_readonly("extremes",
                               [](const Solution& s) {
                                   py::dict d;
                                   const char* names[] = {"w", "psi", "M", "Q"};
                                   for (int r = 0; r < rowCount; ++r) {
                                       d[names[r]] = extreme(s.extreme(static_cast<Row>(r)));
                                   }
                                   return d;
                               })
        .def(
            "influence",
            [](const Solution& s, const std::string& request, int points) {
                InfluenceLine line;
                Failure f;
                check(s.influence(request, pointsOf(points), line, f), f);
                return line;
            },
            py::arg("request"), py::arg("points") = int(defaultPoints))
        .def(
            "svg", [](const Solution& s, int points) { return s.svg(pointsOf(points)); },
            py::arg("points") = int(defaultPoints))
        .def_property_readonly("elements", [](const Solution& s) {
            // The sketch's parts: the ends and every element with its place.
            const BeamModel& m = s.model();
            py::list out;
            out.append(py::make_tuple(endName(m.left), 0.0, 0.0, 0.0));
            for (const Element& e : m.elements) {
                if (e.kind == ElementKind::otherKey) continue;
                out.append(py::make_tuple(elementName(e.kind), e.x, e.length, e.value));
            }
            out.append(py::make_tuple(endName(m.right), m.length, 0.0, 0.0));
            return out;
        });

    mod.def(
        "parse",
        [](const std::string& text) {
            std::vector<Beam> beams;
            Failure f;
            check(parse(text, beams, f), f);
            return beams;
        },
        py::arg("text"));
    mod.def(
        "run",
        [](const std::string& text, const std::string& method) {
            RunOutput out;
            Failure f;
            check(run(text, methodOf(method), out, f), f);
            py::list results;
            for (const Result& r : out.results) results.append(state(r.state));
            py::list warnings;
            for (const Problem& w : out.warnings) {
                warnings.append(py::make_tuple(w.line, w.column, w.text));
            }
            return py::make_tuple(results, warnings);
        },
        py::arg("text"), py::arg("method") = "keyed");
}
