// The diagram from copies of the engine's state against the diagram with
// every repeated run made from F1, on generated beams: every sample, every
// reaction and the engine's whole state afterwards agree bit for bit.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "analysis/diagram.h"
#include "keyed/keys.h"
#include "batch_support.h"
#include "engine/engine.h"
#include "tests/engine_steps.h"
#include "text/reader.h"

namespace {

class BeamWriter {
public:
    explicit BeamWriter(uint32_t seed) : seed_(seed) {}

    // A script whose last beam uses every element in random order: sections
    // with and without line loads, springs, the four point loads, supports,
    // hinges, F7 lines, now and then a right end inside the beam, and before
    // it sometimes a beam of its own whose keys the diagram must not see.
    std::string script() {
        std::string s;
        if (below(3) == 0) s += beam(false);
        s += beam(true);
        return s;
    }

private:
    uint32_t next() {
        seed_ = seed_ * 1664525u + 1013904223u;
        return seed_ >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

    // A value as a user types it: up to seven digits.
    std::string typed(double low, double high) {
        char text[40];
        std::snprintf(text, sizeof text, "%.7g", low + (high - low) * (next() % 1000000u) / 1e6);
        return text;
    }

    std::string section() {
        std::string s = below(3) == 0 ? "F5 l=" + typed(0.05, 3) + " E=" + typed(1e4, 2.5e5) +
                                            " d=" + typed(0.5, 60)
                                      : "F3 l=" + typed(0.05, 3) + " EI=" + typed(0.5, 5e4);
        switch (below(4)) {
            case 0:
                s += " q=" + typed(-3, 3) + " qs=" + typed(-1, 1);
                break;
            case 1:
                s += " q=" + typed(-3, 3);
                break;
            case 2:
                s += " qs=" + typed(-1, 1);
                break;
            default:
                break;
        }
        return s + "\n";
    }

    std::string pointElement() {
        static const char* const loads[] = {"Kraft", "Moment", "Winkel", "Absenkung"};
        switch (below(6)) {
            case 0:
                return "F2 c=" + typed(0, 900) + "\n";
            case 1:
                return "F7\n";
            default:
                return std::string("F4 ") + loads[below(4)] + " " + typed(-25, 25) + "\n";
        }
    }

    std::string beam(bool withDiagram) {
        static const char* const lefts[] = {"gelenkiges Lager", "freies Ende", "Einspannung"};
        static const char* const rights[] = {
            "gelenkiges Lager M=", "freies Ende M=", "Einspannung"};
        std::string s = std::string("F1 ") + lefts[below(3)] + "\n";
        int conditions = 0;
        const int fields = 1 + below(5);
        for (int f = 0; f < fields; ++f) {
            s += section();
            for (int n = below(3); n > 0; --n) s += pointElement();
            if (below(2)) s += section();
            // At most four conditions inside: five with the right end.
            if (f + 1 < fields && conditions < 4) {
                ++conditions;
                const int kind = below(7);
                if (kind == 0 && withDiagram) {
                    s += "F6 rechtes Traegerende gelenkiges Lager\n";
                } else {
                    s += kind < 3 ? "F6 Zwischenbedingung Gelenk\n"
                                  : "F6 Zwischenbedingung gelenkiges Lager\n";
                }
            }
        }
        const int right = below(3);
        s += std::string("F6 rechtes Traegerende ") + rights[right];
        if (right == 0) s += typed(-2, 2);
        if (right == 1) s += typed(-2, 2) + " Q=" + typed(-2, 2);
        s += "\n";
        if (below(2)) s += "F7\n";
        return s;
    }

    uint32_t seed_;
};

// Every field of the engine's state, bit for bit; an int32_t field converts
// to a double exactly.
void expectSameState(const EngineState& a, const EngineState& b) {
    forEachField([](const char* name, auto x, auto y) { EXPECT_BITS(x, y) << name; }, a, b);
}

void expectSameDiagram(const velmora::Diagram& a, const velmora::Diagram& b) {
    ASSERT_EQ(a.samples.size(), b.samples.size());
    for (size_t i = 0; i < a.samples.size(); ++i) {
        SCOPED_TRACE("sample " + std::to_string(i));
        EXPECT_BITS(a.samples[i].x, b.samples[i].x);
        for (int k = 0; k < velmora::rowCount; ++k) {
            EXPECT_BITS(a.samples[i].value[k], b.samples[i].value[k]) << "quantity " << k;
        }
        EXPECT_EQ(a.samples[i].action, b.samples[i].action);
    }
    ASSERT_EQ(a.reactions.size(), b.reactions.size());
    for (size_t i = 0; i < a.reactions.size(); ++i) {
        SCOPED_TRACE("reaction " + std::to_string(i));
        EXPECT_EQ(a.reactions[i].action, b.reactions[i].action);
        EXPECT_BITS(a.reactions[i].force, b.reactions[i].force);
        EXPECT_BITS(a.reactions[i].moment, b.reactions[i].moment);
    }
    EXPECT_BITS(a.length, b.length);
    EXPECT_EQ(a.allFinite, b.allFinite);
    EXPECT_EQ(a.watch.brokenAt, b.watch.brokenAt);
}

TEST(BatchRepeatedRuns, CopiesOfTheStateGiveTheBitsOfRunsFromF1) {
    velmora::Script script;
    velmora::Diagram copies;
    velmora::Diagram reference;
    EngineState afterCopies{};
    EngineState afterReference{};
    int notFinite = 0;
    int samples = 0;
    for (uint32_t beam = 0; beam < 300; ++beam) {
        BeamWriter writer(beam * 7919u + 11u);
        const std::string text = writer.script();
        SCOPED_TRACE("beam " + std::to_string(beam) + ":\n" + text);
        writeText("generated.txt", text);
        FILE* f = std::fopen("generated.txt", "rb");
        ASSERT_NE(f, nullptr);
        const int errors = velmora::readScript(f, "generated.txt", script, stderr);
        std::fclose(f);
        ASSERT_EQ(errors, 0);
        int first = 0;
        int last = 0;
        ASSERT_TRUE(velmora::findBeam(script, first, last));
        const int points = 1 + static_cast<int>(beam % 6u);

        velmora::computeDiagramByRepeatedRuns(script, first, last, points, reference);
        afterReference = saveEngineState();
        velmora::computeDiagram(script, first, last, points, copies);
        afterCopies = saveEngineState();

        ASSERT_EQ(static_cast<long>(reference.samples.size()),
                  velmora::samplesNeeded(script, first, last, points));
        expectSameDiagram(copies, reference);
        expectSameState(afterCopies, afterReference);
        if (::testing::Test::HasFailure()) return;
        notFinite += reference.allFinite ? 0 : 1;
        samples += static_cast<int>(reference.samples.size());
    }
    // The family reaches mechanisms as well as sound beams.
    EXPECT_GT(notFinite, 5);
    EXPECT_LT(notFinite, 150);
    EXPECT_GT(samples, 5000);
}

}  // namespace
