// The reader of the text format: a description, one action per line, read
// and checked into its actions; nothing runs here.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "model/description.h"
#include "units/units.h"

namespace velmora {

// What is wrong with the text of a number, by the rule every number of a
// description (and of an option) is read with.
enum class NumberProblem { none, notFinite, malformed, tooLong, overflow };

// Reads the n bytes at text as a strict C decimal number with a point, of at
// most maxNumberLength characters, with the value atof gives for it.
NumberProblem readDecimal(const char* text, int n, double& value);

// Why `name` cannot name a load case or combination of a description: the
// reader takes a name as one word, which no factor could be; null when it
// can. The text says what a name is ("a name is one word: ...").
const char* caseNameProblem(const std::string& name);

// A description's declared units as a system of units (N and m when it declares none), and the
// declaration of a system.
units::System systemOf(const Units& units);
Units declarationOf(const units::System& system);

// What the value in `slot` of an action measures, for its unit: F3's l a length, its q a force
// per length, a Masse's m a mass. Quantity::number for a slot the action does not have.
units::Quantity quantityOf(const Action& action, int slot);

// Reads a whole script from file, reporting every bad line as
// "NAME:LINE:COLUMN: message" on err. Returns the number of errors found.
int readScript(FILE* file, const char* name, Script& script, FILE* err);

// Reads a whole script from text; the first maxReportedErrors problems go
// to `problems`. Returns the number of errors found.
int readScript(const std::string& text, Script& script, std::vector<Problem>& problems);

}  // namespace velmora
