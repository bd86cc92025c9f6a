#include "hive/hive_keys.h"

#include <algorithm>

#include "hive/hive_cells.h"
#include "platform/error_codes.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

// Whether a stored name equals text, ASCII case ignored, without building it.
bool nameEquals(const ByteView& stored, bool ascii, std::wstring_view text) {
    const std::size_t units = ascii ? stored.size : stored.size / 2;
    if (units != text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < units; ++i) {
        const wchar_t unit =
            ascii ? static_cast<wchar_t>(stored.data[i])
                  : static_cast<wchar_t>(stored.data[2 * i] | (stored.data[2 * i + 1] << 8));
        if (foldAscii(unit) != foldAscii(text[i])) {
            return false;
        }
    }
    return true;
}

bool isAscii(std::wstring_view name) {
    return std::all_of(name.begin(), name.end(), [](wchar_t unit) { return unit < 0x80; });
}

// Whether a list's hint rules the key out before its node is read. Hints
// are trusted for names of ASCII characters only: their upper case, which
// the hints are made from, is not in doubt, and a stored name holding any
// other character cannot equal them.
bool hintRulesOut(SubkeyHint kind, std::uint32_t hint, std::wstring_view name,
                  std::uint32_t nameHash) {
    if (kind == SubkeyHint::NameHash) {
        return hint != nameHash;
    }
    if (kind == SubkeyHint::NamePrefix) {
        for (std::size_t i = 0; i < 4; ++i) {
            const auto stored = static_cast<wchar_t>((hint >> (8 * i)) & 0xFF);
            const wchar_t wanted = i < name.size() ? name[i] : L'\0';
            if (foldAscii(stored) != foldAscii(wanted)) {
                return true;
            }
            if (wanted == L'\0') {
                break;
            }
        }
    }
    return false;
}

std::uint32_t findSubkey(const HiveImage& hive, const KeyNode& node, std::wstring_view name,
                         std::uint32_t& found, KeyNode& foundNode) {
    const bool useHints = isAscii(name);
    const std::uint32_t hash = useHints ? asciiNameHash(name) : 0;
    std::uint32_t status = ERROR_FILE_NOT_FOUND;
    KeyNode match;
    const bool listed =
        visitSubkeys(hive, node, [&](std::uint32_t offset, SubkeyHint kind, std::uint32_t hint) {
            if (useHints && hintRulesOut(kind, hint, name, hash)) {
                return true;
            }
            KeyNode subkey;
            if (!readKeyNode(hive, offset, subkey)) {
                status = ERROR_REGISTRY_CORRUPT;
                return false;
            }
            if (nameEquals(subkey.name, subkey.asciiName, name)) {
                status = ERROR_SUCCESS;
                found = offset;
                match = subkey;
                return false;
            }
            return true;
        });
    if (!listed) {
        return ERROR_REGISTRY_CORRUPT;
    }
    if (status == ERROR_SUCCESS) {
        foundNode = match;
    }
    return status;
}

// The value's data into a caller's buffer, by the registry's buffer rules.
std::uint32_t answerData(const HiveImage& hive, const KeyValue& value, std::uint8_t* data,
                         std::uint32_t& dataSize) {
    if (data != nullptr) {
        if (value.dataSize > dataSize) {
            dataSize = value.dataSize;
            return ERROR_MORE_DATA;
        }
        if (!copyValueData(hive, value, data)) {
            return ERROR_REGISTRY_CORRUPT;
        }
    }
    dataSize = value.dataSize;
    return ERROR_SUCCESS;
}

} // namespace

std::uint32_t hiveOpenKey(const HiveImage& hive, std::uint32_t from, std::wstring_view path,
                          std::uint32_t& key) {
    std::uint32_t current = from;
    KeyNode node;
    if (!readKeyNode(hive, current, node)) {
        return ERROR_REGISTRY_CORRUPT;
    }
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t end = std::min(path.find(L'\\', at), path.size());
        if (end > at) {
            const std::uint32_t status =
                findSubkey(hive, node, path.substr(at, end - at), current, node);
            if (status != ERROR_SUCCESS) {
                return status;
            }
        }
        at = end + 1;
    }
    key = current;
    return ERROR_SUCCESS;
}

std::uint32_t hiveEnumKey(const HiveImage& hive, std::uint32_t key, std::uint32_t index,
                          std::uint32_t bufferChars, std::wstring& name) {
    KeyNode node;
    if (!readKeyNode(hive, key, node)) {
        return ERROR_REGISTRY_CORRUPT;
    }
    bool pastEnd = false;
    std::uint32_t offset = 0;
    if (!subkeyAt(hive, node, index, offset, pastEnd)) {
        return pastEnd ? ERROR_NO_MORE_ITEMS : ERROR_REGISTRY_CORRUPT;
    }
    KeyNode subkey;
    if (!readKeyNode(hive, offset, subkey)) {
        return ERROR_REGISTRY_CORRUPT;
    }
    std::wstring found = storedName(subkey.name, subkey.asciiName);
    if (found.size() + 1 > bufferChars) {
        return ERROR_MORE_DATA;
    }
    name = std::move(found);
    return ERROR_SUCCESS;
}

std::uint32_t hiveEnumValue(const HiveImage& hive, std::uint32_t key, std::uint32_t index,
                            std::uint32_t nameBufferChars, std::wstring& name, std::uint32_t& type,
                            std::uint8_t* data, std::uint32_t& dataSize) {
    KeyNode node;
    if (!readKeyNode(hive, key, node)) {
        return ERROR_REGISTRY_CORRUPT;
    }
    bool pastEnd = false;
    KeyValue value;
    if (!valueAt(hive, node, index, value, pastEnd)) {
        return pastEnd ? ERROR_NO_MORE_ITEMS : ERROR_REGISTRY_CORRUPT;
    }
    std::wstring found = storedName(value.name, value.asciiName);
    if (found.size() + 1 > nameBufferChars) {
        return ERROR_MORE_DATA;
    }
    const std::uint32_t status = answerData(hive, value, data, dataSize);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    name = std::move(found);
    type = value.type;
    return ERROR_SUCCESS;
}

std::uint32_t hiveQueryValue(const HiveImage& hive, std::uint32_t key, std::wstring_view name,
                             std::uint32_t& type, std::uint8_t* data, std::uint32_t& dataSize) {
    KeyNode node;
    if (!readKeyNode(hive, key, node)) {
        return ERROR_REGISTRY_CORRUPT;
    }
    for (std::uint32_t index = 0;; ++index) {
        bool pastEnd = false;
        KeyValue value;
        if (!valueAt(hive, node, index, value, pastEnd)) {
            return pastEnd ? ERROR_FILE_NOT_FOUND : ERROR_REGISTRY_CORRUPT;
        }
        if (nameEquals(value.name, value.asciiName, name)) {
            type = value.type;
            return answerData(hive, value, data, dataSize);
        }
    }
}

} // namespace tidewell
