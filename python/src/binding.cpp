// The Python module velmora._velmora: the C++ library's beams, solutions and
// readers, with numpy arrays for everything sampled and the library's
// failures raised as the package's exceptions. Nothing is computed here.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "library/velmora.h"

namespace py = pybind11;
using namespace velmora;

// An argument the binding checks itself, or a result it builds itself as a
// Python object: any object passes the call's own dispatch, and the
// signature shows it by the Python type it stands for (Tag::name).
template <typename Tag>
struct Python {
    py::object object;
};

namespace pybind11 {
namespace detail {
template <typename Tag>
struct type_caster<::Python<Tag>> {
    PYBIND11_TYPE_CASTER(::Python<Tag>, Tag::name);
    bool load(handle source, bool) {
        value.object = reinterpret_borrow<object>(source);
        return true;
    }
    static handle cast(const ::Python<Tag>& v, return_value_policy, handle) {
        return v.object.inc_ref();
    }
};
}  // namespace detail
}  // namespace pybind11

namespace {

#define VELMORA_SHOWN(Tag, text)                                   \
    struct Tag {                                                   \
        static constexpr auto name = py::detail::const_name(text); \
    }
VELMORA_SHOWN(FloatTag, "float");
VELMORA_SHOWN(OptionalFloatTag, "float | None");
VELMORA_SHOWN(IntTag, "int");
VELMORA_SHOWN(BoolTag, "bool");
VELMORA_SHOWN(StrTag, "str");
VELMORA_SHOWN(OptionalStrTag, "str | None");
VELMORA_SHOWN(FactorsTag, "dict[str, float | tuple[float, float]]");
VELMORA_SHOWN(StateTag, "velmora.State");
VELMORA_SHOWN(ExtremeTag, "velmora.Extreme");
VELMORA_SHOWN(OptionalExtremeTag, "velmora.Extreme | None");
VELMORA_SHOWN(ExtremesTag, "dict[str, velmora.Extreme]");
VELMORA_SHOWN(DiagramTag, "velmora.Diagram");
VELMORA_SHOWN(EnvelopeTag, "velmora.Envelope");
VELMORA_SHOWN(CombinationsTag, "str | list[str] | None");
VELMORA_SHOWN(ReactionsTag, "list[velmora.Reaction]");
VELMORA_SHOWN(FoundationsTag, "list[velmora.FoundationForce]");
VELMORA_SHOWN(SpeedsTag, "list[velmora.CriticalSpeed]");
VELMORA_SHOWN(BucklingTag, "list[velmora.Buckling]");
VELMORA_SHOWN(ElementsTag, "list[tuple[str, float, float, float]]");
VELMORA_SHOWN(PairTag, "tuple[float, float]");
VELMORA_SHOWN(StatesTag, "list[velmora.State]");
VELMORA_SHOWN(ArrayTag, "numpy.ndarray");
VELMORA_SHOWN(ChecksTag, "list[velmora.Check]");
VELMORA_SHOWN(LimitTag, "str | float");
#undef VELMORA_SHOWN

using Float = Python<FloatTag>;
using OptionalFloat = Python<OptionalFloatTag>;
using Int = Python<IntTag>;
using Bool = Python<BoolTag>;
using Str = Python<StrTag>;
using OptionalStr = Python<OptionalStrTag>;
using Factors = Python<FactorsTag>;

// A failure of the library, on its way to Python.
struct Raised {
    Failure failure;
};

void check(bool ok, const Failure& failure) {
    if (!ok) throw Raised{failure};
}

py::object types() { return py::module_::import("velmora._types"); }
py::object errors() { return py::module_::import("velmora.errors"); }

// The library names the general method; here it is an argument.
std::string inPython(std::string text) {
    const std::string method = "the general method";
    for (size_t at; (at = text.find(method)) != std::string::npos;) {
        text.replace(at, method.size(), "method=\"general\"");
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

// --- The arguments of a call, each checked with its name ---

std::string typeName(const py::handle& value) { return Py_TYPE(value.ptr())->tp_name; }

[[noreturn]] void wrongType(const std::string& name, const char* takes, const py::handle& value) {
    throw py::type_error(name + " must be " + takes + ", not " + typeName(value));
}

// A number of a Python call: finite, or None where it may be left out.
double number(const std::string& name, const py::handle& value, bool optional) {
    if (value.is_none()) {
        if (optional) return NAN;
        throw std::invalid_argument(name + " is required");
    }
    const char* takes = optional ? "a number (int or float) or None" : "a number (int or float)";
    if (PyBool_Check(value.ptr()) || PyUnicode_Check(value.ptr()) || PyBytes_Check(value.ptr())) {
        wrongType(name, takes, value);
    }
    const double v = PyFloat_AsDouble(value.ptr());
    if (v == -1.0 && PyErr_Occurred()) {
        PyErr_Clear();
        wrongType(name, takes, value);
    }
    if (!std::isfinite(v)) throw std::invalid_argument(name + " must be a finite number");
    return v;
}

double number(const std::string& name, const Float& value) {
    return number(name, value.object, false);
}
double number(const std::string& name, const OptionalFloat& value) {
    return number(name, value.object, true);
}

// A value of a call on a beam: a number in the beam's declared units, or a str that carries its
// unit ("50 mm"), which the library converts into them. A beam without declared units takes
// numbers only, as ever: its library refuses a unit, and a str without one is the wrong type.
double measure(const Beam& b, const std::string& name, const py::handle& value, units::Quantity q,
               bool optional) {
    if (!PyUnicode_Check(value.ptr())) return number(name, value, optional);
    Py_ssize_t size = 0;
    const char* utf8 = PyUnicode_AsUTF8AndSize(value.ptr(), &size);
    if (!utf8) throw py::error_already_set();
    const double v = b.quantity(std::string(utf8, static_cast<size_t>(size)), q, name);
    if (!b.declaredUnits().declared) return number(name, value, optional);
    return v;
}
double measure(const Beam& b, const std::string& name, const Float& value, units::Quantity q) {
    return measure(b, name, value.object, q, false);
}
double measure(const Beam& b, const std::string& name, const OptionalFloat& value,
               units::Quantity q) {
    return measure(b, name, value.object, q, true);
}

// A str, not bytes: the words of a call are text.
std::string text(const std::string& name, const py::handle& value, const char* takes) {
    if (!PyUnicode_Check(value.ptr())) wrongType(name, takes, value);
    Py_ssize_t size = 0;
    const char* utf8 = PyUnicode_AsUTF8AndSize(value.ptr(), &size);
    if (!utf8) throw py::error_already_set();
    return std::string(utf8, static_cast<size_t>(size));
}

std::string text(const std::string& name, const Str& value, const char* takes = "a str") {
    return text(name, value.object, takes);
}

int whole(const std::string& name, const Int& value) {
    const py::handle v = value.object;
    if (PyBool_Check(v.ptr()) || !PyIndex_Check(v.ptr())) {
        wrongType(name, "a whole number (int)", v);
    }
    const long n = PyLong_AsLong(py::reinterpret_steal<py::object>(PyNumber_Index(v.ptr())).ptr());
    if (n == -1 && PyErr_Occurred()) {
        PyErr_Clear();
        return -1;  // beyond a long: out of every range
    }
    return n < -1 || n > maxPoints ? -1 : static_cast<int>(n);
}

bool flag(const std::string& name, const Bool& value) {
    const py::handle v = value.object;
    if (PyBool_Check(v.ptr())) return v.ptr() == Py_True;
    // numpy's bool is a bool too (a scalar, not an array of them).
    if (py::hasattr(v, "dtype") && py::hasattr(v, "ndim") && v.attr("ndim").cast<int>() == 0 &&
        py::str(v.attr("dtype").attr("kind")).cast<std::string>() == "b") {
        return v.cast<bool>();
    }
    wrongType(name, "True or False (bool)", v);
}

End endOf(const std::string& name, const Str& value) {
    const std::string end =
        text(name, value, "a str (\"hinged\", \"free\", \"clamped\" or \"guided\")");
    if (end == "hinged") return End::hinged;
    if (end == "free") return End::free;
    if (end == "clamped") return End::clamped;
    if (end == "guided") return End::guided;
    throw std::invalid_argument("unknown end '" + end +
                                "': expected \"hinged\", \"free\", \"clamped\" or \"guided\"");
}

Method methodOf(const Str& value) {
    const std::string method = text("method", value, "a str (\"general\" or \"keyed\")");
    if (method == "general") return Method::general;
    if (method == "keyed") return Method::keyed;
    throw std::invalid_argument("unknown method '" + method +
                                "': expected \"general\" or \"keyed\"");
}

int pointsOf(const Int& value) {
    const int points = whole("points", value);
    if (points < 1 || points > maxPoints) {
        throw std::invalid_argument("points must be from 1 to " + std::to_string(maxPoints));
    }
    return points;
}

// --- Results as the package's Python values ---

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

Python<DiagramTag> diagram(const Solution& s, const Int& points) {
    Solution::Columns c = s.columns(pointsOf(points));
    const bool stress = !c.sigma.empty();
    py::object sigma = stress ? py::object(column(std::move(c.sigma))) : py::none();
    py::object top =
        c.sigmaTop.empty() ? py::object(py::none()) : py::object(column(std::move(c.sigmaTop)));
    return {types().attr("Diagram")(column(std::move(c.x)), column(std::move(c.value[rowW])),
                                    column(std::move(c.value[rowPsi])),
                                    column(std::move(c.value[rowM])),
                                    column(std::move(c.value[rowQ])), sigma, top)};
}

// The mode shapes of the critical speeds, as arrays.
Python<SpeedsTag> criticalSpeeds(const Beam& b, const Int& n, const Int& points) {
    const int count = whole("n", n);
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
    return {out};
}

// The buckling factors and their shapes, as arrays. A beam without
// compression is a value the call cannot take: ArgumentError, a ValueError.
Python<BucklingTag> bucklingModes(const Beam& b, const Int& n, const Int& points) {
    const int count = whole("n", n);
    if (count < 1 || count > maxBuckling) {
        throw std::invalid_argument("n must be from 1 to " + std::to_string(maxBuckling));
    }
    const Buckling found = velmora::buckling(b, count, pointsOf(points));
    if (found.noCompression) {
        const py::object cls = errors().attr("ArgumentError");
        const py::object error = cls(inPython(found.failure.where.text), found.failure.where.line,
                                     found.failure.where.column);
        PyErr_SetObject(cls.ptr(), error.ptr());
        throw py::error_already_set();
    }
    check(found.solved(), found.failure);
    py::list out;
    for (const BucklingMode& mode : found.modes) {
        std::vector<double> x, w;
        for (const Sample& sample : mode.shape) {
            x.push_back(sample.x);
            w.push_back(sample.value[rowW]);
        }
        out.append(
            types().attr("Buckling")(mode.factor, column(std::move(x)), column(std::move(w))));
    }
    return {out};
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

std::string freshName(const Beam& b, const Str& value) {
    const std::string name = text("name", value);
    if (name.empty()) throw std::invalid_argument("a load case needs a name");
    if (nameTaken(b, name)) throw std::invalid_argument("'" + name + "' is named twice");
    return name;
}

// A place of a case's load: on the beam, when its length is known.
double place(const Beam& b, const char* name, const py::handle& x) {
    const double v = measure(b, name, x, units::Quantity::length, false);
    const double length = beamLength(b);
    if (v < 0.0 || v > length) throw std::invalid_argument(outsideBeam(name, v, length));
    return v;
}

// {case: f} or {case: (worse, better)}; a plain f on a case placed span by
// span is f where it harms and 0 where it helps.
std::vector<CaseFactor> factorsOf(const Beam& b, const Factors& value) {
    if (!PyDict_Check(value.object.ptr())) {
        wrongType("factors", "a dict {case: factor or (worse, better)}", value.object);
    }
    std::vector<CaseFactor> factors;
    for (const auto& item : py::reinterpret_borrow<py::dict>(value.object)) {
        CaseFactor f;
        f.loadCase = text("each case of factors", item.first, "a str (the name of a load case)");
        const std::string which = "the factor of '" + f.loadCase + "'";
        const LoadCase* found = nullptr;
        for (const LoadCase& c : b.cases().cases) {
            if (c.name == f.loadCase) found = &c;
        }
        if (!found) throw std::invalid_argument("no load case '" + f.loadCase + "'");
        if (PyTuple_Check(item.second.ptr())) {
            const py::tuple t = py::reinterpret_borrow<py::tuple>(item.second);
            if (t.size() != 2) {
                throw std::invalid_argument(which + " is f or (worse, better), not a tuple of " +
                                            std::to_string(t.size()));
            }
            f.worse = number("the worse " + which.substr(4), t[0], false);
            f.better = number("the better " + which.substr(4), t[1], false);
        } else if (PyList_Check(item.second.ptr())) {
            wrongType(which, "a number or a (worse, better) tuple of numbers", item.second);
        } else {
            f.worse = number(which, item.second, false);
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

// The extremes of a stretch by quantity, as EnvelopeExtreme.
py::dict stretchExtremes(const CaseBook& book, const StretchExtremes& s) {
    py::dict out;
    const char* names[] = {"w", "psi", "M", "Q"};
    for (const int r : {rowM, rowQ, rowW}) {
        const EnvelopeExtreme& x = s.extremes[r];
        out[names[r]] = types().attr("EnvelopeExtreme")(
            x.extreme.max, x.extreme.xMax, x.extreme.min, x.extreme.xMin, loading(book, x.atMax),
            loading(book, x.atMin));
    }
    return out;
}

// None: all combinations (or the solution's own); a name, or a list of them.
Python<EnvelopeTag> envelope(const Solution& s, const Int& points,
                             const Python<CombinationsTag>& combinations) {
    const char* takes = "a str, a list of str or None";
    std::vector<std::string> asked;
    const py::object& c = combinations.object;
    if (PyUnicode_Check(c.ptr())) {
        asked.push_back(text("combinations", c, takes));
    } else if (py::isinstance<py::list>(c) || py::isinstance<py::tuple>(c)) {
        for (const py::handle item : c) asked.push_back(text("combinations", item, takes));
    } else if (!c.is_none()) {
        wrongType("combinations", takes, c);
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
    py::list spans;
    for (size_t k = 0; k < e.spans.size(); ++k) {
        const StretchExtremes& x = e.spans[k];
        spans.append(types().attr("SpanExtremes")(static_cast<int>(k) + 1, x.from, x.to, x.overhang,
                                                  stretchExtremes(book, x)));
    }
    const Units& u = s.declaredUnits();
    const py::object units =
        u.declared ? py::object(py::make_tuple(u.force, u.length)) : py::none();
    return {types().attr("Envelope")(column(std::vector<double>(e.x)), columns, reactions, extremes,
                                     spans, units)};
}

// "L/300" or "fy/1.1" by the quantity, or the divisor alone.
Beam& limit(Beam& b, const Str& quantity, const Python<LimitTag>& value,
            const OptionalStr& combination) {
    const char* takes = "'w' or 'sigma'";
    const std::string q = text("quantity", quantity, takes);
    if (q != "w" && q != "sigma") {
        throw std::invalid_argument("quantity must be 'w' or 'sigma', not '" + q + "'");
    }
    const std::string base = q == "w" ? "L/" : "fy/";
    double divisor = 0.0;
    const py::handle v = value.object;
    if (PyUnicode_Check(v.ptr())) {
        const std::string t = text("limit", v, "a str like 'L/300' or a number");
        char* end = nullptr;
        if (t.compare(0, base.size(), base) == 0)
            divisor = std::strtod(t.c_str() + base.size(), &end);
        if (!end || *end || end == t.c_str() + base.size()) {
            throw std::invalid_argument("limit of " + q + " is written '" + base +
                                        (q == "w" ? "300" : "1.0") + "', not '" + t + "'");
        }
    } else {
        divisor = number("limit", v, false);
    }
    const std::string name = combination.object.is_none()
                                 ? ""
                                 : text("combination", combination.object, "a str or None");
    return q == "w" ? b.deflectionLimit(divisor, name) : b.stressLimit(divisor, name);
}

Python<ChecksTag> checks(const Solution& s) {
    std::vector<Check> checks;
    Failure f;
    check(s.checks(defaultPoints, checks, f), f);
    const CaseBook& book = s.cases();
    py::list out;
    int span = 0;
    int last = -1;
    for (const Check& c : checks) {
        span = c.limit == last ? span + 1 : 1;
        last = c.limit;
        const Limit& l = book.limits[c.limit];
        const bool w = l.quantity == Limit::deflection;
        const int line = c.stretch.line;
        std::string name = (w ? "w L/" : "sigma fy/") + exactNumber(l.divisor);
        if (!l.combination.empty()) name += " " + l.combination;
        out.append(types().attr("Check")(
            name, w ? "w" : "sigma",
            l.combination.empty() ? py::object(py::none()) : py::object(py::str(l.combination)),
            w ? py::object(py::int_(span)) : py::object(py::none()),
            w ? py::object(py::none()) : py::object(py::int_(line)), c.stretch.from, c.stretch.to,
            c.stretch.overhang, c.value, c.x, c.allowed, c.utilisation, c.holds,
            loading(book, c.loading)));
    }
    return {out};
}

Beam& endBeam(Beam& b, const Str& kind, const OptionalFloat& m, const OptionalFloat& q) {
    const End end = endOf("kind", kind);
    const double mv = measure(b, "M", m, units::Quantity::moment);
    const double qv = measure(b, "Q", q, units::Quantity::force);
    if ((end == End::clamped || end == End::guided) &&
        !(m.object.is_none() && q.object.is_none())) {
        throw std::invalid_argument(std::string("a ") + endName(end) + " end takes no M or Q");
    }
    if (end == End::hinged && !q.object.is_none()) {
        throw std::invalid_argument("a hinged end takes no Q");
    }
    return b.end(end, mv, qv);
}

// A short summary of a number for a repr.
std::string shown(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

std::string solutionRepr(const Solution& s) {
    if (!s.solved()) return "<velmora.Solution: not solved>";
    const BeamModel& m = s.model();
    int elements = 0;
    for (const Element& e : m.elements) elements += e.kind == ElementKind::otherKey ? 0 : 1;
    std::string t = "Solution(" + std::string(s.method() == Method::general ? "general" : "keyed") +
                    " method, length " + shown(m.length) + ", " + std::to_string(elements) +
                    (elements == 1 ? " element" : " elements");
    const Extreme& w = s.extreme(rowW);
    const Extreme& moment = s.extreme(rowM);
    if (w.found) t += "; w from " + shown(w.min) + " to " + shown(w.max);
    if (moment.found) t += ", M from " + shown(moment.min) + " to " + shown(moment.max);
    return t + ")";
}

// --- The docstrings: units are the user's own, consistent ones ---

constexpr const char* beamDoc = R"(A beam or shaft, described element by element from its left end.

Beam(left="hinged"): the left end is "hinged", "free", "clamped" or "guided". Every
call adds one element at the place the last one ends and returns the beam,
so calls chain; the beam's text (its repr and describe()) is its
description, and velmora.parse(beam.describe()) gives an equal beam back.

Units are the user's own, consistent ones (say N, mm, t and s). x runs from
the left end. Loads and the deflection w are positive downwards, the
bending moment M positive sagging; psi = w' and Q as the program prints
them. A value a description would refuse raises ArgumentError at the call;
a value of the wrong type raises TypeError naming the argument.)";

constexpr const char* sectionDoc = R"(Add a beam section.

l: its length (0 or more); EI: its bending stiffness (force * length^2,
positive), or E and I apart; q: a line load at its start in force per
length, positive downwards; qs: the growth of that load per length (a line
load when q or qs is given); W: its section modulus (length^3, positive)
for the bending stress sigma = M / W; m: its mass per length for critical
speeds. From the tables: profile ("IPE 300", "HEA 200", "W14x48",
"CHS 168.3x8", "Rechteck b=0.2 h=0.4") gives I, W and A about axis "y"
(the strong axis) or "z"; material ("S235") gives E, fy and with A the
mass per length; self_weight=True adds that weight to q. A number given
wins over the tables'. Tables need declared units.
The general method only (the keyed method refuses them), each constant over
the section: N: an axial force (force), tension positive, compression
negative, as given (not found from the supports); k: an elastic foundation
(force per length^2: force per length per unit w), acting against w; GAs:
the shear stiffness (force) for shear deformation, 0 for none; kappa: an
imposed curvature (1/length), positive where it makes the beam sag (a
bottom warmer by dT over a depth h: alpha dT / h); A: the area (length^2)
for the stress sigma = N/A + M/W at the bottom fibre and N/A - M/W at the
top. Returns the beam.)";

constexpr const char* shaftDoc = R"(Add a round shaft section.

l: its length (0 or more); E: Young's modulus (force per length^2,
positive); d: its diameter (positive), so that EI = E pi d^4 / 64 and
W = pi d^3 / 32; q, qs: a line load as for section(); rho: the density
(mass per length^3), a mass per length rho pi d^2 / 4 for critical speeds.
N, k, kappa as for section(); G: the shear modulus (force per length^2)
for shear deformation, with the solid circle's shear area from d (shear
coefficient 6(1+nu)/(7+6nu), nu = E/(2G) - 1), 0 for none; the area for
N/A is pi d^2 / 4. Returns the beam.)";

constexpr const char* massDoc = R"(Add a point mass for critical speeds.

m: the mass (0 or more); J: its transverse mass moment of inertia
(mass * length^2, 0 or more; a thin disc of radius r has m r^2 / 4). It
is no load, and the keyed method ignores it. Returns the beam.)";

constexpr const char* springDoc = R"(Add an elastic support of stiffness c (force per length) here.

Returns the beam.)";
constexpr const char* forceDoc = R"(Add a point force v here, positive downwards.

Q drops by v across it. Returns the beam.)";
constexpr const char* momentDoc = R"(Add a point moment v here.

M drops by v across it. Returns the beam.)";
constexpr const char* angleDoc = R"(Add an imposed kink v (radians) here.

psi drops by v across it. Returns the beam.)";
constexpr const char* offsetDoc = R"(Add an imposed offset v (length) here.

w drops by v across it. Returns the beam.)";
constexpr const char* supportDoc = R"(Add an intermediate hinged support here.

w is 0 there. Returns the beam.)";
constexpr const char* hingeDoc = R"(Add a hinge here.

Without c a full hinge: M is 0 there and psi may kink. With c (moment per
radian) a semi-rigid joint: psi jumps by M / c. Returns the beam.)";

constexpr const char* endDoc = R"(Finish the beam with its right end.

kind: "hinged" (M=: an end moment), "free" (M= and Q=: the end's moment
and shear force, as the state takes them there), "clamped" or "guided"
(psi = 0 and no vertical force; neither takes M or Q). Nothing follows the right end. Returns the beam.)";

constexpr const char* ownCaseDoc = R"(Name the load case of the loads given with the elements.

The case is "G" unless named. Name it before any other case or combination;
describe() then writes a line "Lastfall NAME" before F1, one line above
every element. A name is one word: no blank, line end, '=' or '#', not
starting with a digit, a sign or a point, no '/'. Returns the beam.)";

constexpr const char* caseDoc = R"(Start a load case whose loads are placed by position x.

name: one word, as for own_case(); spanwise: True when each span (the
stretch between two neighbouring supports, springs or supported ends) is
taken or left on its own, where it does harm. Returns the case (a LoadCase)
to add its loads to, by x from the left end.)";

constexpr const char* combinationDoc = R"(Add a combination of load cases.

factors: {case: f} or {case: (worse, better)}: worse is the factor where
the case makes a quantity worse, better where it helps; a plain f is
(f, f), on a spanwise case (f, 0). Returns the beam.)";

constexpr const char* criticalDoc = R"(The n lowest critical speeds of the non-rotating beam.

They are its bending natural frequencies. Each CriticalSpeed has omega
(radians per time unit), f = omega / 2 pi, n = 60 f (per minute when time
is in seconds) and its mode shape (x, w, psi), sampled at `points` places
inside every section and scaled to a largest |w| of 1. Loads do not enter;
the masses are the sections' m and rho and the point masses. Raises
MechanismError for a beam that can move without straining,
DescriptionError for one with no mass that can move.)";

constexpr const char* unitsDoc = R"(Declare the units of the beam's numbers: a force and a length.

force: "N", "kN" or "MN"; length: "mm", "cm" or "m". Mass then is force * s^2 /
length (kN and m: t; N and mm: t; N and m: kg). Every value of a call may
then also be a str with its unit, "50 mm" or "8 kN/m", converted into these
units; describe() writes the line Einheiten. Returns the beam.)";

constexpr const char* bucklingDoc = R"(The n lowest buckling factors of the beam.

Each Buckling has the factor by which every section's axial force N must be
multiplied for the beam to buckle, and its shape (x, w), sampled at
`points` places inside every section and scaled to a largest |w| of 1.
Foundations k and shear stiffnesses enter; loads and masses do not. Raises
ArgumentError (a ValueError) for a beam with no section in compression,
MechanismError for a beam that can move without straining.)";

constexpr const char* describeDoc = R"(The beam's description, one line per element, in German words
(language="de") or English ones ("en"); the reader takes both.

Every number is exact: velmora.parse() reads the text back into an equal
beam, and the lines and columns of the beam's errors are those of this
text.)";

constexpr const char* solveDoc = R"(Solve the beam.

method: "general" (every stable beam) or "keyed" (the program's own
arithmetic, bit for bit, with its five-condition register bank); case: the
name of a load case or combination to solve instead of the beam's own
loads (each factor taken as its worse one). Returns a Solution; raises
MechanismError, KeyedError or DescriptionError.)";

constexpr const char* loadCaseDoc = R"(A load case of a beam, from Beam.case().

Its loads are placed by position x from the left end; every call returns
the case.)";

constexpr const char* lineDoc = R"(Add a line load from start to end (by default the whole beam).

q: the load at start in force per length, positive downwards; qs: its
growth per length. Returns the case.)";
constexpr const char* caseForceDoc = R"(Add a point force v at x, positive downwards.

Returns the case.)";
constexpr const char* caseMomentDoc = R"(Add a point moment v at x.

M drops by v across it. Returns the case.)";

constexpr const char* influenceLineDoc = R"(The influence line of a quantity at a place.

The ordinate eta(x) is the quantity's value with a downward force 1
standing at x: M sagging positive, w positive downwards, a reaction
positive against a downward load.)";

constexpr const char* liveDoc = R"(The largest and smallest value of the quantity under a live load.

q=: a uniform load over the unfavourable parts (q times each area); P=: a
single moving force (P times the largest and smallest ordinate). Returns
(max, min).)";

constexpr const char* solutionDoc = R"(A solved beam.

Its state at any place, its diagram, reactions, exact extremes, influence
lines, stresses, envelope and drawing. Units are the description's; w is
positive downwards, M positive sagging, psi = w' and Q as the program
prints them; a reaction is positive when it acts against a downward load.)";

constexpr const char* atDoc = R"(The state (w, psi, M, Q) at x, 0 <= x <= length.

At a point element the state jumps: side="left" gives it just before the
element, "right" just after. Raises DescriptionError for x outside the
beam.)";

constexpr const char* diagramDoc = R"(The diagram, sampled along the beam.

numpy arrays x, w, psi, M, Q (and sigma where a section has a W), at
`points` places inside every section, at every section's end and on both
sides of every point element.)";

constexpr const char* influenceDoc = R"(The influence line of a quantity at a place.

request: "M@X", "Q@X" (Q@X- or Q@X+ at a support), "w@X", "psi@X" or
"R@LINE" (LINE: the support's line in describe()); sampled like the
diagram.)";

constexpr const char* limitDoc = R"(A limit the results are checked against.

quantity 'w': every span's largest |w| against its own length over the
divisor (an overhang against its length), limit 'L/300' or 300; 'sigma':
every section's largest |M/W| against its fy over the divisor, 'fy/1.1' or
1.1. combination: the combination it is of (None: the loads together, for a
beam without combinations). Solution.checks gives the results.)";

constexpr const char* envelopeDoc = R"(The envelope over the combinations named.

combinations: a combination's name, a list of names, or None for every
combination (for a solution made for a combination, that one); a load
case's name is refused. Without any combination written, over all cases
together: the largest and
smallest w, psi, M and Q at every sample and the extreme reactions, each
factor and each span of a spanwise case taken where it does harm, with the
loading that gives each.)";

constexpr const char* svgDoc = R"(The drawing velmora-batch --svg writes.

The beam's sketch over the plots of w, psi, M and Q (and sigma), w and M
drawn positive downwards.)";

constexpr const char* parseDoc = R"(The complete beams of a description text.

Each runs from its F1 to its right end, without F7 and repeated runs; the
load cases go to the last beam. Raises DescriptionError with the line and
column of the first problem.)";

constexpr const char* runDoc = R"(Run a description as velmora-batch does.

Returns the results of its F7 lines and the warnings, as (states,
[(line, column, message)]).)";

}  // namespace

PYBIND11_MODULE(_velmora, mod) {
    mod.doc() = "The C++ core of the velmora package: beams, solutions and the text format.";
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const Raised& r) {
            raise(r.failure);
        } catch (const std::invalid_argument& e) {
            PyErr_SetString(errors().attr("ArgumentError").ptr(), e.what());
        }
    });

    // The classes first, as velmora's, so that every signature names them.
    py::class_<Beam> beam(mod, "Beam", beamDoc);
    py::class_<LoadCaseLoads> loadCase(mod, "LoadCase", loadCaseDoc);
    py::class_<InfluenceLine> influenceLine(mod, "InfluenceLine", influenceLineDoc);
    py::class_<Solution> solution(mod, "Solution", solutionDoc);
    for (py::handle cls : {py::handle(beam), py::handle(loadCase), py::handle(influenceLine),
                           py::handle(solution)}) {
        cls.attr("__module__") = "velmora";
    }

    const auto chain = py::return_value_policy::reference_internal;
    const py::object none = py::none();
    beam.def(py::init([](const Str& left) { return Beam(endOf("left", left)); }),
             py::arg("left") = "hinged",
             "A beam that starts with its left end: \"hinged\", \"free\", \"clamped\" or "
             "\"guided\".")
        .def(
            "section",
            [](Beam& b, const Float& l, const OptionalFloat& ei, const OptionalFloat& q,
               const OptionalFloat& qs, const OptionalFloat& w, const OptionalFloat& m,
               const OptionalFloat& e, const OptionalFloat& i, const OptionalStr& profile,
               const Str& axis, const OptionalStr& material, const Bool& selfWeight,
               const OptionalFloat& n, const OptionalFloat& k, const OptionalFloat& gas,
               const OptionalFloat& kappa, const OptionalFloat& a,
               const OptionalFloat& fy) -> Beam& {
                using Q = units::Quantity;
                const double length = measure(b, "l", l, Q::length);
                const double stiffness = measure(b, "EI", ei, Q::bendingStiffness);
                const double load = measure(b, "q", q, Q::lineLoad);
                const double slope = measure(b, "qs", qs, Q::lineLoadSlope);
                const double modulus = measure(b, "W", w, Q::sectionModulus);
                const double mass = measure(b, "m", m, Q::massPerLength);
                const double yield = measure(b, "fy", fy, Q::stress);
                NamedSection named;
                named.l = length;
                named.ei = stiffness;
                named.q = load;
                named.qs = slope;
                named.w = modulus;
                named.m = mass;
                named.e = measure(b, "E", e, Q::stress);
                named.i = measure(b, "I", i, Q::secondMoment);
                if (!profile.object.is_none()) {
                    named.profile = text("profile", profile.object, "a str or None");
                }
                if (!material.object.is_none()) {
                    named.material = text("material", material.object, "a str or None");
                }
                const std::string bending = text("axis", axis, "a str (\"y\" or \"z\")");
                if (bending != "y" && bending != "z") {
                    throw std::invalid_argument("unknown axis '" + bending +
                                                "': expected \"y\" (the strong axis) or \"z\"");
                }
                named.weakAxis = bending == "z";
                named.selfWeight = flag("self_weight", selfWeight);
                const double axial = measure(b, "N", n, Q::force);
                const double foundation = measure(b, "k", k, Q::foundation);
                const double shear = measure(b, "GAs", gas, Q::force);
                const double curvature = measure(b, "kappa", kappa, Q::perLength);
                const double area = measure(b, "A", a, Q::area);
                // All or nothing: a refused W or m leaves no section behind.
                Beam trial(b);
                if (std::isnan(named.e) && std::isnan(named.i) && named.profile.empty() &&
                    named.material.empty() && !named.weakAxis && !named.selfWeight) {
                    if (std::isnan(stiffness)) throw std::invalid_argument("EI is required");
                    trial.section(length, stiffness, load, slope);
                    if (!w.object.is_none()) trial.modulus(modulus);
                    if (!m.object.is_none()) trial.massPerLength(mass);
                } else {
                    trial.section(named);
                }
                if (!n.object.is_none()) trial.axialForce(axial);
                if (!k.object.is_none()) trial.foundation(foundation);
                if (!gas.object.is_none()) trial.shearStiffness(shear);
                if (!kappa.object.is_none()) trial.curvature(curvature);
                if (!a.object.is_none()) trial.area(area);
                if (!fy.object.is_none()) trial.yieldStrength(yield);
                b = trial;
                return b;
            },
            py::arg("l"), py::arg("EI") = none, py::arg("q") = none, py::arg("qs") = none,
            py::arg("W") = none, py::arg("m") = none, py::arg("E") = none, py::arg("I") = none,
            py::arg("profile") = none, py::arg("axis") = "y", py::arg("material") = none,
            py::arg("self_weight") = false, py::arg("N") = none, py::arg("k") = none,
            py::arg("GAs") = none, py::arg("kappa") = none, py::arg("A") = none,
            py::arg("fy") = none, chain, sectionDoc)
        .def(
            "shaft",
            [](Beam& b, const Float& l, const Float& e, const Float& d, const OptionalFloat& q,
               const OptionalFloat& qs, const OptionalFloat& rho, const OptionalFloat& n,
               const OptionalFloat& k, const OptionalFloat& g,
               const OptionalFloat& kappa) -> Beam& {
                using Q = units::Quantity;
                const double length = measure(b, "l", l, Q::length);
                const double modulus = measure(b, "E", e, Q::stress);
                const double diameter = measure(b, "d", d, Q::length);
                const double load = measure(b, "q", q, Q::lineLoad);
                const double slope = measure(b, "qs", qs, Q::lineLoadSlope);
                const double density = measure(b, "rho", rho, Q::density);
                const double axial = measure(b, "N", n, Q::force);
                const double foundation = measure(b, "k", k, Q::foundation);
                const double shear = measure(b, "G", g, Q::stress);
                const double curvature = measure(b, "kappa", kappa, Q::perLength);
                // All or nothing: a refused value leaves no shaft behind.
                Beam trial(b);
                trial.shaft(length, modulus, diameter, load, slope);
                if (!rho.object.is_none()) trial.density(density);
                if (!n.object.is_none()) trial.axialForce(axial);
                if (!k.object.is_none()) trial.foundation(foundation);
                if (!g.object.is_none()) trial.shearStiffness(shear);
                if (!kappa.object.is_none()) trial.curvature(curvature);
                b = trial;
                return b;
            },
            py::arg("l"), py::arg("E"), py::arg("d"), py::arg("q") = none, py::arg("qs") = none,
            py::arg("rho") = none, py::arg("N") = none, py::arg("k") = none, py::arg("G") = none,
            py::arg("kappa") = none, chain, shaftDoc)
        .def(
            "mass",
            [](Beam& b, const Float& m, const Float& j) -> Beam& {
                return b.mass(measure(b, "m", m, units::Quantity::mass),
                              measure(b, "J", j, units::Quantity::massInertia));
            },
            py::arg("m"), py::arg("J") = 0.0, chain, massDoc)
        .def(
            "spring",
            [](Beam& b, const Float& c) -> Beam& {
                return b.spring(measure(b, "c", c, units::Quantity::spring));
            },
            py::arg("c"), chain, springDoc)
        .def(
            "force",
            [](Beam& b, const Float& v) -> Beam& {
                return b.force(measure(b, "v", v, units::Quantity::force));
            },
            py::arg("v"), chain, forceDoc)
        .def(
            "moment",
            [](Beam& b, const Float& v) -> Beam& {
                return b.moment(measure(b, "v", v, units::Quantity::moment));
            },
            py::arg("v"), chain, momentDoc)
        .def(
            "angle",
            [](Beam& b, const Float& v) -> Beam& {
                return b.angle(measure(b, "v", v, units::Quantity::angle));
            },
            py::arg("v"), chain, angleDoc)
        .def(
            "offset",
            [](Beam& b, const Float& v) -> Beam& {
                return b.offset(measure(b, "v", v, units::Quantity::length));
            },
            py::arg("v"), chain, offsetDoc)
        .def("support", &Beam::support, chain, supportDoc)
        .def(
            "hinge",
            [](Beam& b, const OptionalFloat& c) -> Beam& {
                return c.object.is_none()
                           ? b.hinge()
                           : b.hinge(measure(b, "c", c, units::Quantity::rotationalStiffness));
            },
            py::arg("c") = none, chain, hingeDoc)
        .def(
            "rotational_spring",
            [](Beam& b, const Float& c) -> Beam& {
                return b.rotationalSpring(measure(b, "c", c, units::Quantity::rotationalStiffness));
            },
            py::arg("c"), chain,
            "A rotational spring to the ground here: the moment jumps by c psi, against the "
            "rotation (c: moment per radian).")
        .def("shear_hinge", &Beam::shearHinge, chain,
             "A shear hinge here: the vertical force is 0, w may jump, psi and M pass.")
        .def("clamp", &Beam::clamp, chain,
             "An intermediate clamp here: w = 0 and psi = 0, the beam goes on.")
        .def("end", &endBeam, py::arg("kind") = "hinged", py::arg("M") = none, py::arg("Q") = none,
             chain, endDoc)
        .def(
            "own_case",
            [](Beam& b, const Str& value) -> Beam& {
                const std::string name = text("name", value);
                if (b.cases().cases.size() > 1 || !b.cases().combinations.empty()) {
                    throw std::invalid_argument("name the beam's own case before other cases");
                }
                if (name != b.cases().cases.front().name) freshName(b, value);
                return b.ownCase(name);
            },
            py::arg("name"), chain, ownCaseDoc)
        .def(
            "case",
            [](Beam& b, const Str& name, const Bool& spanwise) {
                const std::string fresh = freshName(b, name);
                return b.loadCase(fresh, flag("spanwise", spanwise));
            },
            py::arg("name"), py::arg("spanwise") = false, py::keep_alive<0, 1>(), caseDoc)
        .def(
            "combination",
            [](Beam& b, const Str& name, const Factors& factors) -> Beam& {
                const std::string fresh = freshName(b, name);
                return b.combination(fresh, factorsOf(b, factors));
            },
            py::arg("name"), py::arg("factors"), chain, combinationDoc)
        .def("limit", &limit, py::arg("quantity"), py::arg("limit"), py::arg("combination") = none,
             chain, limitDoc)
        .def("critical", &criticalSpeeds, py::arg("n"), py::arg("points") = int(defaultPoints),
             criticalDoc)
        .def("buckling", &bucklingModes, py::arg("n"), py::arg("points") = int(defaultPoints),
             bucklingDoc)
        .def(
            "units",
            [](Beam& b, const Str& force, const Str& length) -> Beam& {
                return b.units(text("force", force), text("length", length));
            },
            py::arg("force"), py::arg("length"), chain, unitsDoc)
        .def(
            "describe",
            [](const Beam& b, const Str& language) {
                const std::string words = text("language", language, "a str (\"de\" or \"en\")");
                if (words != "de" && words != "en") {
                    throw std::invalid_argument("unknown language '" + words +
                                                "': expected \"de\" or \"en\"");
                }
                return b.describe(words == "en" ? Language::english : Language::german);
            },
            py::arg("language") = "de", describeDoc)
        .def(
            "__repr__",
            [](const Beam& b) {
                std::string text = b.describe();
                if (!text.empty()) text.pop_back();  // the last line end
                return text;
            },
            "The description, without its last line end.")
        .def_property_readonly("complete", &Beam::complete, "True once the right end is given.")
        .def(
            "__eq__",
            [](const Beam& a, const py::object& b) -> py::object {
                if (!py::isinstance<Beam>(b))
                    return py::reinterpret_borrow<py::object>(Py_NotImplemented);
                return py::bool_(a == b.cast<const Beam&>());
            },
            "Equal elements, values, load cases and combinations (not where they were written).")
        .def(
            "solve",
            [](const Beam& b, const Str& method, const OptionalStr& loadCase) {
                const Method m = methodOf(method);
                Solution s = loadCase.object.is_none()
                                 ? Solution(b, m)
                                 : Solution(b,
                                            text("case", loadCase.object,
                                                 "a str (a load case or combination) or None"),
                                            m);
                check(s.solved(), s.failure());
                for (size_t i = 0; i < s.warnings().size(); ++i) {
                    const Problem& w = s.warnings()[i];
                    const std::string text = "line " + std::to_string(w.line) + ", column " +
                                             std::to_string(w.column) + ": " + inPython(w.text);
                    const bool buckled = static_cast<int>(i) == s.bucklingWarning();
                    const py::object category =
                        errors().attr(buckled ? "BucklingWarning" : "TrustWarning");
                    if (PyErr_WarnEx(category.ptr(), text.c_str(), 1) < 0) {
                        throw py::error_already_set();
                    }
                }
                return s;
            },
            py::arg("method") = "general", py::arg("case") = none, solveDoc);

    loadCase
        .def(
            "line",
            [](LoadCaseLoads& c, const Float& q, const OptionalFloat& qs,
               const OptionalFloat& start, const OptionalFloat& end) -> LoadCaseLoads& {
                const Beam& b = c.beam();
                const double load = measure(b, "q", q, units::Quantity::lineLoad);
                const double slope = qs.object.is_none()
                                         ? 0.0
                                         : measure(b, "qs", qs, units::Quantity::lineLoadSlope);
                if (start.object.is_none() && end.object.is_none()) return c.line(load, slope);
                const double from = start.object.is_none() ? 0.0 : place(b, "start", start.object);
                const double to =
                    end.object.is_none() ? beamLength(b) : place(b, "end", end.object);
                if (!(from < to)) throw std::invalid_argument("start must lie before end");
                return c.line(load, slope, from, to);
            },
            py::arg("q"), py::arg("qs") = none, py::arg("start") = none, py::arg("end") = none,
            chain, lineDoc)
        .def(
            "force",
            [](LoadCaseLoads& c, const Float& v, const Float& x) -> LoadCaseLoads& {
                const double value = measure(c.beam(), "v", v, units::Quantity::force);
                return c.force(value, place(c.beam(), "x", x.object));
            },
            py::arg("v"), py::arg("x"), chain, caseForceDoc)
        .def(
            "moment",
            [](LoadCaseLoads& c, const Float& v, const Float& x) -> LoadCaseLoads& {
                const double value = measure(c.beam(), "v", v, units::Quantity::moment);
                return c.moment(value, place(c.beam(), "x", x.object));
            },
            py::arg("v"), py::arg("x"), chain, caseMomentDoc);

    influenceLine
        .def_property_readonly(
            "request", [](const InfluenceLine& l) { return l.request.text; },
            "The request, such as \"M@4\".")
        .def_readonly("place", &InfluenceLine::place, "Its place x.")
        .def_property_readonly(
            "x", [](const InfluenceLine& l) { return Python<ArrayTag>{array(l.x)}; },
            "The places x of the ordinates.")
        .def_property_readonly(
            "eta", [](const InfluenceLine& l) { return Python<ArrayTag>{array(l.ordinate)}; },
            "The ordinates eta at x.")
        .def_property_readonly(
            "extremes",
            [](const InfluenceLine& l) { return Python<ExtremeTag>{extreme(l.extreme)}; },
            "The largest and smallest ordinate with their places.")
        .def_readonly("positive_area", &InfluenceLine::positiveArea,
                      "The area of the line where eta > 0 (exact between samples).")
        .def_readonly("negative_area", &InfluenceLine::negativeArea,
                      "The area of the line where eta < 0, 0 or less.")
        .def(
            "live",
            [](const InfluenceLine& l, const OptionalFloat& q, const OptionalFloat& p) {
                if (q.object.is_none() == p.object.is_none()) {
                    throw std::invalid_argument("give one live load: q= or P=");
                }
                const bool uniform = !q.object.is_none();
                const LiveExtreme e =
                    liveLoad(l, uniform, uniform ? number("q", q) : number("P", p));
                return Python<PairTag>{py::make_tuple(e.max, e.min)};
            },
            py::arg("q") = none, py::arg("P") = none, liveDoc)
        .def("__repr__", [](const InfluenceLine& l) {
            return "InfluenceLine(" + l.request.text + ", " + std::to_string(l.x.size()) +
                   " ordinates, eta from " + shown(l.extreme.min) + " to " + shown(l.extreme.max) +
                   ")";
        });

    solution
        .def_property_readonly(
            "method",
            [](const Solution& s) { return s.method() == Method::general ? "general" : "keyed"; },
            "\"general\" or \"keyed\".")
        .def_property_readonly(
            "length", [](const Solution& s) { return s.model().length; },
            "The beam's length, the sum of its sections' lengths.")
        .def(
            "at",
            [](const Solution& s, const Float& x, const Str& side) {
                const std::string which = text("side", side, "a str (\"left\" or \"right\")");
                if (which != "left" && which != "right") {
                    throw std::invalid_argument("side must be \"left\" or \"right\"");
                }
                State st{};
                Failure f;
                check(s.at(number("x", x), which == "left" ? Side::left : Side::right, st, f), f);
                return Python<StateTag>{state(st)};
            },
            py::arg("x"), py::arg("side") = "right", atDoc)
        .def("diagram", &diagram, py::arg("points") = int(defaultPoints), diagramDoc)
        .def_property_readonly(
            "reactions", [](const Solution& s) { return Python<ReactionsTag>{reactions(s)}; },
            "The support reactions from the left (Reaction): F positive against a downward "
            "load, M of a clamped end, the slope psi there.")
        .def_property_readonly(
            "foundations",
            [](const Solution& s) {
                py::list out;
                for (const FoundationForce& f : s.foundations()) {
                    out.append(types().attr("FoundationForce")(f.from, f.to, f.force));
                }
                return Python<FoundationsTag>{out};
            },
            "What each section on an elastic foundation (k=) carries, from the left "
            "(FoundationForce): F, the integral of k w, positive against a downward load as a "
            "reaction's F; with the reactions it balances the loads.")
        .def_property_readonly(
            "extremes",
            [](const Solution& s) {
                py::dict d;
                const char* names[] = {"w", "psi", "M", "Q"};
                for (int r = 0; r < rowCount; ++r) {
                    d[names[r]] = extreme(s.extreme(static_cast<Row>(r)));
                }
                if (s.hasStress()) d["sigma"] = extreme(s.stress());
                if (s.hasStress() && s.hasAxialStress()) d["sigma_top"] = extreme(s.stressTop());
                return Python<ExtremesTag>{d};
            },
            "The exact largest and smallest w, psi, M, Q (and sigma = M / W where a section "
            "has a W; with an axial force and an area sigma = N/A + M/W of the bottom fibre "
            "and sigma_top = N/A - M/W of the top) along the beam, with their places.")
        .def(
            "influence",
            [](const Solution& s, const Str& request, const Int& points) {
                const std::string what = text("request", request, "a str such as \"M@4\"");
                const int n = pointsOf(points);
                InfluenceLine line;
                Failure f;
                check(s.influence(what, n, line, f), f);
                return line;
            },
            py::arg("request"), py::arg("points") = int(defaultPoints), influenceDoc)
        .def("envelope", &envelope, py::arg("points") = int(defaultPoints),
             py::arg("combinations") = py::none(), envelopeDoc)
        .def(
            "_report",
            [](const Solution& s, const Int& points) {
                std::string html;
                Failure f;
                check(s.report(pointsOf(points), html, f), f);
                return py::bytes(html);
            },
            py::arg("points") = int(defaultPoints))
        .def_property_readonly("_units",
                               [](const Solution& s) -> py::object {
                                   const Units& u = s.declaredUnits();
                                   if (!u.declared) return py::none();
                                   return py::make_tuple(u.force, u.length);
                               })
        .def_property_readonly(
            "line_loads",
            [](const Solution& s) {
                py::list out;
                for (const Element& e : s.model().elements) {
                    if (!e.isSection() || !e.loaded || !(e.length > 0.0)) continue;
                    out.append(py::make_tuple(e.x, e.x + e.length, e.q, e.q + e.qs * e.length));
                }
                return out;
            },
            "The line loads as (start, end, q at the start, q at the end), one per loaded "
            "section.")
        .def_property_readonly("checks", &checks,
                               "The beam's limits checked on every span (w) or section (sigma): "
                               "a list of Check, in the order of the limits.")
        .def_property_readonly(
            "stress",
            [](const Solution& s) {
                return Python<OptionalExtremeTag>{s.hasStress() ? extreme(s.stress())
                                                                : py::object(py::none())};
            },
            "The exact extremes of sigma = M / W (force per length^2), None without any W; "
            "with an axial force N over an area A, of N / A + M / W (the bottom fibre).")
        .def_property_readonly(
            "stress_top",
            [](const Solution& s) {
                return Python<OptionalExtremeTag>{s.hasStress() && s.hasAxialStress()
                                                      ? extreme(s.stressTop())
                                                      : py::object(py::none())};
            },
            "The exact extremes of the top fibre's N / A - M / W, None without an axial force "
            "over a known area.")
        .def(
            "svg", [](const Solution& s, const Int& points) { return s.svg(pointsOf(points)); },
            py::arg("points") = int(defaultPoints), svgDoc)
        .def_property_readonly(
            "elements",
            [](const Solution& s) {
                // The sketch's parts: the ends and every element with its place.
                const BeamModel& m = s.model();
                py::list out;
                out.append(py::make_tuple(endName(m.left), 0.0, 0.0, 0.0));
                for (const Element& e : m.elements) {
                    if (e.kind == ElementKind::otherKey) continue;
                    out.append(py::make_tuple(elementName(e.kind), e.x, e.length, e.value));
                }
                out.append(py::make_tuple(endName(m.right), m.length, 0.0, 0.0));
                return Python<ElementsTag>{out};
            },
            "The sketch's parts as (kind, x, length, value): the ends and every element.")
        .def_property_readonly(
            "units",
            [](const Solution& s) -> py::object {
                if (!s.units().declared) return py::none();
                py::dict d;
                for (const auto& label : s.unitLabels()) d[label.first.c_str()] = label.second;
                return d;
            },
            "The units the beam declares, by what they measure ({\"force\": \"kN\", \"M\": "
            "\"kNm\", ...}, as the JSON's \"units\"); None when it declares none.")
        .def("__repr__", &solutionRepr);

    mod.def(
        "_profile",
        [](const Str& value) {
            const sections::Section s = profile(text("name", value));
            const sections::Properties& p = s.properties;
            return py::make_tuple(s.name, p.area, p.iy, p.iz, p.wy, p.wz, s.size.h, s.size.b);
        },
        py::arg("name"));
    mod.def(
        "_material",
        [](const Str& value) {
            const sections::Material m = material(text("name", value));
            return py::make_tuple(m.name, m.e, m.g, m.strength, m.density);
        },
        py::arg("name"));
    mod.def("_materials", []() {
        py::list names;
        for (const sections::Material& m : sections::materials()) names.append(m.name);
        return names;
    });
    mod.def(
        "parse",
        [](const Str& value) {
            const std::string t = text("text", value);
            std::vector<Beam> beams;
            Failure f;
            check(parse(t, beams, f), f);
            return beams;
        },
        py::arg("text"), parseDoc);
    mod.def(
        "run",
        [](const Str& value, const Str& method) {
            const std::string t = text("text", value);
            const Method m = methodOf(method);
            RunOutput out;
            Failure f;
            check(run(t, m, out, f), f);
            py::list results;
            for (const Result& r : out.results) results.append(state(r.state));
            py::list warnings;
            for (const Problem& w : out.warnings) {
                warnings.append(py::make_tuple(w.line, w.column, inPython(w.text)));
            }
            return py::make_tuple(results, warnings);
        },
        py::arg("text"), py::arg("method") = "keyed", runDoc);
}
