// The SRUM tables read through libesedb, from the database's bytes in
// memory (a libbfio memory range), so that a database inside an image or a
// collection is read as one in a folder is, and nothing is ever written.
// The library reads past its buffers on some damaged databases: it runs in
// a process of its own, which hands the rows back as a stream.
#include <libbfio.h>
#include <libesedb.h>

#include <bit>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/isolated_work.h"
#include "platform/utf8_codec.h"
#include "srum/ese_header.h"
#include "srum/srum_table_stream.h"
#include "srum/srum_tables.h"

namespace tidewell {

namespace {

// The library's error, freed when it goes, its text kept for the outcome.
struct EseError {
    libesedb_error_t* error = nullptr;
    EseError() = default;
    EseError(const EseError&) = delete;
    EseError& operator=(const EseError&) = delete;
    ~EseError() { libesedb_error_free(&error); }

    std::string text() const {
        if (error == nullptr) {
            return {};
        }
        // Innermost first: the first line says what was wrong, the rest
        // where in the library it was noticed.
        char buffer[4096] = {};
        libesedb_error_backtrace_sprint(error, buffer, sizeof buffer);
        std::string text = buffer;
        text = text.substr(0, text.find('\n'));
        const std::size_t where = text.find(": ");
        return where == std::string::npos ? text : text.substr(where + 2);
    }
};

struct FileFree {
    void operator()(libesedb_file_t* file) const {
        libesedb_file_close(file, nullptr);
        libesedb_file_free(&file, nullptr);
    }
};
struct TableFree {
    void operator()(libesedb_table_t* table) const { libesedb_table_free(&table, nullptr); }
};
struct ColumnFree {
    void operator()(libesedb_column_t* column) const { libesedb_column_free(&column, nullptr); }
};
struct RecordFree {
    void operator()(libesedb_record_t* record) const { libesedb_record_free(&record, nullptr); }
};
struct LongValueFree {
    void operator()(libesedb_long_value_t* value) const {
        libesedb_long_value_free(&value, nullptr);
    }
};
struct HandleFree {
    void operator()(libbfio_handle_t* handle) const { libbfio_handle_free(&handle, nullptr); }
};

using EseFile = std::unique_ptr<libesedb_file_t, FileFree>;
using EseTable = std::unique_ptr<libesedb_table_t, TableFree>;
using EseColumn = std::unique_ptr<libesedb_column_t, ColumnFree>;
using EseRecord = std::unique_ptr<libesedb_record_t, RecordFree>;
using EseLongValue = std::unique_ptr<libesedb_long_value_t, LongValueFree>;
using BytesHandle = std::unique_ptr<libbfio_handle_t, HandleFree>;

// A value longer than this is not one SRUM writes (its longest is a path).
constexpr std::size_t valueLimit = 1 << 20;

// The database opened over bytes that outlive it (the handle does not copy,
// and only reads them).
bool openDatabase(const std::vector<std::uint8_t>& bytes, BytesHandle& handle, EseFile& file,
                  std::wstring& why) {
    libbfio_handle_t* rawHandle = nullptr;
    if (libbfio_memory_range_initialize(&rawHandle, nullptr) != 1) {
        why = L"the library could not be given the file's bytes";
        return false;
    }
    handle.reset(rawHandle);
    if (libbfio_memory_range_set(rawHandle, const_cast<std::uint8_t*>(bytes.data()), bytes.size(),
                                 nullptr) != 1) {
        why = L"the library could not be given the file's bytes";
        return false;
    }
    libesedb_file_t* rawFile = nullptr;
    EseError error;
    if (libesedb_file_initialize(&rawFile, &error.error) != 1) {
        why = L"the library could not start: " + fromUtf8(error.text());
        return false;
    }
    if (libesedb_file_open_file_io_handle(rawFile, rawHandle, LIBESEDB_OPEN_READ, &error.error) !=
        1) {
        libesedb_file_free(&rawFile, nullptr);
        why = fromUtf8(error.text());
        return false;
    }
    file.reset(rawFile);
    return true;
}

// The columns of a table by name, in the order they are asked for (-1 for
// one it lacks); false where one of the first required is missing.
bool findColumns(libesedb_table_t* table, const std::vector<std::string_view>& names,
                 std::size_t required, std::vector<int>& indexes) {
    int columns = 0;
    if (libesedb_table_get_number_of_columns(table, &columns, 0, nullptr) != 1) {
        return false;
    }
    indexes.assign(names.size(), -1);
    for (int column = 0; column < columns; ++column) {
        libesedb_column_t* raw = nullptr;
        if (libesedb_table_get_column(table, column, &raw, 0, nullptr) != 1) {
            return false;
        }
        const EseColumn held(raw);
        std::uint8_t name[256] = {};
        if (libesedb_column_get_utf8_name(raw, name, sizeof name, nullptr) != 1) {
            continue;
        }
        const std::string_view named(reinterpret_cast<const char*>(name));
        for (std::size_t wanted = 0; wanted < names.size(); ++wanted) {
            if (named == names[wanted]) {
                indexes[wanted] = column;
            }
        }
    }
    for (std::size_t index = 0; index < required; ++index) {
        if (indexes[index] < 0) {
            return false;
        }
    }
    return true;
}

// A value's bytes as stored, a long value's gathered from its pages; false
// for a value the library cannot hand over whole, or one SRUM never writes.
bool valueBytes(libesedb_record_t* record, int column, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::uint8_t flags = 0;
    if (libesedb_record_get_value_data_flags(record, column, &flags, nullptr) != 1 ||
        (flags & (LIBESEDB_VALUE_FLAG_MULTI_VALUE | LIBESEDB_VALUE_FLAG_COMPRESSED)) != 0) {
        return false;
    }
    if ((flags & LIBESEDB_VALUE_FLAG_LONG_VALUE) != 0) {
        libesedb_long_value_t* raw = nullptr;
        if (libesedb_record_get_long_value(record, column, &raw, nullptr) != 1) {
            return false;
        }
        const EseLongValue held(raw);
        std::size_t size = 0;
        if (libesedb_long_value_get_data_size(raw, &size, nullptr) != 1 || size > valueLimit) {
            return false;
        }
        bytes.resize(size);
        return size == 0 || libesedb_long_value_get_data(raw, bytes.data(), size, nullptr) == 1;
    }
    std::size_t size = 0;
    if (libesedb_record_get_value_data_size(record, column, &size, nullptr) != 1 ||
        size > valueLimit) {
        return false;
    }
    bytes.resize(size);
    return size == 0 ||
           libesedb_record_get_value_data(record, column, bytes.data(), size, nullptr) == 1;
}

// An integer column of any width the engine stores; an empty value (a
// column the row leaves unset) is 0.
bool unsignedValue(libesedb_record_t* record, int column, std::vector<std::uint8_t>& scratch,
                   std::uint64_t& value) {
    if (!valueBytes(record, column, scratch)) {
        return false;
    }
    if (scratch.size() > 8 || (scratch.size() & (scratch.size() - 1)) != 0) {
        return false;
    }
    value = 0;
    for (std::size_t byte = 0; byte < scratch.size(); ++byte) {
        value |= static_cast<std::uint64_t>(scratch[byte]) << (8 * byte);
    }
    return true;
}

bool id32(libesedb_record_t* record, int column, std::vector<std::uint8_t>& scratch,
          std::uint32_t& id) {
    std::uint64_t value = 0;
    if (!unsignedValue(record, column, scratch, value) || value > 0xffffffffu) {
        return false;
    }
    id = static_cast<std::uint32_t>(value);
    return true;
}

// An OLE date: eight bytes of a double.
bool dateValue(libesedb_record_t* record, int column, std::vector<std::uint8_t>& scratch,
               double& date) {
    if (!valueBytes(record, column, scratch) || scratch.size() != 8) {
        return false;
    }
    std::uint64_t bits = 0;
    std::memcpy(&bits, scratch.data(), 8);
    date = std::bit_cast<double>(bits); // the file is little-endian, as this build is
    return true;
}

// The table's rows, each handed to read; a row the library cannot give, or
// read refuses, is counted.
template <typename ReadRow>
void eachRow(libesedb_table_t* table, SrumTables& tables, ReadRow read) {
    int rows = 0;
    if (libesedb_table_get_number_of_records(table, &rows, nullptr) != 1) {
        ++tables.tablesMalformed;
        return;
    }
    for (int row = 0; row < rows; ++row) {
        libesedb_record_t* raw = nullptr;
        if (libesedb_table_get_record(table, row, &raw, nullptr) != 1) {
            ++tables.rowsUnreadable;
            continue;
        }
        const EseRecord held(raw);
        if (!read(raw)) {
            ++tables.rowsUnreadable;
        }
    }
}

// The table of that name, or null where the database has none.
EseTable tableNamed(libesedb_file_t* file, std::string_view name) {
    libesedb_table_t* raw = nullptr;
    if (libesedb_file_get_table_by_utf8_name(file,
                                             reinterpret_cast<const std::uint8_t*>(name.data()),
                                             name.size(), &raw, nullptr) != 1) {
        return nullptr;
    }
    return EseTable(raw);
}

void readIdMap(libesedb_table_t* table, SrumTables& tables) {
    std::vector<int> columns;
    if (!findColumns(table, {"IdType", "IdIndex", "IdBlob"}, 3, columns)) {
        ++tables.tablesMalformed;
        return;
    }
    std::vector<std::uint8_t> scratch;
    eachRow(table, tables, [&](libesedb_record_t* record) {
        SrumIdEntry entry;
        std::uint64_t type = 0;
        if (!unsignedValue(record, columns[0], scratch, type) || type > 0xff ||
            !id32(record, columns[1], scratch, entry.index) ||
            !valueBytes(record, columns[2], entry.blob)) {
            return false;
        }
        entry.type = static_cast<std::uint8_t>(type);
        tables.ids.push_back(std::move(entry));
        return true;
    });
}

// A usage table's rows: their time, program and user, a network row's
// interface, and those of the table's figures it has columns for (a
// figure a version of Windows did not record is said to be not recorded,
// never taken for 0).
void readRows(libesedb_table_t* table, bool usageTable, SrumTables& tables,
              std::vector<SrumRow>& rows, std::uint16_t& recorded) {
    std::vector<std::string_view> names = {"TimeStamp", "AppId", "UserId"};
    if (!usageTable) {
        names.emplace_back("InterfaceLuid");
    }
    const std::size_t firstFigure = names.size();
    std::vector<std::size_t> figures; // their places in srumFigures
    for (std::size_t figure = 0; figure < std::size(srumFigures); ++figure) {
        if (srumFigures[figure].usageTable == usageTable) {
            names.emplace_back(srumFigures[figure].column);
            figures.push_back(figure);
        }
    }
    std::vector<int> columns;
    if (!findColumns(table, names, firstFigure, columns)) {
        ++tables.tablesMalformed;
        return;
    }
    recorded = 0;
    for (std::size_t figure = 0; figure < figures.size(); ++figure) {
        if (columns[firstFigure + figure] >= 0) {
            recorded = static_cast<std::uint16_t>(recorded | (1u << figures[figure]));
        }
    }
    std::vector<std::uint8_t> scratch;
    eachRow(table, tables, [&](libesedb_record_t* record) {
        SrumRow row;
        if (!dateValue(record, columns[0], scratch, row.timeStamp) ||
            !id32(record, columns[1], scratch, row.appId) ||
            !id32(record, columns[2], scratch, row.userId) ||
            (!usageTable && !unsignedValue(record, columns[3], scratch, row.interfaceLuid))) {
            return false;
        }
        for (std::size_t figure = 0; figure < figures.size(); ++figure) {
            const int column = columns[firstFigure + figure];
            if (column >= 0 && !unsignedValue(record, column, scratch,
                                              row.figures.*srumFigures[figures[figure]].member)) {
                return false;
            }
        }
        rows.push_back(row);
        return true;
    });
}

// Every table, in this process.
SrumTables readTablesHere(const std::vector<std::uint8_t>& bytes) {
    SrumTables tables;
    BytesHandle handle;
    EseFile file;
    std::vector<std::uint8_t> matched;
    if (!openDatabase(bytes, handle, file, tables.why)) {
        // The library sums only the header's first 668 bytes; a header that
        // Windows 11 summed over its whole page is the same header.
        matched = bytes;
        if (!matchEseHeaderChecksum(matched)) {
            return tables;
        }
        handle.reset();
        std::wstring second;
        if (!openDatabase(matched, handle, file, second)) {
            return tables;
        }
        tables.headerSumMatched = true;
        tables.why.clear();
    }
    tables.open = SrumOpen::Opened;
    if (EseTable ids = tableNamed(file.get(), srumIdMapTable)) {
        tables.idMapPresent = true;
        readIdMap(ids.get(), tables);
    }
    if (EseTable usage = tableNamed(file.get(), srumUsageTable)) {
        tables.usagePresent = true;
        readRows(usage.get(), true, tables, tables.usage, tables.usageFiguresRecorded);
    }
    if (EseTable network = tableNamed(file.get(), srumNetworkTable)) {
        tables.networkPresent = true;
        readRows(network.get(), false, tables, tables.network, tables.networkFiguresRecorded);
    }
    return tables;
}

// However long a database of the largest size read takes, and more.
constexpr unsigned readerSeconds = 600;

} // namespace

SrumTables readSrumTables(const std::vector<std::uint8_t>& bytes) {
    // The rows take less room in the stream than in the database, which
    // spends pages, tags and column bookkeeping on each.
    const std::uint64_t streamLimit = (64ULL << 20) + 4 * static_cast<std::uint64_t>(bytes.size());
    const IsolatedResult run = runIsolated(
        [&bytes](std::vector<std::uint8_t>& stream) {
            writeSrumTableStream(readTablesHere(bytes), stream);
        },
        streamLimit, readerSeconds);
    SrumTables tables;
    if (run.outcome != IsolatedOutcome::Finished) {
        tables.why = isolatedFailure(run, L"the ESE library", readerSeconds);
    } else if (readSrumTableStream(ByteView{run.output.data(), run.output.size()}, tables)) {
        return tables;
    } else {
        tables = SrumTables{};
        tables.why = L"the reading process handed back no whole answer";
    }
    tables.open = SrumOpen::Refused;
    return tables;
}

} // namespace tidewell
