#include "sample/hive_writer.h"

#include <algorithm>
#include <stdexcept>

#include "hive/marvin32.h"

namespace tidewell::sample {

namespace {

constexpr std::uint32_t baseBlockSize = 4096;
constexpr std::uint32_t binSize = 4096;
constexpr std::uint32_t binHeader = 32;
constexpr std::uint32_t noCell = 0xFFFFFFFFu;
constexpr std::uint32_t bigDataSegment = 16344;

void put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    if (at + 2 > bytes.size()) {
        throw std::out_of_range("hive writer: a field outside its buffer");
    }
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

void put64(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value) {
    put32(bytes, at, static_cast<std::uint32_t>(value));
    put32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}

std::uint32_t get32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes.at(at)) |
           (static_cast<std::uint32_t>(bytes.at(at + 1)) << 8) |
           (static_cast<std::uint32_t>(bytes.at(at + 2)) << 16) |
           (static_cast<std::uint32_t>(bytes.at(at + 3)) << 24);
}

bool isAscii(const std::wstring& name) {
    return std::all_of(name.begin(), name.end(), [](wchar_t unit) { return unit < 0x80; });
}

std::vector<std::uint8_t> storedName(const std::wstring& name) {
    std::vector<std::uint8_t> bytes;
    const bool ascii = isAscii(name);
    for (wchar_t unit : name) {
        bytes.push_back(static_cast<std::uint8_t>(unit));
        if (!ascii) {
            bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
        }
    }
    return bytes;
}

// The "lh" hash: 37 × hash + each character of the upper-case name.
std::uint32_t nameHash(const std::wstring& name) {
    std::uint32_t hash = 0;
    for (wchar_t unit : name) {
        const auto upper = (unit >= L'a' && unit <= L'z') ? unit - L'a' + L'A' : unit;
        hash = 37 * hash + static_cast<std::uint16_t>(upper);
    }
    return hash;
}

// The bins, filled cell by cell; a cell that does not fit in the bin being
// filled starts a new one, large enough for it.
struct Bins {
    std::vector<std::uint8_t> bytes;
    std::size_t binStart = 0;
    std::size_t used = 0; // within the current bin
    std::uint64_t timestamp = 0;

    void closeBin() {
        const std::size_t size = bytes.size() - binStart;
        if (size > used) {
            put32(bytes, binStart + used, static_cast<std::uint32_t>(size - used)); // a free cell
        }
    }

    void openBin(std::size_t size) {
        binStart = bytes.size();
        bytes.resize(bytes.size() + size, 0);
        bytes[binStart] = 'h';
        bytes[binStart + 1] = 'b';
        bytes[binStart + 2] = 'i';
        bytes[binStart + 3] = 'n';
        put32(bytes, binStart + 4, static_cast<std::uint32_t>(binStart));
        put32(bytes, binStart + 8, static_cast<std::uint32_t>(size));
        put64(bytes, binStart + 20, timestamp);
        used = binHeader;
    }

    // A zero-filled allocated cell of dataSize bytes of data; its offset.
    std::uint32_t allocate(std::size_t dataSize) {
        const std::size_t cell = (dataSize + 4 + 7) / 8 * 8;
        if (bytes.empty() || used + cell > bytes.size() - binStart) {
            if (!bytes.empty()) {
                closeBin();
            }
            openBin((binHeader + cell + binSize - 1) / binSize * binSize);
        }
        const std::size_t offset = binStart + used;
        put32(bytes, offset, static_cast<std::uint32_t>(-static_cast<std::int32_t>(cell)));
        used += cell;
        return static_cast<std::uint32_t>(offset);
    }

    std::size_t data(std::uint32_t cell) const { return std::size_t{cell} + 4; }
};

struct Writer {
    Bins bins;
    std::uint32_t minorVersion = 5;
    HiveLayout layout;

    std::uint32_t writeData(const std::vector<std::uint8_t>& data) {
        if (minorVersion >= 4 && data.size() > bigDataSegment) {
            const std::size_t segments = (data.size() + bigDataSegment - 1) / bigDataSegment;
            const std::uint32_t list = bins.allocate(4 * segments);
            for (std::size_t i = 0; i < segments; ++i) {
                const std::size_t length =
                    std::min<std::size_t>(bigDataSegment, data.size() - i * bigDataSegment);
                const std::uint32_t segment = bins.allocate(length);
                std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(i * bigDataSegment), length,
                            bins.bytes.begin() + static_cast<std::ptrdiff_t>(bins.data(segment)));
                put32(bins.bytes, bins.data(list) + 4 * i, segment);
            }
            const std::uint32_t record = bins.allocate(8);
            bins.bytes[bins.data(record)] = 'd';
            bins.bytes[bins.data(record) + 1] = 'b';
            put16(bins.bytes, bins.data(record) + 2, static_cast<std::uint32_t>(segments));
            put32(bins.bytes, bins.data(record) + 4, list);
            return record;
        }
        const std::uint32_t cell = bins.allocate(data.size());
        std::copy(data.begin(), data.end(),
                  bins.bytes.begin() + static_cast<std::ptrdiff_t>(bins.data(cell)));
        return cell;
    }

    std::uint32_t writeValue(const HiveValueSpec& value, const std::wstring& keyPath) {
        const std::vector<std::uint8_t> name = storedName(value.name);
        const std::uint32_t cell = bins.allocate(20 + name.size());
        const std::size_t at = bins.data(cell);
        bins.bytes[at] = 'v';
        bins.bytes[at + 1] = 'k';
        put16(bins.bytes, at + 2, static_cast<std::uint32_t>(name.size()));
        const auto size = static_cast<std::uint32_t>(value.data.size());
        if (size <= 4) {
            // Up to four bytes stand in the offset field itself.
            std::uint32_t inlineBytes = 0;
            for (std::uint32_t i = 0; i < size; ++i) {
                inlineBytes |= static_cast<std::uint32_t>(value.data[i]) << (8 * i);
            }
            put32(bins.bytes, at + 4, size | 0x80000000u);
            put32(bins.bytes, at + 8, inlineBytes);
        } else {
            const std::uint32_t data = writeData(value.data);
            layout.dataCells[keyPath + L":" + value.name] = data;
            put32(bins.bytes, bins.data(cell) + 4, size);
            put32(bins.bytes, bins.data(cell) + 8, data);
        }
        put32(bins.bytes, bins.data(cell) + 12, value.type);
        put16(bins.bytes, bins.data(cell) + 16, isAscii(value.name) ? 1 : 0);
        std::copy(name.begin(), name.end(),
                  bins.bytes.begin() + static_cast<std::ptrdiff_t>(bins.data(cell) + 20));
        layout.valueCells[keyPath + L":" + value.name] = cell;
        return cell;
    }

    std::uint32_t writeLeaf(SubkeyListKind kind, const std::vector<std::uint32_t>& nodes,
                            const std::vector<const HiveKeySpec*>& keys) {
        const std::size_t stride = kind == SubkeyListKind::IndexLeaf ? 4 : 8;
        const std::uint32_t cell = bins.allocate(4 + stride * nodes.size());
        const std::size_t at = bins.data(cell);
        bins.bytes[at] = 'l';
        bins.bytes[at + 1] = kind == SubkeyListKind::IndexLeaf  ? 'i'
                             : kind == SubkeyListKind::FastLeaf ? 'f'
                                                                : 'h';
        put16(bins.bytes, at + 2, static_cast<std::uint32_t>(nodes.size()));
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            put32(bins.bytes, at + 4 + stride * i, nodes[i]);
            if (kind == SubkeyListKind::FastLeaf) {
                std::uint32_t hint = 0;
                for (std::size_t c = 0; c < 4 && c < keys[i]->name.size(); ++c) {
                    hint |= (static_cast<std::uint32_t>(keys[i]->name[c]) & 0xFF) << (8 * c);
                }
                put32(bins.bytes, at + 8 + stride * i, hint);
            } else if (kind != SubkeyListKind::IndexLeaf) {
                put32(bins.bytes, at + 8 + stride * i, nameHash(keys[i]->name));
            }
        }
        return cell;
    }

    std::uint32_t writeSubkeyList(const HiveKeySpec& key, const std::vector<std::uint32_t>& nodes) {
        std::vector<const HiveKeySpec*> keys;
        for (const HiveKeySpec& subkey : key.subkeys) {
            keys.push_back(&subkey);
        }
        if (key.listKind != SubkeyListKind::IndexRoot) {
            return writeLeaf(key.listKind, nodes, keys);
        }
        std::vector<std::uint32_t> leaves;
        const std::size_t perLeaf = std::max<std::uint32_t>(1, key.rootLeafSize);
        for (std::size_t first = 0; first < nodes.size(); first += perLeaf) {
            const std::size_t last = std::min(nodes.size(), first + perLeaf);
            leaves.push_back(writeLeaf(
                SubkeyListKind::HashLeaf,
                std::vector<std::uint32_t>(nodes.begin() + static_cast<std::ptrdiff_t>(first),
                                           nodes.begin() + static_cast<std::ptrdiff_t>(last)),
                std::vector<const HiveKeySpec*>(keys.begin() + static_cast<std::ptrdiff_t>(first),
                                                keys.begin() + static_cast<std::ptrdiff_t>(last))));
        }
        const std::uint32_t cell = bins.allocate(4 + 4 * leaves.size());
        const std::size_t at = bins.data(cell);
        bins.bytes[at] = 'r';
        bins.bytes[at + 1] = 'i';
        put16(bins.bytes, at + 2, static_cast<std::uint32_t>(leaves.size()));
        for (std::size_t i = 0; i < leaves.size(); ++i) {
            put32(bins.bytes, at + 4 + 4 * i, leaves[i]);
        }
        return cell;
    }

    std::uint32_t writeKey(const HiveKeySpec& key, std::uint32_t parent, const std::wstring& path) {
        const bool root = path.empty() && parent == 0;
        const std::vector<std::uint8_t> name = storedName(key.name);
        const std::uint32_t cell = bins.allocate(76 + name.size());
        {
            const std::size_t at = bins.data(cell);
            bins.bytes[at] = 'n';
            bins.bytes[at + 1] = 'k';
            put16(bins.bytes, at + 2, (isAscii(key.name) ? 0x20 : 0) | (root ? 0x0C : 0));
            put64(bins.bytes, at + 4, bins.timestamp);
            put32(bins.bytes, at + 16, parent);
            put16(bins.bytes, at + 72, static_cast<std::uint32_t>(name.size()));
            std::copy(name.begin(), name.end(),
                      bins.bytes.begin() + static_cast<std::ptrdiff_t>(at + 76));
        }
        std::uint32_t valueList = noCell;
        if (!key.values.empty()) {
            std::vector<std::uint32_t> values;
            for (const HiveValueSpec& value : key.values) {
                values.push_back(writeValue(value, path));
            }
            valueList = bins.allocate(4 * values.size());
            for (std::size_t i = 0; i < values.size(); ++i) {
                put32(bins.bytes, bins.data(valueList) + 4 * i, values[i]);
            }
        }
        std::uint32_t subkeyList = noCell;
        if (!key.subkeys.empty()) {
            std::vector<std::uint32_t> nodes;
            for (const HiveKeySpec& subkey : key.subkeys) {
                nodes.push_back(writeKey(subkey, cell,
                                         path.empty() ? subkey.name : path + L"\\" + subkey.name));
            }
            subkeyList = writeSubkeyList(key, nodes);
        }
        // The fields that could only be known once the rest was written.
        const std::size_t at = bins.data(cell);
        put32(bins.bytes, at + 20, static_cast<std::uint32_t>(key.subkeys.size()));
        put32(bins.bytes, at + 28, subkeyList);
        put32(bins.bytes, at + 32, noCell);
        put32(bins.bytes, at + 36, static_cast<std::uint32_t>(key.values.size()));
        put32(bins.bytes, at + 40, valueList);
        put32(bins.bytes, at + 44, noCell); // no security record
        put32(bins.bytes, at + 48, noCell); // no class name
        layout.keyCells[path] = cell;
        if (subkeyList != noCell) {
            layout.subkeyLists[path] = subkeyList;
        }
        if (valueList != noCell) {
            layout.valueLists[path] = valueList;
        }
        return cell;
    }
};

} // namespace

void resealBaseBlock(std::vector<std::uint8_t>& file) {
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < 508; at += 4) {
        sum ^= get32(file, at);
    }
    put32(file, 508, sum == 0xFFFFFFFFu ? 0xFFFFFFFEu : (sum == 0 ? 1 : sum));
}

void setSequenceNumbers(std::vector<std::uint8_t>& file, std::uint32_t primary,
                        std::uint32_t secondary) {
    put32(file, 4, primary);
    put32(file, 8, secondary);
    resealBaseBlock(file);
}

std::vector<std::uint8_t> writeHive(const HiveSpec& spec, HiveLayout* layout) {
    Writer writer;
    writer.minorVersion = spec.minorVersion;
    writer.bins.timestamp = spec.lastWritten;
    const std::uint32_t root = writer.writeKey(spec.root, 0, L"");
    if (layout != nullptr) {
        *layout = writer.layout;
    }
    writer.bins.closeBin();

    std::vector<std::uint8_t> file(baseBlockSize, 0);
    file[0] = 'r';
    file[1] = 'e';
    file[2] = 'g';
    file[3] = 'f';
    put64(file, 12, spec.lastWritten);
    put32(file, 20, 1);
    put32(file, 24, spec.minorVersion);
    put32(file, 28, 0);
    put32(file, 32, 1);
    put32(file, 36, root);
    put32(file, 40, static_cast<std::uint32_t>(writer.bins.bytes.size()));
    put32(file, 44, 1);
    setSequenceNumbers(file, spec.sequence, spec.sequence);
    file.insert(file.end(), writer.bins.bytes.begin(), writer.bins.bytes.end());
    return file;
}

std::vector<HivePage> changedPages(const std::vector<std::uint8_t>& before,
                                   const std::vector<std::uint8_t>& after, std::uint32_t pageSize) {
    std::vector<HivePage> pages;
    for (std::size_t at = baseBlockSize; at < after.size(); at += pageSize) {
        const std::size_t end = std::min<std::size_t>(after.size(), at + pageSize);
        const bool same =
            end <= before.size() && std::equal(after.begin() + static_cast<std::ptrdiff_t>(at),
                                               after.begin() + static_cast<std::ptrdiff_t>(end),
                                               before.begin() + static_cast<std::ptrdiff_t>(at));
        if (!same) {
            pages.push_back(
                {static_cast<std::uint32_t>(at - baseBlockSize),
                 std::vector<std::uint8_t>(after.begin() + static_cast<std::ptrdiff_t>(at),
                                           after.begin() + static_cast<std::ptrdiff_t>(end))});
        }
    }
    return pages;
}

std::vector<std::uint8_t> writeNewFormatLog(const std::vector<std::uint8_t>& hiveFile,
                                            std::uint32_t logSequence,
                                            const std::vector<HiveLogEntrySpec>& entries) {
    std::vector<std::uint8_t> log(hiveFile.begin(), hiveFile.begin() + 512);
    put32(log, 28, 6);
    setSequenceNumbers(log, logSequence, logSequence);
    for (const HiveLogEntrySpec& entry : entries) {
        std::size_t size = 40 + 8 * entry.pages.size();
        for (const HivePage& page : entry.pages) {
            size += page.bytes.size();
        }
        size = (size + 511) / 512 * 512;
        const std::size_t at = log.size();
        log.resize(at + size, 0);
        log[at] = 'H';
        log[at + 1] = 'v';
        log[at + 2] = 'L';
        log[at + 3] = 'E';
        put32(log, at + 4, static_cast<std::uint32_t>(size));
        put32(log, at + 12, entry.sequence);
        put32(log, at + 16, entry.binsSize);
        put32(log, at + 20, static_cast<std::uint32_t>(entry.pages.size()));
        std::size_t data = at + 40 + 8 * entry.pages.size();
        for (std::size_t i = 0; i < entry.pages.size(); ++i) {
            put32(log, at + 40 + 8 * i, entry.pages[i].offset);
            put32(log, at + 44 + 8 * i, static_cast<std::uint32_t>(entry.pages[i].bytes.size()));
            std::copy(entry.pages[i].bytes.begin(), entry.pages[i].bytes.end(),
                      log.begin() + static_cast<std::ptrdiff_t>(data));
            data += entry.pages[i].bytes.size();
        }
        put64(log, at + 24, marvin32(log.data() + at + 40, size - 40, hiveLogHashSeed));
        put64(log, at + 32, marvin32(log.data() + at, 32, hiveLogHashSeed));
    }
    return log;
}

std::vector<std::size_t> newFormatLogEntryOffsets(const std::vector<std::uint8_t>& log) {
    std::vector<std::size_t> offsets;
    for (std::size_t at = 512; at + 40 <= log.size() && log[at] == 'H'; at += get32(log, at + 4)) {
        offsets.push_back(at);
    }
    return offsets;
}

std::vector<std::uint8_t> writeOldFormatLog(const std::vector<std::uint8_t>& before,
                                            const std::vector<std::uint8_t>& after) {
    std::vector<std::uint8_t> log(after.begin(), after.begin() + 512);
    put32(log, 28, 1);
    resealBaseBlock(log);
    const std::size_t bits = (after.size() - baseBlockSize) / 512;
    const std::vector<HivePage> pages = changedPages(before, after, 512);
    std::vector<std::uint8_t> bitmap((bits + 7) / 8, 0);
    for (const HivePage& page : pages) {
        const std::size_t bit = page.offset / 512;
        bitmap[bit / 8] = static_cast<std::uint8_t>(bitmap[bit / 8] | (1u << (bit % 8)));
    }
    log.insert(log.end(), {'D', 'I', 'R', 'T'});
    log.insert(log.end(), bitmap.begin(), bitmap.end());
    log.resize((log.size() + 511) / 512 * 512, 0);
    for (const HivePage& page : pages) {
        log.insert(log.end(), page.bytes.begin(), page.bytes.end());
    }
    return log;
}

} // namespace tidewell::sample
