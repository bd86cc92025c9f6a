#include "pca/pca_text.h"

#include <string_view>

#include "platform/possible_date.h"
#include "platform/utc_calendar.h"
#include "platform/utf16_text.h"
#include "platform/utf8_codec.h"

namespace tidewell {

namespace {

// Windows-1252's letters at 0x80 to 0x9F; the rest of its upper half is
// Latin-1's. Its five holes stay their own values.
constexpr char16_t windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::wstring singleByteLine(std::string_view bytes) {
    std::wstring text = fromUtf8(bytes);
    bool valid = true;
    for (wchar_t unit : text) {
        // fromUtf8 gives a byte that is no part of valid UTF-8 as U+DC80-U+DCFF.
        if (unit >= 0xDC80 && unit <= 0xDCFF) {
            valid = false;
            break;
        }
    }
    if (valid) {
        return text;
    }
    text.clear();
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.push_back(byte >= 0x80 && byte < 0xA0
                           ? static_cast<wchar_t>(windows1252High[byte - 0x80])
                           : static_cast<wchar_t>(byte));
    }
    return text;
}

// Text of UTF-16LE shows a NUL as the high byte of nearly every unit of a
// path or a time; single-byte text holds none.
bool looksUtf16le(std::span<const std::uint8_t> bytes) {
    const std::size_t pairs = std::min<std::size_t>(bytes.size() / 2, 256);
    std::size_t zeroHigh = 0;
    for (std::size_t at = 0; at < pairs; ++at) {
        zeroHigh += bytes[2 * at + 1] == 0 && bytes[2 * at] != 0 ? 1 : 0;
    }
    return pairs > 0 && zeroHigh * 4 >= pairs * 3;
}

std::vector<std::wstring> splitLines(std::span<const std::uint8_t> bytes, PcaEncoding& encoding) {
    std::vector<std::wstring> lines;
    const auto cutLines = [&lines](std::wstring_view text) {
        std::size_t at = 0;
        while (at <= text.size()) {
            std::size_t end = text.find(L'\n', at);
            if (end == std::wstring_view::npos) {
                end = text.size();
            }
            std::wstring_view line = text.substr(at, end - at);
            if (line.ends_with(L'\r')) {
                line.remove_suffix(1);
            }
            lines.emplace_back(line);
            at = end + 1;
        }
    };
    if (bytes.empty()) {
        encoding = PcaEncoding::Empty;
        return lines;
    }
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        encoding = PcaEncoding::Utf16leWithMark;
        cutLines(utf16leText(bytes.data() + 2, bytes.size() - 2));
        return lines;
    }
    if (looksUtf16le(bytes)) {
        encoding = PcaEncoding::Utf16le;
        cutLines(utf16leText(bytes.data(), bytes.size()));
        return lines;
    }
    std::size_t at = 0;
    encoding = PcaEncoding::SingleByte;
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        encoding = PcaEncoding::Utf8WithMark;
        at = 3;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(at, end - at);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(encoding == PcaEncoding::Utf8WithMark ? fromUtf8(line)
                                                              : singleByteLine(line));
        at = end + 1;
    }
    return lines;
}

bool blank(std::wstring_view line) {
    return line.find_first_not_of(L" \t\0", 0, 3) == std::wstring_view::npos;
}

// The time as recorded, or 0 where it is no time or no possible one.
FileTime timeOf(std::wstring_view text, FileTime now) {
    std::string narrow;
    for (wchar_t unit : text) {
        if (unit > 0x7E) {
            return 0;
        }
        narrow.push_back(static_cast<char>(unit));
    }
    FileTime time = 0;
    return parseUtcText(narrow, time) && isPossibleDate(time, now) ? time : 0;
}

// The fields of a database line: seven split by '|', the exit text the rest.
bool splitGeneral(std::wstring_view line, PcaLine& out) {
    std::wstring* fields[] = {&out.recordedTime, &out.recordType, &out.path,     &out.product,
                              &out.company,      &out.version,    &out.programId};
    for (std::wstring* field : fields) {
        const std::size_t bar = line.find(L'|');
        if (bar == std::wstring_view::npos) {
            return false;
        }
        field->assign(line.substr(0, bar));
        line.remove_prefix(bar + 1);
    }
    out.exitText.assign(line);
    return true;
}

} // namespace

PcaFileRead readPcaFile(PcaFileKind kind, std::span<const std::uint8_t> bytes, FileTime now) {
    PcaFileRead read;
    const std::vector<std::wstring> lines = splitLines(bytes, read.encoding);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::wstring_view text = lines[index];
        if (blank(text)) {
            continue;
        }
        ++read.linesRead;
        PcaLine line;
        line.lineNumber = static_cast<std::uint32_t>(index + 1);
        bool whole = false;
        if (kind == PcaFileKind::LaunchDictionary) {
            // A path holds no '|': the last one starts the time.
            const std::size_t bar = text.rfind(L'|');
            if (bar != std::wstring_view::npos) {
                line.path.assign(text.substr(0, bar));
                line.recordedTime.assign(text.substr(bar + 1));
                whole = true;
            }
        } else {
            whole = splitGeneral(text, line);
        }
        if (!whole || blank(line.path)) {
            ++read.linesMalformed;
            continue;
        }
        line.time = timeOf(line.recordedTime, now);
        if (line.time == 0) {
            ++read.timesMalformed;
        }
        read.lines.push_back(std::move(line));
    }
    return read;
}

const wchar_t* pcaEncodingWords(PcaEncoding encoding) {
    switch (encoding) {
    case PcaEncoding::Empty:
        return L"empty";
    case PcaEncoding::SingleByte:
        return L"single-byte text";
    case PcaEncoding::Utf8WithMark:
        return L"UTF-8 with a byte-order mark";
    case PcaEncoding::Utf16le:
        return L"UTF-16LE without a byte-order mark";
    case PcaEncoding::Utf16leWithMark:
        break;
    }
    return L"UTF-16LE with a byte-order mark";
}

} // namespace tidewell
