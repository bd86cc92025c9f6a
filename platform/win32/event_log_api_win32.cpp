// The event-log API: a query per log for the events asked for, each
// rendered as XML; the log's record count and fullness from its
// information, and the times of its oldest and newest records from the
// first event of a query in each direction.
#include "platform/event_log_api.h"

#include <cstdio>

#include "platform/utf8_codec.h"
#include "platform/win32/win32_common.h"

// After windows.h, whose types it uses.
#include <winevt.h>

namespace tidewell {

namespace {

struct EventHandle {
    EVT_HANDLE handle = nullptr;
    EventHandle() = default;
    explicit EventHandle(EVT_HANDLE opened) : handle(opened) {}
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;
    ~EventHandle() {
        if (handle != nullptr) {
            EvtClose(handle);
        }
    }
};

void failed(LiveLog& log, DWORD error, const wchar_t* what) {
    // No such log: Windows says the channel is not there; an event-log
    // service that keeps no file for it (as Wine's) that the file is not.
    if (error == ERROR_EVT_CHANNEL_NOT_FOUND || error == ERROR_FILE_NOT_FOUND ||
        error == ERROR_PATH_NOT_FOUND) {
        log.outcome = LiveLogOutcome::NotPresent;
        return;
    }
    if (error == ERROR_CALL_NOT_IMPLEMENTED || error == ERROR_PROC_NOT_FOUND) {
        log.outcome = LiveLogOutcome::NotPresent;
        log.why = L"this Windows gives no event-log API";
        return;
    }
    log.outcome = error == ERROR_ACCESS_DENIED ? LiveLogOutcome::Denied : LiveLogOutcome::Failed;
    log.why = error == ERROR_ACCESS_DENIED
                  ? std::wstring(L"access denied")
                  : std::wstring(what) + L" failed (error " + std::to_wstring(error) + L")";
}

// An event as XML (UTF-8); false where the API could not render it.
bool renderXml(EVT_HANDLE event, std::vector<wchar_t>& buffer, std::string& xml) {
    DWORD used = 0;
    DWORD properties = 0;
    if (!EvtRender(nullptr, event, EvtRenderEventXml, static_cast<DWORD>(buffer.size() * 2),
                   buffer.data(), &used, &properties)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || used > (16u << 20)) {
            return false;
        }
        buffer.resize(used / 2 + 1);
        if (!EvtRender(nullptr, event, EvtRenderEventXml, static_cast<DWORD>(buffer.size() * 2),
                       buffer.data(), &used, &properties)) {
            return false;
        }
    }
    const std::size_t units = used / 2;
    std::wstring text(buffer.data(), units > 0 && buffer[units - 1] == L'\0' ? units - 1 : units);
    xml = toUtf8(text);
    return true;
}

// The TimeCreated of the first event a query in that direction gives.
FileTime edgeTime(const wchar_t* channel, DWORD direction, std::vector<wchar_t>& buffer) {
    EventHandle query(EvtQuery(nullptr, channel, L"*", EvtQueryChannelPath | direction));
    if (query.handle == nullptr) {
        return 0;
    }
    EVT_HANDLE raw = nullptr;
    DWORD returned = 0;
    if (!EvtNext(query.handle, 1, &raw, INFINITE, 0, &returned) || returned != 1) {
        return 0;
    }
    EventHandle event(raw);
    std::string xml;
    if (!renderXml(event.handle, buffer, xml)) {
        return 0;
    }
    // <TimeCreated SystemTime='2024-03-09T14:05:00.1234567Z'/>
    const std::size_t at = xml.find("SystemTime=");
    if (at == std::string::npos || at + 12 >= xml.size()) {
        return 0;
    }
    const char quote = xml[at + 11];
    const std::size_t end = xml.find(quote, at + 12);
    if (end == std::string::npos) {
        return 0;
    }
    SYSTEMTIME fields{};
    const std::string text = xml.substr(at + 12, end - at - 12);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &year, &month, &day, &hour, &minute,
                    &second) != 6) {
        return 0;
    }
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    FILETIME time{};
    return SystemTimeToFileTime(&fields, &time) ? win32::fromFILETIME(time) : 0;
}

std::wstring queryText(std::span<const std::uint32_t> eventIds) {
    std::wstring text = L"*[System[(";
    for (std::size_t i = 0; i < eventIds.size(); ++i) {
        text += (i == 0 ? L"EventID=" : L" or EventID=") + std::to_wstring(eventIds[i]);
    }
    return text + L")]]";
}

} // namespace

LiveLog readLiveLog(const wchar_t* channel, std::span<const std::uint32_t> eventIds) {
    LiveLog log;
    EventHandle opened(EvtOpenLog(nullptr, channel, EvtOpenChannelPath));
    if (opened.handle == nullptr) {
        failed(log, GetLastError(), L"opening the log");
        return log;
    }
    EVT_VARIANT value{};
    DWORD used = 0;
    if (EvtGetLogInfo(opened.handle, EvtLogNumberOfLogRecords, sizeof value, &value, &used) &&
        value.Type == EvtVarTypeUInt64) {
        log.records = value.UInt64Val;
    }
    if (EvtGetLogInfo(opened.handle, EvtLogFull, sizeof value, &value, &used) &&
        value.Type == EvtVarTypeBoolean) {
        log.full = value.BooleanVal != FALSE;
    }
    const std::wstring query = queryText(eventIds);
    EventHandle results(
        EvtQuery(nullptr, channel, query.c_str(), EvtQueryChannelPath | EvtQueryForwardDirection));
    if (results.handle == nullptr) {
        failed(log, GetLastError(), L"querying the log");
        return log;
    }
    std::vector<wchar_t> buffer(64 * 1024);
    EVT_HANDLE batch[64];
    for (;;) {
        DWORD returned = 0;
        if (!EvtNext(results.handle, 64, batch, INFINITE, 0, &returned)) {
            const DWORD error = GetLastError();
            if (error != ERROR_NO_MORE_ITEMS) {
                failed(log, error, L"reading the log");
                return log;
            }
            break;
        }
        for (DWORD i = 0; i < returned; ++i) {
            EventHandle event(batch[i]);
            std::string xml;
            if (renderXml(event.handle, buffer, xml)) {
                log.events.push_back(std::move(xml));
            } else {
                ++log.unrendered;
            }
        }
    }
    log.oldest = edgeTime(channel, EvtQueryForwardDirection, buffer);
    log.newest = edgeTime(channel, EvtQueryReverseDirection, buffer);
    log.outcome = LiveLogOutcome::Read;
    return log;
}

} // namespace tidewell
