"""Checks a Tidewell CSV report against its own format and counts.

Usage: check_report.py REPORT SUMMARY-LINE EXPECTED-STATUS COUNTER-TABLE
"""
import csv
import io
import re
import sys

def failure_labels(table_path):
    """The report labels of the failure counters, from the program's own
    table (written by its counter-table tool), so that this check and the
    program cannot disagree."""
    labels = []
    for line in open(table_path, encoding="utf-8").read().splitlines():
        if line.strip():
            _key, failure, _kind, _owner, label = line.split("\t", 4)
            if failure == "1":
                labels.append(label)
    if len(labels) < 15:
        fail(f"the counter table in {table_path} could not be read")
    return labels


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def main():
    path, summary, expected = sys.argv[1], sys.argv[2], int(sys.argv[3])
    failures = failure_labels(sys.argv[4])
    raw = open(path, "rb").read()
    if not raw.startswith(b"\xff\xfe"):
        fail("no UTF-16LE byte-order mark")
    text = raw[2:].decode("utf-16-le")
    if not text.endswith("\r\n") or "\n" in text.replace("\r\n", ""):
        fail("lines must end in CR LF")
    lines = text[:-2].split("\r\n")
    blank = lines.index("")
    header, columns, rows = lines[:blank], lines[blank + 1], lines[blank + 2:]
    if header[0] != "# Tidewell" or not all(line.startswith("# ") for line in header):
        fail("the header block")
    if columns != ("Source,Name,Path,Path status,Run count,Last run,All recorded runs,User,"
                   "User SID,Focus count,Focus seconds,Format version,Hash,Referenced files,"
                   "Source file"):
        fail("the column line")
    counters = {}
    for line in header:
        match = re.match(r"# (.*),(\d+)$", line)
        if match:
            counters[match.group(1)] = int(match.group(2))
    records = list(csv.reader(io.StringIO("\n".join(rows))))
    if any(len(record) != 15 for record in records):
        fail("a record line without fifteen fields")
    if not all(row.startswith('"') and row.endswith('"') for row in rows):
        fail("every field is quoted")

    seen = counters["prefetch files seen"]
    outcomes = sum(counters[name] for name in (
        "prefetch unreadable", "prefetch decompression failed", "prefetch not a prefetch file",
        "prefetch malformed", "prefetch unknown version", "prefetch parsed"))
    if seen != outcomes:
        fail(f"prefetch: {seen} seen but {outcomes} outcomes")
    ua_seen = counters["userassist values seen"]
    ua_outcomes = sum(counters[name] for name in (
        "userassist bookkeeping skipped (expected)", "userassist wrong registry type",
        "userassist value too large to be an entry", "userassist unreadable",
        "userassist wrong size", "userassist parsed"))
    if ua_seen != ua_outcomes:
        fail(f"userassist: {ua_seen} seen but {ua_outcomes} outcomes")
    # One line per record each source made, and no source without its count.
    made = {"Prefetch": "prefetch parsed", "UserAssist": "userassist parsed",
            "BAM/DAM": "BAM/DAM parsed", "AppCompatCache": "AppCompatCache entries read",
            "Amcache": "Amcache entries read", "FeatureUsage": "FeatureUsage counts read",
            "RunMRU": "RunMRU commands read",
            "Compatibility store": "Compatibility Assistant store programs read",
            "MUICache": "MUICache programs read", "RecentApps": "RecentApps programs read",
            "PCA": ("PCA lines read", "PCA lines without their fields (not shown)")}
    for source, counter in made.items():
        rows_of_it = sum(1 for record in records if record[0] == source)
        # A count, or the lines read less those left out.
        expected_rows = counters.get(counter, 0) if isinstance(counter, str) else \
            counters.get(counter[0], 0) - counters.get(counter[1], 0)
        if rows_of_it != expected_rows:
            fail(f"{rows_of_it} {source} lines, {expected_rows} made")
    if any(record[0] not in made for record in records):
        fail("a line of no known source")
    # Where every key could be read, every BAM/DAM value ends in one outcome.
    if "BAM/DAM values seen" in counters and counters["BAM/DAM keys unreadable"] == 0:
        bam_outcomes = sum(counters[name] for name in (
            "BAM/DAM bookkeeping skipped (expected)",
            "BAM/DAM values in an unknown shape (not binary, or shorter than a time)",
            "BAM/DAM parsed"))
        if counters["BAM/DAM values seen"] != bam_outcomes:
            fail("BAM/DAM: a value without its one outcome")

    evidence = len(header) > 1 and header[1].startswith("# Evidence folder,")
    machine = "the examined machine" if evidence else "this machine"
    if not header[-1].startswith(f"# Result is a complete picture of {machine},"):
        fail(f"the completeness line: {header[-1]}")
    complete = header[-1].endswith(",yes")
    failed = any(counters.get(name, 0) for name in failures)  # evidence reports list more
    if complete != (expected == 0) or (expected == 0 and failed):
        fail(f"the completeness line: {header[-1]}")
    match = re.match(r"tidewell-report: (\d+) records?(?: from the evidence folder .*)? written to "
                     r".*; complete picture: (yes|no)", summary)
    if not match or int(match.group(1)) != len(records):
        fail(f"the summary line: {summary!r}")
    if (match.group(2) == "yes") != complete:
        fail("the summary and the report disagree")
    prefetch_rows = sum(1 for record in records if record[0] == "Prefetch")
    print(f"report ok: {len(records)} records, {prefetch_rows} from Prefetch, complete: {complete}")


main()
