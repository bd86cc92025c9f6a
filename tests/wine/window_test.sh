#!/usr/bin/env bash
# The window as a person uses it: tidewell.exe under Wine (on Xvfb when there
# is no display) on a prefix seeded with sample history, driven by xdotool,
# with window-probe.exe reading back what the window shows. Keeps
# screenshots of the main window and a detail window, at 96 and at 144 DPI,
# in WORK/screenshots.
set -euo pipefail

tidewell=$1 probe=$2 seed=$3 report=$4 work=$5 corpus=${6:-}

rm -rf "$work"
mkdir -p "$work/screenshots"
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
# A zone an hour or two off UTC, so that View > Times in UTC changes the text.
export TZ=Europe/Berlin
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

cleanup() {
    wineserver -k 2>/dev/null || true
    if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    # A display of our own: Xvfb picks a free number and tells it.
    exec 3< <(Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
    xvfb_pid=$!
    read -r -t 20 number <&3 || { echo "FAIL: Xvfb did not start"; exit 1; }
    export DISPLAY=":$number"
fi

fail() { echo "FAIL: $*"; exit 1; }
probe() { wine "$probe" "$@" 2>/dev/null | tr -d '\r'; }
expect() { # what expected actual
    [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
    echo "ok: $1 ($3)"
}

# One server for the whole test, so that the other user's hive the seed
# loads stays loaded.
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i >/dev/null 2>&1
# One virtual desktop for every process of the prefix, so that the probe
# sees the program's windows and menus get drawn without a window manager.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d tidewell /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v tidewell /d 1280x800 /f >/dev/null 2>&1
wine "$seed"

wine "$tidewell" >/dev/null 2>&1 &
for _ in $(seq 60); do
    [ "$(probe rows)" = "12" ] && break
    sleep 1
done
window=$(xdotool search --name '^Tidewell$' | head -1)
[ -n "$window" ] || fail "no window titled Tidewell"
expect "rows after the first scan" 12 "$(probe rows)"

snapshot() { # name rect-of
    read -r x y w h < <(probe rect "$2")
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$work/screenshots/$1.png"
}
snapshot main main

click_at() { # x y [button]
    xdotool mousemove "$1" "$2" click "${3:-1}"
    sleep 0.7
}

# Typing in the filter narrows the rows; F5 rescans and keeps the filter.
read -r x y < <(probe center edit)
click_at "$x" "$y"
xdotool type --delay 60 calc
sleep 1
expect "rows filtered by 'calc'" 1 "$(probe rows)"
expect "the filtered row" CALC.EXE "$(probe cell 0 1)"
xdotool key --window "$window" F5
sleep 2
expect "rows after F5" 1 "$(probe rows)"
expect "the filter after F5" calc "$(probe filter)"
xdotool key --delay 60 BackSpace BackSpace BackSpace BackSpace
sleep 1
expect "rows with the filter cleared" 12 "$(probe rows)"

# View > Show Prefetch records hides them, and shows them again.
xdotool key --window "$window" alt+v
sleep 0.7
xdotool key p
sleep 1
expect "rows without Prefetch" 6 "$(probe rows)"
xdotool key --window "$window" alt+v
sleep 0.7
xdotool key p
sleep 1
expect "rows with Prefetch again" 12 "$(probe rows)"

# View > Programs (Ctrl+P) shows one row per program, each with what every
# source holds of it; the status bar counts the programs. Ctrl+R goes back.
xdotool key --window "$window" ctrl+p
sleep 1.5
expect "the Programs view's columns" "Name Path Ran per Seen by" \
    "$(probe header 0) $(probe header 1) $(probe header 2) $(probe header 3)"
status=$(probe status 0)
programs=$(echo "$status" | sed -n 's/^ *\([0-9]*\) of \([0-9]*\) programs shown.*/\1/p')
[ -n "$programs" ] || fail "the status bar counts programs: '$status'"
expect "rows in the Programs view" "$programs" "$(probe rows)"
[ "$programs" -ge 1 ] && [ "$programs" -le 12 ] || fail "$programs programs for 12 records"
snapshot programs main
xdotool key --window "$window" ctrl+r
sleep 1.5
expect "rows back in the Records view" 12 "$(probe rows)"
expect "the Records view's first column" Source "$(probe header 0)"

# A click on the Last run header reverses the newest-first order; rows
# without a run time stay at the bottom.
before=$(probe column 1)
read -r x y < <(probe center header 3)
click_at "$x" "$y"
after=$(probe column 1)
expected=$( (echo "$before" | head -n -1 | tac; echo "$before" | tail -n 1) )
expect "order after a header click" "$expected" "$after"

# Show in Explorer on a record whose volume is not identified refuses.
read -r x y < <(probe center row 0)
expect "the oldest row" BACKUP.EXE "$(probe cell 0 1)"
click_at "$x" "$y" 3
xdotool key e
sleep 1.5
expect "Show in Explorer's refusal" \
    "This record does not name a file on this machine, so there is no folder to open." \
    "$(probe messagebox)"
xdotool key Return
sleep 1

# A double-click opens the row's details.
click_at "$x" "$y"
xdotool click --repeat 2 --delay 80 1
sleep 2
expect "the detail window's text" "match BACKUP.EXE" "$(probe detail)"
case "$(probe detail-columns)" in
aligned*) echo "ok: the detail window's values stand in one column ($(probe detail-columns))" ;;
*) fail "the detail window's values: $(probe detail-columns)" ;;
esac
snapshot detail detail

# Ctrl+S (from the detail window, which passes it on), a typed path and
# Enter in the real save dialog write the report tidewell-report writes.
detail_window=$(xdotool search --name '^BACKUP.EXE$' | head -1)
xdotool key --window "$detail_window" ctrl+s
sleep 3
xdotool type --delay 40 "$(winepath -w "$work/window.csv" 2>/dev/null)"
xdotool key Return
sleep 3
case "$(probe messagebox)" in
Saved.*) echo "ok: the export said Saved." ;;
*) fail "no Saved. message after the export" ;;
esac
xdotool key Return
wine "$report" "$(winepath -w "$work/command.csv" 2>/dev/null)" >/dev/null 2>&1 || true
cmp -s "$work/window.csv" "$work/command.csv" || fail "the window's report differs from tidewell-report's"
echo "ok: the window's report equals tidewell-report's"

# A scan runs after the menu command returns: wait up to 30 s for its rows.
wait_for_rows() { # count
    for _ in $(seq 30); do
        [ "$(probe rows)" = "$1" ] && return
        sleep 1
    done
}

open_evidence() { # Windows path: File > Open evidence folder..., the path typed, Enter
    xdotool key --window "$window" alt+f
    sleep 0.7
    xdotool key v
    sleep 3
    xdotool type --delay 40 "$1"
    xdotool key Return
}

export_as() { # file: File > Export report, a typed name, Enter, the message closed
    xdotool key --window "$window" ctrl+s
    sleep 3
    xdotool type --delay 40 "$(winepath -w "$1" 2>/dev/null)"
    xdotool key Return
    sleep 3
    case "$(probe messagebox)" in
    Saved.*) ;;
    *) fail "no Saved. message after exporting $1" ;;
    esac
    xdotool key Return
    sleep 1
}

# A name ending in .json or .jsonl gets the document or the timeline.
probe close-details
sleep 1
export_as "$work/window.json"
wine "$report" --format json "$(winepath -w "$work/command.json" 2>/dev/null)" >/dev/null 2>&1 || true
cmp -s "$work/window.json" "$work/command.json" || fail "the window's JSON differs from tidewell-report's"
export_as "$work/window.jsonl"
wine "$report" --format timeline "$(winepath -w "$work/command.jsonl" 2>/dev/null)" \
    >/dev/null 2>&1 || true
cmp -s "$work/window.jsonl" "$work/command.jsonl" || fail "the window's timeline differs"
echo "ok: the window's JSON and timeline equal tidewell-report's"

# View > Times in UTC: the Last run column and its title, the detail text
# and the exported report follow it; choosing it again goes back.
local_times=$(probe column 3)
expect "the Last run title" "Last run" "$(probe header 3)"
xdotool key --window "$window" alt+v
sleep 0.7
xdotool key t
sleep 1
expect "the Last run title in UTC" "Last run (UTC)" "$(probe header 3)"
utc_times=$(probe column 3)
python3 - "$local_times" "$utc_times" <<'CHECK' || fail "the UTC times are not the local ones moved by the zone's offset"
import datetime, sys, zoneinfo
zone = zoneinfo.ZoneInfo("Europe/Berlin")
pairs = list(zip(sys.argv[1].split("\n"), sys.argv[2].split("\n")))
moved = 0
for local, utc in pairs:
    if local == "not recorded" or utc == "not recorded":
        assert local == utc, (local, utc)
        continue
    at = datetime.datetime.fromisoformat(utc).replace(tzinfo=datetime.timezone.utc)
    assert at.astimezone(zone).strftime("%Y-%m-%d %H:%M:%S") == local, (local, utc)
    moved += 1
assert moved > 0 and len(pairs) > 0
print(f"ok: {moved} Last run cells moved from local time to UTC")
CHECK
read -r x y < <(probe center row 0)
click_at "$x" "$y"
xdotool click --repeat 2 --delay 80 1
sleep 2
expect "the detail window's text in UTC" "match $(probe cell 0 1)" "$(probe detail-utc)"
probe close-details
sleep 1
export_as "$work/window-utc.csv"
wine "$report" --utc "$(winepath -w "$work/command-utc.csv" 2>/dev/null)" >/dev/null 2>&1 || true
cmp -s "$work/window-utc.csv" "$work/command-utc.csv" || fail "the window's UTC report differs"
echo "ok: the window's UTC report equals tidewell-report --utc"
xdotool key --window "$window" alt+v
sleep 0.7
xdotool key t
sleep 1
expect "the Last run title back in local time" "Last run" "$(probe header 3)"
expect "the Last run cells back in local time" "$local_times" "$(probe column 3)"

# File > Open evidence folder: the folder picker takes a typed path; the
# window then shows the evidence, names it, and Rescan reads it again.
if [ -n "$corpus" ] && [ -d "$corpus/prefetch" ] && [ -d "$corpus/hives" ]; then
    evidence="$work/evidence"
    mkdir -p "$evidence/C/Windows/Prefetch" "$evidence/C/Users/alice" "$evidence/C/Users/bob"
    cp "$corpus"/prefetch/EZ-Prefetch/Win7/*.pf "$evidence/C/Windows/Prefetch/"
    cp "$corpus/hives/regipy/NTUSER.DAT" "$evidence/C/Users/alice/NTUSER.DAT"
    cp "$corpus/hives/plaso/NTUSER-WIN7.DAT" "$evidence/C/Users/bob/ntuser.dat"
    root=$(winepath -w "$evidence" 2>/dev/null)
    status=0
    wine "$report" --evidence "$root" "$(winepath -w "$work/evidence.csv" 2>/dev/null)" \
        >/dev/null 2>&1 || status=$?
    expect "tidewell-report on the evidence" 3 "$status"
    expected_rows=$(python3 -c "
import sys
text = open(sys.argv[1], 'rb').read()[2:].decode('utf-16-le').split('\r\n')
print(len(text) - text.index('') - 3)" "$work/evidence.csv")
    open_evidence "$root"
    wait_for_rows "$expected_rows"
    expect "rows of the evidence" "$expected_rows" "$(probe rows)"
    expect "the title names the evidence" "Tidewell - evidence folder $root\\C" "$(probe title)"
    snapshot evidence main
    xdotool key --window "$window" F5
    sleep 3
    expect "rows after rescanning the evidence" "$expected_rows" "$(probe rows)"
    export_as "$work/window-evidence.csv"
    cmp -s "$work/window-evidence.csv" "$work/evidence.csv" ||
        fail "the window's report of the evidence differs from tidewell-report --evidence"
    echo "ok: the window's report of the evidence equals tidewell-report's"
    read -r x y < <(probe center row 0)
    click_at "$x" "$y"
    xdotool click --repeat 2 --delay 80 1
    sleep 2
    case "$(probe detail "$root")" in
    match*) echo "ok: the evidence record's detail text" ;;
    *) fail "the evidence record's detail text: $(probe detail "$root")" ;;
    esac
    probe close-details
    sleep 1
    # A folder that holds no Windows drive: nothing read, and the banner says so.
    mkdir -p "$work/not-evidence/notes"
    open_evidence "$(winepath -w "$work/not-evidence" 2>/dev/null)"
    wait_for_rows 0
    expect "rows of a folder without Windows" 0 "$(probe rows)"
    case "$(probe banner)" in
    *"No record could be read from the evidence"*) echo "ok: the banner says no record could be read" ;;
    *) fail "the banner for a folder without Windows: $(probe banner)" ;;
    esac
    xdotool key --window "$window" alt+f
    sleep 0.7
    xdotool key t
    wait_for_rows 12
    expect "rows after Scan this machine" 12 "$(probe rows)"
    expect "the title after Scan this machine" Tidewell "$(probe title)"
else
    echo "corpus folder is absent: the evidence folder part is skipped"
fi

# At 144 DPI on the same 1280x800 desktop the scaled size (1650x990) is
# larger than the screen: the window opens fitted to the work area, status
# bar on screen, and a detail window's values still stand in one column.
inside() { # what x y w h within-x within-y within-w within-h
    local what=$1 x=$2 y=$3 w=$4 h=$5 ax=$6 ay=$7 aw=$8 ah=$9
    if [ "$x" -lt "$ax" ] || [ "$y" -lt "$ay" ] || [ $((x + w)) -gt $((ax + aw)) ] ||
        [ $((y + h)) -gt $((ay + ah)) ]; then
        fail "$what at $x $y $w $h is not inside $ax $ay $aw $ah"
    fi
    echo "ok: $what inside the work area ($x $y $w $h)"
}
probe close-details
probe close-main
for _ in $(seq 20); do
    [ "$(probe rows)" = "no Tidewell window" ] && break
    sleep 0.5
done
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wine "$tidewell" >/dev/null 2>&1 &
for _ in $(seq 60); do
    [ "$(probe rows)" = "12" ] && break
    sleep 1
done
expect "rows at 144 DPI" 12 "$(probe rows)"
window=$(xdotool search --name '^Tidewell$' | head -1)
read -r ax ay aw ah < <(probe screen)
read -r x y w h < <(probe rect main)
inside "the main window at 144 DPI" "$x" "$y" "$w" "$h" "$ax" "$ay" "$aw" "$ah"
read -r sx sy sw sh < <(probe rect status)
inside "the status bar at 144 DPI" "$sx" "$sy" "$sw" "$sh" "$ax" "$ay" "$aw" "$ah"
snapshot main-144dpi main
read -r x y < <(probe center row 0)
click_at "$x" "$y"
xdotool click --repeat 2 --delay 80 1
sleep 2
case "$(probe detail-columns)" in
aligned*) echo "ok: at 144 DPI the values stand in one column ($(probe detail-columns))" ;;
*) fail "the detail window's values at 144 DPI: $(probe detail-columns)" ;;
esac
read -r x y w h < <(probe rect detail)
inside "the detail window at 144 DPI" "$x" "$y" "$w" "$h" "$ax" "$ay" "$aw" "$ah"
snapshot detail-144dpi detail

echo "window: all checks passed; screenshots in $work/screenshots"
