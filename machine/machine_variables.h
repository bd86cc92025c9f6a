// The environment variables a machine's registry paths are written with
// (%SystemRoot%, %ProgramFiles%, %USERPROFILE% and the like), with the values
// the examined machine itself gives them.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tidewell {

using Variables = std::vector<std::pair<std::wstring, std::wstring>>;

// Adds a variable that has a value; an empty value is no value.
void addVariable(Variables& variables, const wchar_t* name, const std::wstring& value);

// Replaces every %NAME% (without regard to case) by its value; false, with
// expanded empty, when a name is not known.
bool expandVariables(const std::wstring& text, const Variables& variables, std::wstring& expanded);

} // namespace tidewell
