// How a BAM/DAM record is shown, and how the banner and the report speak of
// the source: its row of the table of sources.
#include "bam/bam_counters.h"
#include "bam/bam_details.h"
#include "bam/bam_source.h"
#include "platform/json_text.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

const BamDetails& detailsOf(const LaunchRecord& record) {
    static const BamDetails none;
    const BamDetails* details = bamDetails(record);
    return details != nullptr ? *details : none;
}

const wchar_t* moderatorWord(const BamDetails& details) {
    return details.desktopModerator != 0 ? L"dam" : L"bam";
}

void cells(const LaunchRecord&, SourceCells&) {}

std::wstring listDetail(const LaunchRecord& record) {
    const BamDetails& details = detailsOf(record);
    std::wstring text = details.desktopModerator != 0 ? L"desktop moderator" : L"";
    if (details.packagedApplication != 0) {
        text += (text.empty() ? L"" : L", ") + std::wstring(L"packaged application");
    }
    return text;
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const BamDetails& details = detailsOf(record);
    if (record.pathStatus == PathStatus::VolumeNotIdentified) {
        parts.pathExplanation =
            context.evidence
                ? std::wstring(L"  \u2014 the kernel's name for a volume; the examined") +
                      detailUnder + L"machine's files do not say which drive it was"
                : std::wstring(L"  \u2014 the kernel's name for a volume that is not") +
                      detailUnder + L"mounted as a drive here now";
    } else if (record.pathStatus == PathStatus::NoPathRecorded) {
        parts.pathExplanation = L"  \u2014 a packaged application, named by its family";
    } else if (record.pathStatus == PathStatus::Resolved && !context.evidence) {
        parts.afterPath = std::wstring(L"    Placed on the drive this machine's kernel gives that "
                                       L"volume now: ") +
                          details.recordedName + detailLineEnd;
    }
    std::wstring& text = parts.fields;
    text += L"User:              " +
            (record.userName.empty() ? std::wstring(L"(the SID names no known account)")
                                     : record.userName) +
            detailLineEnd;
    text += L"User SID:          " + record.userSid + detailLineEnd;
    text += std::wstring(L"Moderator:         ") +
            (details.desktopModerator != 0 ? L"Desktop Activity Moderator (dam)"
                                           : L"Background Activity Moderator (bam)") +
            detailLineEnd;
    text += L"Recorded name:     " + details.recordedName + detailLineEnd;
    parts.runTimesTitle = L" (the last run the moderator kept for this user)";
    parts.afterRunTimes =
        L"\r\n    The moderator keeps only each program's last run for each user, not\r\n"
        L"    how often it ran.\r\n";
}

void members(JsonWriter& json, const LaunchRecord* record) {
    const BamDetails* details = record != nullptr ? bamDetails(*record) : nullptr;
    if (details == nullptr) {
        json.memberNull("moderator");
        json.memberNull("recorded_name");
        json.memberNull("packaged_application");
        return;
    }
    json.member("moderator", moderatorWord(*details));
    json.member("recorded_name", details->recordedName);
    json.memberFlag("packaged_application", details->packagedApplication != 0);
}

std::wstring eventMessage(const LaunchRecord& record, std::size_t /*run*/,
                          const std::wstring& onHost, const std::wstring& fromWhere) {
    const std::wstring who = !record.userName.empty() ? record.userName : record.userSid;
    return record.name + L" was last run by " + who + onHost + fromWhere + L", as the " +
           (detailsOf(record).desktopModerator != 0 ? L"desktop" : L"background") +
           L" activity moderator recorded it";
}

// One record per moderator, user and program: an older copy's time for the
// same value is an earlier run.
std::wstring mergeKey(const LaunchRecord& record) {
    const BamDetails& details = detailsOf(record);
    return std::wstring(moderatorWord(details)) + L"|" + foldText(record.userSid) + L"|" +
           foldText(details.recordedName);
}

constexpr const wchar_t* reportCaution[] = {
    L"BAM/DAM keeps only the last run of each program for each user.",
    nullptr,
};

std::any newDetails() {
    return BamDetails{};
}

// The value's name is the kernel's path of the program, or a packaged
// application's family name.
void joinFacts(const LaunchRecord& record, JoinFacts& facts) {
    const BamDetails* details = bamDetails(record);
    if (details == nullptr) {
        return;
    }
    if (details->packagedApplication != 0) {
        facts.package = details->recordedName;
    } else if (startsWithFolded(details->recordedName, L"\\Device\\")) {
        facts.devicePath = details->recordedName;
    }
}

void countWords(const LaunchRecord& record, std::wstring& text) {
    const BamDetails* details = bamDetails(record);
    text += details != nullptr && details->desktopModerator != 0 ? L"last run (dam)"
                                                                 : L"last run (bam)";
}

} // namespace

const RecordSource bamSource = {
    .number = 2,
    .word = L"BAM/DAM",
    .described = L"BAM/DAM (the activity moderators' record of each user's last run)",
    .runTimeMeaning = L"BAM/DAM: last run",
    .viewMenuText = L"Show &BAM/DAM records",
    .countsRuns = false,
    .timesAreRuns = true,
    .proves = Proves::Ran,
    .coverage =
        {
            .reportLabel = L"BAM/DAM",
            .bannerName = L"BAM/DAM",
            .mayBeAbsent = true,
            .reportCaution = reportCaution,
            .bannerCaution = L"BAM/DAM keeps only each program's last run for each user.",
        },
    .counters = bamCounters,
    .facts = {},
    .newDetails = newDetails,
    .namedTimes = nullptr,
    .cells = cells,
    .listDetail = listDetail,
    .detailParts = detailParts,
    .jsonMembers = members,
    .eventMembers = members,
    .eventMessage = eventMessage,
    .mergeKey = mergeKey,
    .joinFacts = joinFacts,
    .countWords = countWords,
};

} // namespace tidewell
