#include "machine/collection_names.h"

#include "platform/text_fold.h"
#include "platform/utf8_codec.h"

namespace tidewell {

namespace {

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1;
}

bool validUtf8(std::string_view bytes) {
    for (const wchar_t unit : fromUtf8(bytes)) {
        // Each byte of an invalid sequence comes back as U+DC00 plus the byte.
        if (unit >= 0xDC80 && unit <= 0xDCFF) {
            return false;
        }
    }
    return true;
}

std::wstring eachByteAUnit(std::string_view stored) {
    std::wstring text;
    text.reserve(stored.size());
    for (const char byte : stored) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    }
    return text;
}

bool driveLetter(std::wstring_view text) {
    return text.size() == 2 && text[1] == L':' &&
           ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'a' && text[0] <= L'z'));
}

} // namespace

bool decodeStoredName(std::string_view stored, std::wstring& name) {
    std::string bytes;
    bytes.reserve(stored.size());
    for (std::size_t at = 0; at < stored.size(); ++at) {
        if (stored[at] != '%') {
            bytes.push_back(stored[at]);
            continue;
        }
        const bool room = at + 2 < stored.size();
        const int high = room ? hexValue(stored[at + 1]) : -1;
        const int low = room ? hexValue(stored[at + 2]) : -1;
        if (high < 0 || low < 0) {
            name = eachByteAUnit(stored);
            return false;
        }
        bytes.push_back(static_cast<char>(high * 16 + low));
        at += 2;
    }
    if (!validUtf8(bytes)) {
        name = eachByteAUnit(stored);
        return false;
    }
    name = fromUtf8(bytes);
    return true;
}

CollectedDevice parseDeviceName(std::wstring_view device) {
    CollectedDevice parsed;
    if (driveLetter(device)) {
        parsed.drive = std::wstring(1, static_cast<wchar_t>(foldAscii(device[0]) - L'a' + L'A'));
        parsed.drive += L':';
        return parsed;
    }
    // \\.\C: and \\?\C: name the drive's volume.
    if (device.size() == 6 &&
        (device.substr(0, 4) == L"\\\\.\\" || device.substr(0, 4) == L"\\\\?\\") &&
        driveLetter(device.substr(4))) {
        return parseDeviceName(device.substr(4));
    }
    // \\?\GLOBALROOT\Device\HarddiskVolumeShadowCopy3, however many of
    // the leading \, ? and . the collector wrote.
    const std::size_t start = device.find_first_not_of(L"\\?.");
    constexpr std::wstring_view shadowPrefix = L"GLOBALROOT\\Device\\HarddiskVolumeShadowCopy";
    if (start != std::wstring_view::npos) {
        device.remove_prefix(start);
    }
    if (start != 0 && start != std::wstring_view::npos && device.size() > shadowPrefix.size() &&
        startsWithFolded(device, shadowPrefix)) {
        std::uint64_t number = 0;
        for (const wchar_t digit : device.substr(shadowPrefix.size())) {
            if (digit < L'0' || digit > L'9' || number > 100000000) {
                return CollectedDevice{};
            }
            number = number * 10 + static_cast<std::uint64_t>(digit - L'0');
        }
        parsed.shadowCopy = static_cast<std::uint32_t>(number);
    }
    return parsed;
}

} // namespace tidewell
