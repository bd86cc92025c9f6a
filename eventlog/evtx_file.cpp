// An event log file read through libevtx, from its bytes in memory (a
// libbfio memory range), so that a log inside an image or a collection is
// read as one in a folder is, and nothing is ever written. The library runs
// in a process of its own, which hands the events back in pieces as it
// renders them, so that they are made records here meanwhile.
#include <libbfio.h>
#include <libevtx.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "eventlog/evtx_log.h"
#include "platform/isolated_work.h"
#include "platform/utf8_codec.h"

namespace tidewell {

namespace {

struct EvtxError {
    libevtx_error_t* error = nullptr;
    EvtxError() = default;
    EvtxError(const EvtxError&) = delete;
    EvtxError& operator=(const EvtxError&) = delete;
    ~EvtxError() { libevtx_error_free(&error); }

    // The innermost reason: what was wrong, without where the library noticed it.
    std::string text() const {
        if (error == nullptr) {
            return {};
        }
        char buffer[4096] = {};
        libevtx_error_backtrace_sprint(error, buffer, sizeof buffer);
        std::string text = buffer;
        text = text.substr(0, text.find('\n'));
        const std::size_t where = text.find(": ");
        return where == std::string::npos ? text : text.substr(where + 2);
    }
};

struct FileFree {
    void operator()(libevtx_file_t* file) const {
        libevtx_file_close(file, nullptr);
        libevtx_file_free(&file, nullptr);
    }
};
struct RecordFree {
    void operator()(libevtx_record_t* record) const { libevtx_record_free(&record, nullptr); }
};
struct HandleFree {
    void operator()(libbfio_handle_t* handle) const { libbfio_handle_free(&handle, nullptr); }
};
using EvtxFile = std::unique_ptr<libevtx_file_t, FileFree>;
using EvtxRecord = std::unique_ptr<libevtx_record_t, RecordFree>;
using BytesHandle = std::unique_ptr<libbfio_handle_t, HandleFree>;

// An event's XML longer than this is not one Windows writes (an event's
// data is limited to 64 KB, its rendering a few times that).
constexpr std::size_t xmlLimit = 4 << 20;

bool openLog(const std::vector<std::uint8_t>& bytes, BytesHandle& handle, EvtxFile& file,
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
    libevtx_file_t* rawFile = nullptr;
    EvtxError error;
    if (libevtx_file_initialize(&rawFile, &error.error) != 1) {
        why = L"the library could not start: " + fromUtf8(error.text());
        return false;
    }
    if (libevtx_file_open_file_io_handle(rawFile, rawHandle, LIBEVTX_OPEN_READ, &error.error) !=
        1) {
        libevtx_file_free(&rawFile, nullptr);
        why = fromUtf8(error.text());
        return false;
    }
    file.reset(rawFile);
    return true;
}

using Listed = std::set<std::pair<std::uint64_t, std::uint64_t>>;

// One record: its span counted, and its XML kept where the source wants it.
// False where the library could not read it.
// A record found in free space that the file still lists is the same
// record: it is passed over (true, nothing kept).
bool readRecord(libevtx_record_t* record, EventLogKind kind, bool recovered,
                std::vector<std::uint8_t>& scratch, Listed& listed, EvtxLog& log) {
    std::uint64_t identifier = 0;
    std::uint64_t written = 0;
    std::uint32_t eventId = 0;
    if (libevtx_record_get_identifier(record, &identifier, nullptr) != 1 ||
        libevtx_record_get_written_time(record, &written, nullptr) != 1 ||
        libevtx_record_get_event_identifier(record, &eventId, nullptr) != 1) {
        return false;
    }
    if (!recovered) {
        listed.emplace(identifier, written);
    } else if (listed.contains({identifier, written})) {
        return true;
    } else {
        ++log.recoveredRead;
    }
    if (written != 0 && !recovered) {
        log.oldest = log.oldest == 0 ? written : std::min(log.oldest, written);
        log.newest = std::max(log.newest, written);
    }
    if (!eventWanted(kind, eventId)) {
        return true;
    }
    // Rendered straight into a buffer that fits nearly every event: asking
    // for the size first would render it twice.
    if (libevtx_record_get_utf8_xml_string(record, scratch.data(), scratch.size(), nullptr) != 1) {
        std::size_t size = 0;
        if (libevtx_record_get_utf8_xml_string_size(record, &size, nullptr) != 1 || size == 0 ||
            size > xmlLimit) {
            return false;
        }
        scratch.resize(size);
        if (libevtx_record_get_utf8_xml_string(record, scratch.data(), scratch.size(), nullptr) !=
            1) {
            return false;
        }
    }
    const auto* text = reinterpret_cast<const char*>(scratch.data());
    log.events.push_back({identifier, written, eventId, recovered,
                          std::string(text, strnlen(text, scratch.size()))});
    return true;
}

// Events are sent on once their XML comes to this much: enough that a
// piece is worth its passage, little enough that the other process has
// work while the rest is rendered.
constexpr std::size_t pieceXmlBytes = 64 * 1024;

// The events read since the last piece, sent on as a piece once they come
// to a piece's worth (or whatever there is, at the end).
struct EventPieces {
    const IsolatedSend& send;
    std::size_t xmlBytes = 0;
    std::size_t counted = 0; // of the log's events, those in xmlBytes

    void sendReady(EvtxLog& log, bool ending) {
        for (; counted < log.events.size(); ++counted) {
            xmlBytes += log.events[counted].xml.size();
        }
        if (log.events.empty() || (!ending && xmlBytes < pieceXmlBytes)) {
            return;
        }
        std::vector<std::uint8_t> piece;
        writeEvtxEventsPiece(log.events, piece);
        send(piece);
        log.events.clear();
        xmlBytes = 0;
        counted = 0;
    }
};

EvtxLog readLogHere(const std::vector<std::uint8_t>& bytes, EventLogKind kind, bool recoverDeleted,
                    const IsolatedSend& send) {
    EvtxLog log;
    BytesHandle handle;
    EvtxFile file;
    if (!openLog(bytes, handle, file, log.why)) {
        return log;
    }
    log.open = EvtxOpen::Opened;
    std::vector<std::uint8_t> scratch(64 * 1024);
    EventPieces pieces{send};
    Listed listed;
    std::uint32_t flags = 0;
    if (libevtx_file_get_flags(file.get(), &flags, nullptr) == 1) {
        log.dirty = (flags & LIBEVTX_FILE_FLAG_IS_DIRTY) != 0;
        log.full = (flags & LIBEVTX_FILE_FLAG_IS_FULL) != 0;
    }
    int records = 0;
    if (libevtx_file_get_number_of_records(file.get(), &records, nullptr) == 1 && records > 0) {
        log.records = static_cast<std::uint64_t>(records);
    }
    for (int index = 0; index < records; ++index) {
        libevtx_record_t* raw = nullptr;
        if (libevtx_file_get_record_by_index(file.get(), index, &raw, nullptr) != 1) {
            ++log.recordsUnreadable;
            continue;
        }
        const EvtxRecord record(raw);
        if (!readRecord(record.get(), kind, false, scratch, listed, log)) {
            ++log.recordsUnreadable;
        }
        pieces.sendReady(log, false);
    }
    int recoverable = 0;
    if (libevtx_file_get_number_of_recovered_records(file.get(), &recoverable, nullptr) == 1 &&
        recoverable > 0) {
        log.recoverable = static_cast<std::uint64_t>(recoverable);
    }
    if (!recoverDeleted) {
        pieces.sendReady(log, true);
        return log;
    }
    for (int index = 0; index < recoverable; ++index) {
        libevtx_record_t* raw = nullptr;
        if (libevtx_file_get_recovered_record_by_index(file.get(), index, &raw, nullptr) != 1) {
            ++log.recoveredUnreadable;
            continue;
        }
        const EvtxRecord record(raw);
        if (!readRecord(record.get(), kind, true, scratch, listed, log)) {
            ++log.recoveredUnreadable;
        }
        pieces.sendReady(log, false);
    }
    pieces.sendReady(log, true);
    return log;
}

// However long a log of the largest size read takes, and more.
constexpr unsigned readerSeconds = 600;

} // namespace

EvtxLog readEvtxLog(const std::vector<std::uint8_t>& bytes, EventLogKind kind, bool recoverDeleted,
                    const EvtxEventsReceiver& receive) {
    // The events kept are a part of the file's records, each rendered as
    // XML a few times the size of its binary form.
    const std::uint64_t streamLimit = (64ULL << 20) + 8 * static_cast<std::uint64_t>(bytes.size());
    EvtxLog log;
    std::vector<EvtxEvent> events;
    bool figuresCame = false;
    bool sound = true;
    const IsolatedResult run = runIsolatedInPieces(
        [&](const IsolatedSend& send) {
            std::vector<std::uint8_t> figures;
            writeEvtxFiguresPiece(readLogHere(bytes, kind, recoverDeleted, send), figures);
            send(figures);
        },
        [&](ByteView piece) {
            // Nothing may follow the figures, and every piece must be whole.
            if (!sound || figuresCame) {
                sound = false;
                return;
            }
            switch (readEvtxPiece(piece, log, events)) {
            case EvtxPiece::Events:
                if (receive) {
                    receive(events);
                    events.clear();
                }
                break;
            case EvtxPiece::Figures:
                figuresCame = true;
                break;
            case EvtxPiece::Unsound:
                sound = false;
                break;
            }
        },
        streamLimit, readerSeconds);
    if (run.outcome != IsolatedOutcome::Finished) {
        log = EvtxLog{};
        log.why = isolatedFailure(run, L"the event log library", readerSeconds);
    } else if (sound && figuresCame) {
        log.events = std::move(events);
        return log;
    } else {
        log = EvtxLog{};
        log.why = L"the reading process handed back no whole answer";
    }
    log.open = EvtxOpen::Refused;
    return log;
}

} // namespace tidewell
