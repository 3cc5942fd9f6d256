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

// The library names the command line's option; here it is an argument.
std::string inPython(std::string text) {
    const std::string option = "`--general`";
    for (size_t at; (at = text.find(option)) != std::string::npos;) {
        text.replace(at, option.size(), "method=\"general\"");
    }
    return text;
}

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
    const std::string text = inPython(f.where.text);
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
    if (name == "guided") return End::guided;
    throw std::invalid_argument("unknown end '" + name +
                                "': expected \"hinged\", \"free\", \"clamped\" or \"guided\"");
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
        case ElementKind::mass:
            return "mass";
        case ElementKind::rotationalSpring:
            return "rotational spring";
        case ElementKind::shearHinge:
            return "shear hinge";
        case ElementKind::clamp:
            return "clamp";
        case ElementKind::otherKey:
            break;
    }
    return "other";
}

const char* endName(End end) {
    switch (end) {
        case End::hinged:
            return "hinged";
        case End::free:
            return "free";
        case End::clamped:
            return "clamped";
        case End::guided:
            break;
    }
    return "guided";
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
        out.append(types().attr("Reaction")(r.x, kind, r.force, r.hasMoment ? r.moment : 0.0, r.psi,
                                            r.kinked ? r.psiRight : r.psi));
    }
    return out;
}

// A column handed to numpy without a copy: the array owns the vector.
py::array_t<double> column(std::vector<double>&& values) {
    auto* owned = new std::vector<double>(std::move(values));
    py::capsule free(owned, [](void* v) { delete static_cast<std::vector<double>*>(v); });
    return py::array_t<double>(static_cast<py::ssize_t>(owned->size()), owned->data(), free);
}

py::object diagram(const Solution& s, int points) {
    Solution::Columns c = s.columns(pointsOf(points));
    const bool stress = !c.sigma.empty();
    py::object sigma = stress ? py::object(column(std::move(c.sigma))) : py::none();
    return types().attr("Diagram")(column(std::move(c.x)), column(std::move(c.value[rowW])),
                                   column(std::move(c.value[rowPsi])),
                                   column(std::move(c.value[rowM])),
                                   column(std::move(c.value[rowQ])), sigma);
}

// The mode shapes of the critical speeds, as arrays.
py::list criticalSpeeds(const Beam& b, int count, int points) {
    if (count < 1 || count > maxCritical) {
        throw std::invalid_argument("n must be from 1 to " + std::to_string(maxCritical));
    }
    const Critical c = velmora::critical(b, count, pointsOf(points));
    check(c.solved(), c.failure);
    py::list out;
    for (const CriticalSpeed& speed : c.speeds) {
        std::vector<double> x, w, psi;
        for (const Sample& sample : speed.shape) {
            x.push_back(sample.x);
            w.push_back(sample.value[rowW]);
            psi.push_back(sample.value[rowPsi]);
        }
        out.append(types().attr("CriticalSpeed")(speed.omega, speed.f, speed.n,
                                                 column(std::move(x)), column(std::move(w)),
                                                 column(std::move(psi))));
    }
    return out;
}

double beamLength(const Beam& b) {
    const Script& s = b.actions();
    return b.complete() ? beamOf(s, 0, s.count() - 1).length : INFINITY;
}

bool nameTaken(const Beam& b, const std::string& name) {
    for (const LoadCase& c : b.cases().cases) {
        if (c.name == name) return true;
    }
    for (const Combination& c : b.cases().combinations) {
        if (c.name == name) return true;
    }
    return false;
}

void freshName(const Beam& b, const std::string& name) {
    if (name.empty()) throw std::invalid_argument("a load case needs a name");
    if (nameTaken(b, name)) throw std::invalid_argument("'" + name + "' is named twice");
}

// A place of a case's load: on the beam, when its length is known.
double place(const Beam& b, const char* name, const py::object& x) {
    const double v = number(name, x, false);
    if (v < 0.0 || v > beamLength(b)) {
        throw std::invalid_argument(std::string(name) + " = " + std::to_string(v) +
                                    " is outside the beam");
    }
    return v;
}

// {case: f} or {case: (worse, better)}; a plain f on a case placed span by
// span is f where it harms and 0 where it helps.
std::vector<CaseFactor> factorsOf(const Beam& b, const py::dict& terms) {
    std::vector<CaseFactor> factors;
    for (const auto& item : terms) {
        CaseFactor f;
        f.loadCase = item.first.cast<std::string>();
        const LoadCase* found = nullptr;
        for (const LoadCase& c : b.cases().cases) {
            if (c.name == f.loadCase) found = &c;
        }
        if (!found) throw std::invalid_argument("no load case '" + f.loadCase + "'");
        if (py::isinstance<py::tuple>(item.second)) {
            const py::tuple t = item.second.cast<py::tuple>();
            if (t.size() != 2) throw std::invalid_argument("a factor is f or (worse, better)");
            f.worse = number("worse", t[0], false);
            f.better = number("better", t[1], false);
        } else {
            f.worse = number("factor", py::reinterpret_borrow<py::object>(item.second), false);
            f.better = found->spanwise ? 0.0 : f.worse;
        }
        factors.push_back(f);
    }
    if (factors.empty()) throw std::invalid_argument("a combination needs at least one case");
    return factors;
}

// How a combination makes up an envelope's value, in the names of the cases.
py::object loading(const CaseBook& book, const Loading& l) {
    py::dict factors;
    py::dict spans;
    for (size_t t = 0; t < l.factors.size(); ++t) {
        const int index = l.combination >= 0 ? book.combinations[l.combination].terms[t].loadCase
                                             : static_cast<int>(t);
        const std::string& name = book.cases[index].name;
        factors[py::str(name)] = l.factors[t];
        if (t < l.spans.size() && book.cases[index].spanwise) spans[py::str(name)] = l.spans[t];
    }
    py::object combination = l.combination >= 0
                                 ? py::object(py::str(book.combinations[l.combination].name))
                                 : py::none();
    return types().attr("Loading")(combination, factors, spans);
}

// None: all combinations (or the solution's own); a name, or a list of them.
py::object envelope(const Solution& s, int points, const py::object& combinations) {
    std::vector<std::string> asked;
    if (py::isinstance<py::str>(combinations)) {
        asked.push_back(combinations.cast<std::string>());
    } else if (!combinations.is_none()) {
        asked = combinations.cast<std::vector<std::string>>();
    }
    Envelope e;
    Failure f;
    std::vector<int> chosen;
    // A name the beam cannot take is a wrong argument of this call.
    if (!s.envelopeCombinations(asked, chosen, f)) throw std::invalid_argument(f.where.text);
    check(s.envelope(pointsOf(points), asked, e, f), f);
    const CaseBook& book = s.cases();
    py::dict columns;
    const char* names[] = {"w", "psi", "M", "Q"};
    for (int r = 0; r < rowCount; ++r) {
        std::vector<double> high, low;
        for (const State& v : e.max) high.push_back(v[r]);
        for (const State& v : e.min) low.push_back(v[r]);
        columns[py::str(std::string(names[r]) + "_max")] = column(std::move(high));
        columns[py::str(std::string(names[r]) + "_min")] = column(std::move(low));
    }
    py::list reactions;
    for (const EnvelopeReaction& r : e.reactions) {
        reactions.append(types().attr("EnvelopeReaction")(
            r.x, r.max, r.min, r.hasMoment ? r.momentMax : 0.0, r.hasMoment ? r.momentMin : 0.0,
            loading(book, r.atMax), loading(book, r.atMin)));
    }
    py::dict extremes;
    for (int r = 0; r < rowCount; ++r) {
        const EnvelopeExtreme& x = e.extremes[r];
        extremes[names[r]] = types().attr("EnvelopeExtreme")(
            x.extreme.max, x.extreme.xMax, x.extreme.min, x.extreme.xMin, loading(book, x.atMax),
            loading(book, x.atMin));
    }
    return types().attr("Envelope")(column(std::vector<double>(e.x)), columns, reactions, extremes);
}

Beam& endBeam(Beam& b, const std::string& kind, const py::object& m, const py::object& q) {
    const End end = endOf(kind);
    if ((end == End::clamped || end == End::guided) && !(m.is_none() && q.is_none())) {
        throw std::invalid_argument(std::string("a ") + endName(end) + " end takes no M or Q");
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
            [](Beam& b, py::object l, py::object ei, py::object q, py::object qs, py::object w,
               py::object m) -> Beam& {
                const double modulus = number("W", w, true);
                const double mass = number("m", m, true);
                // All or nothing: a refused W or m leaves no section behind.
                Beam trial(b);
                trial.section(number("l", l, false), number("EI", ei, false), number("q", q, true),
                              number("qs", qs, true));
                if (!w.is_none()) trial.modulus(modulus);
                if (!m.is_none()) trial.massPerLength(mass);
                b = trial;
                return b;
            },
            py::arg("l"), py::arg("EI"), py::arg("q") = py::none(), py::arg("qs") = py::none(),
            py::arg("W") = py::none(), py::arg("m") = py::none(), chain)
        .def(
            "shaft",
            [](Beam& b, py::object l, py::object e, py::object d, py::object q, py::object qs,
               py::object rho) -> Beam& {
                const double density = number("rho", rho, true);
                // All or nothing: a refused density leaves no shaft behind.
                Beam trial(b);
                trial.shaft(number("l", l, false), number("E", e, false), number("d", d, false),
                            number("q", q, true), number("qs", qs, true));
                if (!rho.is_none()) trial.density(density);
                b = trial;
                return b;
            },
            py::arg("l"), py::arg("E"), py::arg("d"), py::arg("q") = py::none(),
            py::arg("qs") = py::none(), py::arg("rho") = py::none(), chain)
        .def(
            "mass",
            [](Beam& b, py::object m, py::object j) -> Beam& {
                return b.mass(number("m", m, false), number("J", j, false));
            },
            py::arg("m"), py::arg("J") = 0.0, chain)
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
        .def(
            "hinge",
            [](Beam& b, py::object c) -> Beam& {
                return c.is_none() ? b.hinge() : b.hinge(number("c", c, false));
            },
            py::arg("c") = py::none(), chain)
        .def(
            "rotational_spring",
            [](Beam& b, py::object c) -> Beam& {
                return b.rotationalSpring(number("c", c, false));
            },
            py::arg("c"), chain)
        .def("shear_hinge", &Beam::shearHinge, chain)
        .def("clamp", &Beam::clamp, chain)
        .def("end", &endBeam, py::arg("kind") = "hinged", py::arg("M") = py::none(),
             py::arg("Q") = py::none(), chain)
        .def(
            "own_case",
            [](Beam& b, const std::string& name) -> Beam& {
                if (b.cases().cases.size() > 1 || !b.cases().combinations.empty()) {
                    throw std::invalid_argument("name the beam's own case before other cases");
                }
                if (name != b.cases().cases.front().name) freshName(b, name);
                return b.ownCase(name);
            },
            py::arg("name"), chain)
        .def(
            "case",
            [](Beam& b, const std::string& name, bool spanwise) {
                freshName(b, name);
                return b.loadCase(name, spanwise);
            },
            py::arg("name"), py::arg("spanwise") = false, py::keep_alive<0, 1>())
        .def(
            "combination",
            [](Beam& b, const std::string& name, const py::dict& terms) -> Beam& {
                freshName(b, name);
                return b.combination(name, factorsOf(b, terms));
            },
            py::arg("name"), py::arg("factors"), chain)
        .def("critical", &criticalSpeeds, py::arg("n"), py::arg("points") = int(defaultPoints))
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
            [](const Beam& b, const std::string& method, const py::object& loadCase) {
                const Method m = methodOf(method);
                Solution s = loadCase.is_none() ? Solution(b, m)
                                                : Solution(b, loadCase.cast<std::string>(), m);
                check(s.solved(), s.failure());
                for (const Problem& w : s.warnings()) {
                    const std::string text = "line " + std::to_string(w.line) + ", column " +
                                             std::to_string(w.column) + ": " + inPython(w.text);
                    const py::object category = errors().attr("TrustWarning");
                    if (PyErr_WarnEx(category.ptr(), text.c_str(), 1) < 0) {
                        throw py::error_already_set();
                    }
                }
                return s;
            },
            py::arg("method") = "general", py::arg("case") = py::none());

    py::class_<LoadCaseLoads>(mod, "LoadCase")
        .def(
            "line",
            [](LoadCaseLoads& c, py::object q, py::object qs, py::object start,
               py::object end) -> LoadCaseLoads& {
                const Beam& b = c.beam();
                const double load = number("q", q, false);
                const double slope = qs.is_none() ? 0.0 : number("qs", qs, false);
                if (start.is_none() && end.is_none()) return c.line(load, slope);
                const double from = start.is_none() ? 0.0 : place(b, "start", start);
                const double to = end.is_none() ? beamLength(b) : place(b, "end", end);
                if (!(from < to)) throw std::invalid_argument("start must lie before end");
                return c.line(load, slope, from, to);
            },
            py::arg("q"), py::arg("qs") = py::none(), py::arg("start") = py::none(),
            py::arg("end") = py::none(), chain)
        .def(
            "force",
            [](LoadCaseLoads& c, py::object v, py::object x) -> LoadCaseLoads& {
                return c.force(number("v", v, false), place(c.beam(), "x", x));
            },
            py::arg("v"), py::arg("x"), chain)
        .def(
            "moment",
            [](LoadCaseLoads& c, py::object v, py::object x) -> LoadCaseLoads& {
                return c.moment(number("v", v, false), place(c.beam(), "x", x));
            },
            py::arg("v"), py::arg("x"), chain);

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
                                   if (s.hasStress()) d["sigma"] = extreme(s.stress());
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
        .def("envelope", &envelope, py::arg("points") = int(defaultPoints),
             py::arg("combinations") = py::none())
        .def_property_readonly("stress",
                               [](const Solution& s) {
                                   return s.hasStress() ? extreme(s.stress())
                                                        : py::object(py::none());
                               })
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
                warnings.append(py::make_tuple(w.line, w.column, inPython(w.text)));
            }
            return py::make_tuple(results, warnings);
        },
        py::arg("text"), py::arg("method") = "keyed");
}
