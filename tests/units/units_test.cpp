// Units: every conversion against the unit's definition, and the names the outputs print.
#include "units/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using velmora::units::Quantity;
using velmora::units::System;

System system(const char* force, const char* length) {
    System s;
    std::string why;
    EXPECT_TRUE(velmora::units::makeSystem(force, length, s, why)) << why;
    return s;
}

// Each expected value is the definition worked out by hand: 1 kN = 1000 N, 1 mm = 0.001 m,
// 1 kg = 1 N s2/m, 1 t = 1000 kg, 1 Pa = 1 N/m2. A power-of-ten step must come out exactly as
// the decimal literal reads.
struct Conversion {
    const char* text;
    Quantity quantity;
    const char* force;
    const char* length;
    double expected;
};

const Conversion conversions[] = {
    {"5000mm", Quantity::length, "kN", "m", 5},
    {"5m", Quantity::length, "N", "mm", 5000},
    {"2.385 m", Quantity::length, "N", "cm", 238.5},
    {"1.5e-3m", Quantity::length, "N", "mm", 1.5},
    {"8kN/m", Quantity::lineLoad, "N", "mm", 8},
    {"8kN/m", Quantity::lineLoad, "kN", "m", 8},
    {"8N/mm", Quantity::lineLoad, "kN", "m", 8},
    {"0.1kN/m", Quantity::lineLoad, "N", "m", 100},
    {"8356cm4", Quantity::secondMoment, "kN", "m", 8.356e-5},
    {"8356cm4", Quantity::secondMoment, "N", "mm", 83560000},
    {"557cm3", Quantity::sectionModulus, "N", "mm", 557000},
    {"53.8cm2", Quantity::area, "kN", "m", 5.38e-3},
    {"210GPa", Quantity::stress, "N", "mm", 210000},
    {"210GPa", Quantity::stress, "kN", "m", 2.1e8},
    {"235N/mm2", Quantity::stress, "kN", "cm", 23.5},
    {"235N/mm²", Quantity::stress, "kN", "m", 235000},
    {"15kg", Quantity::mass, "N", "m", 15},
    {"15kg", Quantity::mass, "kN", "m", 0.015},
    {"15kg", Quantity::mass, "N", "mm", 0.015},
    {"2t", Quantity::mass, "N", "m", 2000},
    {"0.02kgm2", Quantity::massInertia, "kN", "m", 2e-5},
    {"0.02kgm2", Quantity::massInertia, "N", "mm", 20},
    {"7850kg/m3", Quantity::density, "N", "mm", 7.85e-9},
    {"7.85t/m3", Quantity::density, "kN", "m", 7.85},
    {"42.2kg/m", Quantity::massPerLength, "kN", "m", 0.0422},
    {"2000kN/m", Quantity::spring, "N", "mm", 2000},
    {"50000kN/m2", Quantity::foundation, "N", "mm", 50},
    {"5000kNm/rad", Quantity::rotationalStiffness, "N", "mm", 5e9},
    {"12kNm", Quantity::moment, "N", "mm", 1.2e7},
    {"12kNm", Quantity::rotationalStiffness, "kN", "m", 12},
    {"17542kNm2", Quantity::bendingStiffness, "N", "mm", 1.7542e13},
    {"3mrad", Quantity::angle, "kN", "m", 0.003},
    {"0.002 1/m", Quantity::perLength, "N", "mm", 2e-6},
    {"-4.5 kN", Quantity::force, "N", "m", -4500},
    {"12.5", Quantity::length, "kN", "m", 12.5},
};

TEST(Units, ConversionsFollowTheDefinitionsExactly) {
    for (const Conversion& c : conversions) {
        SCOPED_TRACE(std::string(c.text) + " in " + c.force + " " + c.length);
        double value = 0.0;
        std::string why;
        ASSERT_TRUE(velmora::units::readQuantity(c.text, c.quantity, "x", system(c.force, c.length),
                                                 true, value, why))
            << why;
        EXPECT_EQ(value, c.expected);
    }
}

TEST(Units, AFactorOtherThanAPowerOfTenIsOneMultiplication) {
    double value = 0.0;
    std::string why;
    ASSERT_TRUE(velmora::units::readQuantity("30deg", Quantity::angle, "x", system("kN", "m"), true,
                                             value, why));
    EXPECT_DOUBLE_EQ(value, std::atan(1.0) * 4.0 / 6.0);
}

struct Refusal {
    const char* text;
    Quantity quantity;
    bool declared;
    const char* why;
};

const Refusal refusals[] = {
    {"5kN", Quantity::length, true, "'kN' is a force, and x takes a length: mm, cm, dm or m"},
    {"5kN/m3", Quantity::foundation, true, "'kN/m3' does not fit: x takes a foundation stiffness"},
    {"5 furlong", Quantity::length, true, "unknown unit 'furlong' in '5 furlong'"},
    {"50 mm", Quantity::length, false, "'50 mm' carries a unit, but the beam declares no units"},
    {"mm", Quantity::length, true, "'mm' is not a number"},
};

TEST(Units, RefusalsSayWhy) {
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.text);
        double value = 0.0;
        std::string why;
        EXPECT_FALSE(velmora::units::readQuantity(r.text, r.quantity, "x", system("kN", "m"),
                                                  r.declared, value, why));
        EXPECT_EQ(why.substr(0, std::string(r.why).size()), r.why);
    }
    System s;
    std::string why;
    EXPECT_FALSE(velmora::units::makeSystem("m", "kN", s, why));
    EXPECT_FALSE(velmora::units::makeSystem("kN", "kg", s, why));
}

// The names of the labels, as an engineer writes them: mass is force * s2 / length.
struct Label {
    Quantity quantity;
    const char* force;
    const char* length;
    const char* name;
};

const Label labels[] = {
    {Quantity::moment, "kN", "m", "kNm"},
    {Quantity::lineLoad, "kN", "m", "kN/m"},
    {Quantity::foundation, "kN", "m", "kN/m2"},
    {Quantity::stress, "N", "mm", "N/mm2"},
    {Quantity::bendingStiffness, "kN", "m", "kNm2"},
    {Quantity::length, "N", "mm", "mm"},
    {Quantity::angle, "N", "mm", "rad"},
    {Quantity::perLength, "kN", "m", "1/m"},
    {Quantity::rotationalStiffness, "kN", "m", "kNm/rad"},
    {Quantity::mass, "kN", "m", "t"},
    {Quantity::mass, "N", "mm", "t"},
    {Quantity::mass, "N", "m", "kg"},
    {Quantity::massPerLength, "kN", "m", "t/m"},
    {Quantity::density, "N", "m", "kg/m3"},
    {Quantity::massInertia, "kN", "m", "tm2"},
    {Quantity::secondMoment, "kN", "cm", "cm4"},
    {Quantity::frequency, "kN", "m", "Hz"},
};

TEST(Units, LabelsNameTheDeclaredUnits) {
    for (const Label& l : labels) {
        EXPECT_EQ(velmora::units::nameOf(l.quantity, system(l.force, l.length)), l.name);
    }
}

// Every named label reads back as a unit of its quantity whose size is the system's own: 1
// of it converts to exactly 1.
TEST(Units, LabelsReadBackAsTheSystemsOwnUnits) {
    const char* systems[][2] = {{"N", "mm"}, {"kN", "m"}, {"N", "m"}, {"MN", "m"}, {"kN", "cm"}};
    for (const auto& names : systems) {
        const System s = system(names[0], names[1]);
        for (int q = static_cast<int>(Quantity::force); q <= static_cast<int>(Quantity::frequency);
             ++q) {
            const Quantity quantity = static_cast<Quantity>(q);
            const std::string name = velmora::units::nameOf(quantity, s);
            const velmora::units::Unit* unit = velmora::units::findUnit(name);
            if (!unit) continue;  // a name the table has no unit of (kN and cm: a mass)
            SCOPED_TRACE(name);
            double value = 0.0;
            std::string why;
            ASSERT_TRUE(
                velmora::units::readQuantity("1 " + name, quantity, "x", s, true, value, why))
                << why;
            EXPECT_EQ(value, 1.0);
        }
    }
}

}  // namespace
