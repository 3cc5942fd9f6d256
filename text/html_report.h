// The report: one self-contained HTML page (inline SVG, no script, no file
// beside it) that prints on A4, for a checker to read.
#pragma once

#include <string>
#include <vector>

#include "analysis/cases.h"
#include "analysis/checks.h"
#include "analysis/critical.h"
#include "analysis/diagram.h"
#include "model/description.h"

namespace velmora {

// What a report shows, as the library computed it.
struct ReportData {
    std::string description;  // the description's text, shown as written
    Units units;
    BeamModel beam;  // the beam reported on
    CaseBook cases;
    bool general = true;  // the method the values come from
    std::vector<Reaction> reactions;
    std::vector<FoundationForce> foundations;  // what the foundations carry
    Extreme extremes[rowCount];
    bool hasStress = false;
    Extreme stress;
    std::string svg;                      // the drawing
    bool hasEnvelope = false;             // a beam with cases, combinations or limits
    Envelope envelope;                    // of all its combinations: the span table
    std::vector<Check> checks;            // of its limits
    std::vector<CriticalSpeed> critical;  // when it has masses
};

std::string htmlReport(const ReportData& data);

}  // namespace velmora
