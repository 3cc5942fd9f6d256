// The text of load cases: the envelope's summary, its JSON object, its
// table and its drawing, and a loading in words.
#pragma once

#include <cstdio>
#include <string>

#include "analysis/cases.h"

namespace velmora {

// The case lines of a description that read back into the same cases:
// the own case's name (a line before the beam, empty for G), and the cases
// and combinations after its right end.
// With `english`, in the English words the reader also takes.
std::string caseLinesBefore(const CaseBook& book, bool english = false);
std::string caseLinesAfter(const CaseBook& book, bool english = false);
// The Lastfall line of a case and the line of a combination, without the
// line end, as caseLinesBefore and caseLinesAfter write them.
std::string caseLine(const LoadCase& loadCase, bool english = false);
std::string combinationLine(const CaseBook& book, const Combination& combination,
                            bool english = false);

// A loading in words: "ULS: G 1.35, Q 1.5 on spans 1 3".
std::string loadingText(const CaseBook& book, const Loading& loading);

// The spans, the reactions and the extremes with the loading that gives
// each.
void printEnvelope(FILE* out, const CaseBook& book, const Envelope& envelope);

// The envelope as one JSON object (the value of "envelope"): every sample,
// the reactions and the extremes, exact.
std::string envelopeJson(const CaseBook& book, const Envelope& envelope);

// x,w_max,w_min,psi_max,psi_min,M_max,M_min,Q_max,Q_min of every sample.
void writeEnvelopeTable(FILE* out, const Envelope& envelope);

// The beam sketch over one band per quantity.
void writeEnvelopeSvg(FILE* out, const Envelope& envelope);

}  // namespace velmora
