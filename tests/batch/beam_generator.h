// Random beams for the velmora-batch tests (beam_generator.cpp).
#pragma once

#include <random>
#include <string>
#include <vector>

// One line of a generated beam between its ends.
struct GeneratedPart {
    std::string text;  // the whole line, loads included
    bool isSection = false;
    std::string kind, fixed;  // a section's "F3" or "F5", and its stiffness fields
    double l = 0, q = 0, qs = 0;
};

struct Generated {
    std::string script;  // the beam, an F7 at its right end, then repeated runs
    int evaluations = 0;
    std::string left;  // the F1's words
    std::vector<GeneratedPart> parts;
    std::string right;  // the right end's words and values
};

// A beam of up to five conditions with springs and point loads, described
// once, then repeated runs to random places, some inside sections. With
// `mixed`, shaft sections in millimetres stand beside beam sections in metres.
Generated generate(std::mt19937& rng, bool mixed);

// A badly scaled beam, as the reduction method loses digits on it: shafts in
// millimetres beside sections whose EI spans six decades, a spring of 1e11
// to 1e15, up to two supports, W= on every beam section; an F7 at its right
// end.
Generated generateBadlyScaled(std::mt19937& rng);
