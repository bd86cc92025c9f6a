#include "machine/machine_variables.h"

#include <string_view>

#include "platform/text_fold.h"

namespace tidewell {

namespace {

const std::wstring* variable(const Variables& variables, std::wstring_view name) {
    for (const auto& [known, value] : variables) {
        if (equalsFolded(known, name)) {
            return &value;
        }
    }
    return nullptr;
}

} // namespace

void addVariable(Variables& variables, const wchar_t* name, const std::wstring& value) {
    if (!value.empty()) {
        variables.emplace_back(name, value);
    }
}

bool expandVariables(const std::wstring& text, const Variables& variables, std::wstring& expanded) {
    expanded.clear();
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find(L'%', at);
        if (open == std::wstring::npos) {
            break;
        }
        const std::size_t close = text.find(L'%', open + 1);
        if (close == std::wstring::npos) {
            break;
        }
        const std::wstring* value =
            variable(variables, std::wstring_view(text).substr(open + 1, close - open - 1));
        if (value == nullptr) {
            expanded.clear();
            return false;
        }
        expanded.append(text, at, open - at);
        expanded += *value;
        at = close + 1;
    }
    expanded.append(text, at, std::wstring::npos);
    return true;
}

} // namespace tidewell
