// How a SRUM record is shown, and how the banner and the report speak of
// the source: its row of the table of sources.
#include <algorithm>

#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/text_fold.h"
#include "platform/timestamp_format.h"
#include "srum/srum_counters.h"
#include "srum/srum_details.h"
#include "srum/srum_source.h"

namespace tidewell {

namespace {

const SrumDetails& detailsOf(const LaunchRecord& record) {
    static const SrumDetails none;
    const SrumDetails* details = srumDetails(record);
    return details != nullptr ? *details : none;
}

const wchar_t* kindWords(SrumProgramKind kind) {
    switch (kind) {
    case SrumProgramKind::Path:
        return L"a path";
    case SrumProgramKind::HostedName:
        return L"a program's name with its link time and size";
    case SrumProgramKind::Service:
        return L"a service";
    case SrumProgramKind::Package:
        return L"a packaged application";
    case SrumProgramKind::NotInIdMap:
        return L"not in the id map";
    case SrumProgramKind::Named:
    default:
        return L"a name";
    }
}

const wchar_t* kindKey(SrumProgramKind kind) {
    switch (kind) {
    case SrumProgramKind::Path:
        return L"path";
    case SrumProgramKind::HostedName:
        return L"hosted_name";
    case SrumProgramKind::Service:
        return L"service";
    case SrumProgramKind::Package:
        return L"package";
    case SrumProgramKind::NotInIdMap:
        return L"not_in_id_map";
    case SrumProgramKind::Named:
    default:
        return L"name";
    }
}

bool recorded(const SrumDetails& details, std::size_t figure) {
    return (details.figuresRecorded & (1u << figure)) != 0;
}

std::wstring hoursText(std::size_t hours) {
    return groupedDecimalText(hours) + (hours == 1 ? L" hour" : L" hours");
}

void cells(const LaunchRecord&, SourceCells&) {}

std::wstring listDetail(const LaunchRecord& record) {
    const SrumDetails& details = detailsOf(record);
    std::wstring text = record.runTimes.empty() ? std::wstring(L"no hour with processor use")
                                                : L"in use " + hoursText(record.runTimes.size());
    if (details.networkRows != 0) {
        text += L"; " + groupedDecimalText(details.totals.bytesSent) + L" bytes sent, " +
                groupedDecimalText(details.totals.bytesReceived) + L" received";
    }
    return text;
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const SrumDetails& details = detailsOf(record);
    if (record.pathStatus == PathStatus::VolumeNotIdentified) {
        parts.pathExplanation = std::wstring(L"  \u2014 the kernel's name for a volume; the") +
                                detailUnder + L"machine's files do not say which drive it was";
    } else if (record.pathStatus == PathStatus::NoPathRecorded) {
        parts.pathExplanation = std::wstring(L"  \u2014 the id map names it by ") +
                                kindWords(details.kind) + L", not a path";
    }
    std::wstring& text = parts.fields;
    text += L"Program id:        " + decimalText(details.appId) + L" (" + kindWords(details.kind) +
            L")" + detailLineEnd;
    if (!details.recordedId.empty()) {
        text += L"Recorded as:       " + details.recordedId + detailLineEnd;
    }
    std::wstring user = record.userSid.empty() ? std::wstring(L"(no SID)") : record.userSid;
    if (!record.userName.empty()) {
        user = record.userName + L" (" + record.userSid + L")";
    }
    text += L"User id:           " + decimalText(details.userId) + L", " +
            (details.userInIdMap != 0 ? user : std::wstring(L"not in the id map")) + detailLineEnd;
    if (!record.runTimes.empty()) {
        // Newest first; the hours of older copies stand among them.
        const auto [newest, oldest] =
            std::minmax_element(record.runTimes.begin(), record.runTimes.end(),
                                [](FileTime a, FileTime b) { return a > b; });
        const wchar_t* zone = context.times == TimeBasis::Utc ? L" UTC" : L"";
        text += L"Hours in use:      " + hoursText(record.runTimes.size()) +
                L", the first ending " + formatTimestamp(*oldest, context.times) + zone +
                detailUnder + L"and the last " + formatTimestamp(*newest, context.times) + zone +
                detailLineEnd;
    }
    text += L"Rows:              " + groupedDecimalText(details.usageRows) +
            L" of application usage, " + groupedDecimalText(details.networkRows) +
            L" of network usage" + detailLineEnd;
    for (std::size_t figure = 0; figure < std::size(srumFigures); ++figure) {
        text += std::wstring(srumFigures[figure].label) +
                (recorded(details, figure)
                     ? groupedDecimalText(details.totals.*srumFigures[figure].member)
                     : std::wstring(L"(not recorded)")) +
                detailLineEnd;
    }
    if (details.networkRows != 0) {
        text += L"Interfaces:        " + groupedDecimalText(details.interfaces) + detailLineEnd;
    }
    parts.afterRunTimes =
        L"\r\n    SRUM sums the program's use of the machine for this user per hour:\r\n"
        L"    its times are the ends of the hours with processor use, not its\r\n"
        L"    starts. The figures are summed over every hour of the newest copy\r\n"
        L"    of the database that holds the program; an older copy adds its hours\r\n"
        L"    above, not its figures.\r\n";
}

void members(JsonWriter& json, const LaunchRecord* record) {
    const SrumDetails* details = record != nullptr ? srumDetails(*record) : nullptr;
    if (details == nullptr) {
        for (const char* name : {"srum_program_id", "srum_program_kind", "srum_recorded_id",
                                 "srum_user_id", "srum_user_in_id_map", "srum_usage_rows",
                                 "srum_network_rows", "srum_network_interfaces"}) {
            json.memberNull(name);
        }
        for (const SrumFigure& figure : srumFigures) {
            json.memberNull(figure.key);
        }
        return;
    }
    json.member("srum_program_id", details->appId);
    json.member("srum_program_kind", kindKey(details->kind));
    jsonOptionalText(json, "srum_recorded_id", details->recordedId);
    json.member("srum_user_id", details->userId);
    json.memberFlag("srum_user_in_id_map", details->userInIdMap != 0);
    json.member("srum_usage_rows", details->usageRows);
    json.member("srum_network_rows", details->networkRows);
    json.member("srum_network_interfaces", details->interfaces);
    for (std::size_t figure = 0; figure < std::size(srumFigures); ++figure) {
        if (recorded(*details, figure)) {
            json.member(srumFigures[figure].key, details->totals.*srumFigures[figure].member);
        } else {
            json.memberNull(srumFigures[figure].key);
        }
    }
}

void eventMembers(JsonWriter& json, const LaunchRecord* record) {
    const SrumDetails* details = record != nullptr ? srumDetails(*record) : nullptr;
    if (details == nullptr) {
        json.memberNull("srum_recorded_id");
        return;
    }
    jsonOptionalText(json, "srum_recorded_id", details->recordedId);
}

std::wstring eventMessage(const LaunchRecord& record, std::size_t /*run*/,
                          const std::wstring& onHost, const std::wstring& fromWhere) {
    std::wstring text = L"SRUM" + onHost + L": " + record.name + fromWhere +
                        L" used the processor during the hour ending here";
    if (!record.userSid.empty()) {
        text += L", for " + (record.userName.empty() ? record.userSid : record.userName);
    }
    return text;
}

// One record per program and user, whichever state holds it: an older
// state's hours join the newer's.
std::wstring mergeKey(const LaunchRecord& record) {
    const SrumDetails& details = detailsOf(record);
    const std::wstring program = details.kind == SrumProgramKind::NotInIdMap
                                     ? L"#" + decimalText(details.appId)
                                     : foldText(details.recordedId);
    const std::wstring user =
        details.userInIdMap != 0 ? foldText(record.userSid) : L"#" + decimalText(details.userId);
    return program + L"|" + user;
}

constexpr const wchar_t* reportCaution[] = {
    L"SRUM sums each program's use of the machine per user and hour (Windows 8 and later,",
    L"the last 30 to 60 days); its times are the ends of those hours, not starts.",
    nullptr,
};

std::any newDetails() {
    return SrumDetails{};
}

void joinFacts(const LaunchRecord& record, JoinFacts& facts) {
    const SrumDetails* details = srumDetails(record);
    if (details == nullptr) {
        return;
    }
    const std::wstring_view recorded = details->recordedId;
    if (details->kind == SrumProgramKind::Path && recorded.starts_with(L"\\")) {
        facts.devicePath = recorded;
    } else if (details->kind == SrumProgramKind::Package) {
        facts.package = recorded.substr(0, recorded.find(L'!'));
    }
}

void countWords(const LaunchRecord& record, std::wstring& text) {
    text += record.runTimes.empty() ? std::wstring(L"network use only")
                                    : hoursText(record.runTimes.size()) + L" in use";
}

} // namespace

const RecordSource srumSource = {
    .number = 5,
    .word = L"SRUM",
    .described = L"SRUM (the System Resource Usage Monitor's hourly figures)",
    .runTimeMeaning = L"SRUM: in use during the hour ending",
    .viewMenuText = L"Show &SRUM records",
    .countsRuns = false,
    .timesAreRuns = false,
    .proves = Proves::Ran,
    .coverage =
        {
            .reportLabel = L"SRUM",
            .bannerName = L"SRUM",
            .mayBeAbsent = true,
            .reportCaution = reportCaution,
            .bannerCaution = L"SRUM gives the hours in which each program used the processor, "
                             L"by their ends: not its starts.",
        },
    .counters = srumCounters,
    .facts = {},
    .newDetails = newDetails,
    .namedTimes = nullptr,
    .cells = cells,
    .listDetail = listDetail,
    .detailParts = detailParts,
    .jsonMembers = members,
    .eventMembers = eventMembers,
    .eventMessage = eventMessage,
    .mergeKey = mergeKey,
    .joinFacts = joinFacts,
    .countWords = countWords,
};

} // namespace tidewell
