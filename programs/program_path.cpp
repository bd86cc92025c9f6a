#include "programs/program_path.h"

#include "programs/prefetch_hash.h"

namespace tidewell {

namespace {

bool startsWithCapitals(std::wstring_view text, std::wstring_view capitals) {
    if (text.size() < capitals.size()) {
        return false;
    }
    for (std::size_t i = 0; i < capitals.size(); ++i) {
        if (capitalOf(text[i]) != capitals[i]) {
            return false;
        }
    }
    return true;
}

bool isLetter(wchar_t unit) {
    return (unit >= L'A' && unit <= L'Z') || (unit >= L'a' && unit <= L'z');
}

// Every %NAME% the variables give a value replaced; any other left as it is.
std::wstring expanded(std::wstring_view text, const PathVariables& variables) {
    std::wstring result;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find(L'%', at);
        const std::size_t close =
            open == std::wstring_view::npos ? open : text.find(L'%', open + 1);
        if (close == std::wstring_view::npos) {
            result.append(text.substr(at));
            break;
        }
        result.append(text.substr(at, open - at));
        const std::wstring name = capitalsOf(text.substr(open + 1, close - open - 1));
        const std::pair<std::wstring, std::wstring>* found = nullptr;
        for (const auto& variable : variables) {
            if (capitalsOf(variable.first) == name) {
                found = &variable;
                break;
            }
        }
        if (found == nullptr) {
            result.append(text.substr(open, close - open));
            at = close; // the closing sign may open the next name
            continue;
        }
        result.append(found->second);
        at = close + 1;
    }
    return result;
}

// Package names are letters, digits, dots and dashes; a publisher id is 13
// characters of its own base-32 alphabet.
bool isPackageName(std::wstring_view name) {
    if (name.empty()) {
        return false;
    }
    for (wchar_t unit : name) {
        if (!(isLetter(unit) || (unit >= L'0' && unit <= L'9') || unit == L'.' || unit == L'-')) {
            return false;
        }
    }
    return true;
}

bool isPublisherId(std::wstring_view id) {
    if (id.size() != 13) {
        return false;
    }
    for (wchar_t unit : id) {
        if (!((unit >= L'a' && unit <= L'z') || (unit >= L'0' && unit <= L'9'))) {
            return false;
        }
    }
    return true;
}

std::vector<std::wstring_view> split(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t next = text.find(separator, start);
        parts.push_back(text.substr(start, next == std::wstring_view::npos ? next : next - start));
        if (next == std::wstring_view::npos) {
            return parts;
        }
        start = next + 1;
    }
}

} // namespace

bool appendJoinKey(std::wstring_view path, const PathVariables& variables, std::wstring& text) {
    std::wstring_view rest = path;
    std::wstring expandedText;
    bool share = false;
    if (startsWithCapitals(rest, L"\\\\?\\UNC\\")) {
        rest = rest.substr(8);
        share = true;
    } else if (startsWithCapitals(rest, L"\\\\?\\") || startsWithCapitals(rest, L"\\??\\")) {
        rest = rest.substr(4);
    }
    if (rest.find(L'%') != std::wstring_view::npos) {
        expandedText = expanded(rest, variables);
        rest = expandedText;
    }
    const bool onDrive =
        rest.size() >= 3 && isLetter(rest[0]) && rest[1] == L':' && rest[2] == L'\\';
    const bool onShare = share ? !rest.empty() && rest[0] != L'\\'
                               : rest.size() > 2 && rest[0] == L'\\' && rest[1] == L'\\' &&
                                     rest[2] != L'\\' && rest[2] != L'?' && rest[2] != L'.';
    if (!onDrive && !onShare) {
        return false;
    }
    if (share) {
        text += L"\\\\";
    }
    const std::size_t start = text.size();
    text.append(rest);
    capitalizeFrom(text, start);
    return true;
}

bool splitDevicePath(std::wstring_view path, std::wstring_view& device, std::wstring_view& rest) {
    if (!startsWithCapitals(path, L"\\DEVICE\\")) {
        return false;
    }
    const std::size_t end = path.find(L'\\', 8);
    if (end == std::wstring_view::npos || end == 8 || end + 1 >= path.size()) {
        return false;
    }
    device = path.substr(0, end);
    rest = path.substr(end);
    return true;
}

std::wstring packageFamilyOf(std::wstring_view text) {
    if (text.find(L'\t') != std::wstring_view::npos) {
        // The cache's fields: the name stands just before the publisher id.
        const std::vector<std::wstring_view> fields = split(text, L'\t');
        for (std::size_t i = 1; i < fields.size(); ++i) {
            if (isPublisherId(fields[i]) && isPackageName(fields[i - 1])) {
                return std::wstring(fields[i - 1]) + L"_" + std::wstring(fields[i]);
            }
        }
        return {};
    }
    const std::wstring_view package = text.substr(0, text.find(L'!'));
    const std::vector<std::wstring_view> parts = split(package, L'_');
    if ((parts.size() != 2 && parts.size() != 5) || !isPackageName(parts.front()) ||
        !isPublisherId(parts.back())) {
        return {};
    }
    return std::wstring(parts.front()) + L"_" + std::wstring(parts.back());
}

} // namespace tidewell
