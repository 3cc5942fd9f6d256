// The text of influence lines: the requests as they are written ("M@4.5",
// "q=10"), and the lines as text, JSON, CSV and drawing.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "analysis/influence.h"

namespace velmora {

// Reads "M@X", "Q@X", "Q@X-", "Q@X+", "w@X", "psi@X" or "R@LINE". False, with
// the reason, for anything else.
bool parseInfluence(const char* text, InfluenceRequest& request, std::string& why);

// Reads "q=<n>" or "P=<n>".
bool parseLiveLoad(const char* text, LiveLoad& live, std::string& why);

// The text output of every line, and its JSON array (the value of
// "influence").
void printInfluence(FILE* out, const std::vector<InfluenceLine>& lines,
                    const std::vector<LiveLoad>& live);
std::string influenceJson(const std::vector<InfluenceLine>& lines,
                          const std::vector<LiveLoad>& live);

// x and the ordinate of every line, as CSV.
void writeInfluenceTable(FILE* out, const std::vector<InfluenceLine>& lines);

// The beam sketch over one plot per line.
void writeInfluenceSvg(FILE* out, const BeamModel& beam, const std::vector<InfluenceLine>& lines);

}  // namespace velmora
