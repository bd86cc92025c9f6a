#include "support/reg_file.h"

#include <sstream>

#include "platform/utf8_codec.h"

namespace tidewell::testing {

namespace {

// A quoted name or string from position at (just after the opening quote);
// at is left after the closing quote.
bool readQuoted(const std::string& line, std::size_t& at, std::string& out) {
    out.clear();
    while (at < line.size()) {
        const char c = line[at++];
        if (c == '\\' && at < line.size()) {
            out.push_back(line[at++]);
        } else if (c == '"') {
            return true;
        } else {
            out.push_back(c);
        }
    }
    return false;
}

bool parseHexBytes(const std::string& text, std::vector<std::uint8_t>& bytes) {
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ',' || text[at] == ' ')) {
            ++at;
        }
        if (at >= text.size()) {
            break;
        }
        std::size_t used = 0;
        const unsigned long value = std::stoul(text.substr(at, 2), &used, 16);
        if (used == 0 || value > 0xFF) {
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
        at += used;
    }
    return true;
}

bool parseValue(const std::string& line, RegFileValue& value) {
    std::size_t at = 1;
    std::string name;
    if (line.empty() || line[0] != '"' || !readQuoted(line, at, name) || at >= line.size() ||
        line[at] != '=') {
        return false;
    }
    value.name = fromUtf8(name);
    const std::string data = line.substr(at + 1);
    if (data.rfind("dword:", 0) == 0) {
        const unsigned long number = std::stoul(data.substr(6), nullptr, 16);
        value.type = registryTypeDword;
        for (int shift = 0; shift < 32; shift += 8) {
            value.data.push_back(static_cast<std::uint8_t>(number >> shift));
        }
        return true;
    }
    if (data.rfind("hex:", 0) == 0) {
        value.type = registryTypeBinary;
        return parseHexBytes(data.substr(4), value.data);
    }
    if (data.rfind("hex(", 0) == 0) {
        const std::size_t close = data.find("):");
        if (close == std::string::npos) {
            return false;
        }
        value.type = static_cast<std::uint32_t>(std::stoul(data.substr(4, close - 4), nullptr, 16));
        return parseHexBytes(data.substr(close + 2), value.data);
    }
    if (!data.empty() && data[0] == '"') {
        std::size_t from = 1;
        std::string text;
        if (!readQuoted(data, from, text)) {
            return false;
        }
        value.type = registryTypeString;
        for (wchar_t unit : fromUtf8(text) + L'\0') {
            value.data.push_back(static_cast<std::uint8_t>(unit));
            value.data.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
        }
        return true;
    }
    return false;
}

} // namespace

bool parseRegFile(const std::string& text, const std::string& root, std::vector<RegFileKey>& keys) {
    keys.clear();
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line.rfind("Windows Registry Editor Version 5.00", 0) != 0) {
        return false;
    }
    std::string logical;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!logical.empty()) {
            const std::size_t start = line.find_first_not_of(' ');
            line = start == std::string::npos ? std::string() : line.substr(start);
        }
        logical += line;
        if (!logical.empty() && logical.back() == '\\' &&
            logical.find("=hex") != std::string::npos) {
            logical.pop_back(); // a continued hex list
            continue;
        }
        if (logical.empty()) {
            continue;
        }
        if (logical[0] == '[') {
            const std::string path = logical.substr(1, logical.size() - 2);
            if (path.rfind(root, 0) != 0) {
                return false;
            }
            std::string below = path.substr(root.size());
            if (!below.empty() && below[0] == '\\') {
                below.erase(0, 1);
            }
            keys.push_back({fromUtf8(below), {}});
        } else if (!keys.empty()) {
            RegFileValue value;
            if (!parseValue(logical, value)) {
                return false;
            }
            keys.back().values.push_back(std::move(value));
        }
        logical.clear();
    }
    return true;
}

std::string rerootRegFile(const std::string& text, const std::string& from, const std::string& to) {
    std::string out;
    std::size_t at = 0;
    const std::string needle = "[" + from;
    while (true) {
        const std::size_t found = text.find(needle, at);
        out += text.substr(at, found == std::string::npos ? std::string::npos : found - at);
        if (found == std::string::npos) {
            return out;
        }
        out += "[" + to;
        at = found + needle.size();
    }
}

} // namespace tidewell::testing
