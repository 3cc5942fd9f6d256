// The text of load cases: the envelope's summary, its JSON object, its
// table and its drawing, and a loading in words.
#pragma once

#include <cstdio>
#include <string>

#include "analysis/cases.h"
#include "analysis/checks.h"

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

// The line of a limit: "Grenze w L/300 SLS".
std::string limitLine(const Limit& limit, bool english = false);

// A loading in words: "ULS: G 1.35, Q 1.5 on spans 1 3".
std::string loadingText(const CaseBook& book, const Loading& loading);

// The spans, the reactions and the extremes with the loading that gives
// each.
// With declared units, a first line names them, as the summary's does.
void printEnvelope(FILE* out, const CaseBook& book, const Envelope& envelope,
                   const Units& units = Units{});

// The envelope as one JSON object (the value of "envelope"): every sample,
// the reactions and the extremes, exact.
std::string envelopeJson(const CaseBook& book, const Envelope& envelope);

// What an envelope is of: "2 combinations", "the combination SLS", "the
// load cases together".
std::string envelopeOf(const CaseBook& book, const Envelope& envelope);

// The span table: every span's extremes of M, Q and w with their places and
// loadings; as text and as a JSON array.
// With declared units, a first line names them.
void printSpanTable(FILE* out, const CaseBook& book, const Envelope& envelope,
                    const Units& units = Units{});
std::string spanTableJson(const CaseBook& book, const Envelope& envelope);

// A check's stretch in words: "span 2 (x = 4 to 9)", "overhang 3 (x = 9 to
// 11)", "section on line 3 (x = 0 to 4)"; and the limit: "w L/300 SLS".
std::string checkStretch(const BeamModel& beam, const CaseBook& book, const Check& check);
std::string limitText(const Limit& limit);

// The checks: value, allowed value, utilisation and whether each holds; as
// text and as a JSON array.
void printChecks(FILE* out, const BeamModel& beam, const CaseBook& book,
                 const std::vector<Check>& checks);
std::string checksJson(const BeamModel& beam, const CaseBook& book,
                       const std::vector<Check>& checks);

// x,w_max,w_min,psi_max,psi_min,M_max,M_min,Q_max,Q_min of every sample; with declared units
// each heading names its unit ("M_max [kNm]").
void writeEnvelopeTable(FILE* out, const Envelope& envelope, const Units& units = Units{});

// The beam sketch over one band per quantity, each named with its unit where declared.
void writeEnvelopeSvg(FILE* out, const Envelope& envelope, const Units& units = Units{});

}  // namespace velmora
