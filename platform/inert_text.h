// Text the evidence supplies, made safe where it is written for a person: a
// terminal or a spreadsheet. A host name, a device name or a file name is
// whatever an attacker put there, so a control character in it must not move
// the cursor, clear the screen or end a line, and a cell that begins like a
// formula must stay text.
#pragma once

#include <string>
#include <string_view>

namespace tidewell {

// Every control character (U+0000 to U+001F, U+007F, U+0080 to U+009F)
// written as <U+001B>, so that it is seen rather than obeyed; the rest as it
// is.
std::wstring visibleText(std::wstring_view text);

// Whether a spreadsheet would take a cell beginning so for a formula.
bool startsLikeFormula(std::wstring_view cell);

// The cell with an apostrophe before it where it starts like a formula: a
// spreadsheet then shows it as text.
std::wstring inertCell(std::wstring_view cell);

} // namespace tidewell
