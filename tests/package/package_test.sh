#!/usr/bin/env bash
# The Debian package as a Linux workstation gets it: made by CPack from this
# build, its dependencies the libraries the tool links, unpacked into a
# scratch root (as dpkg -i would place it, without touching this machine),
# and the installed tool run on an evidence folder and on the corpus disk
# image, its reports the same as those of the tool in the build tree.
set -euo pipefail

build=$1   # the build tree, with its CPackConfig.cmake
built=$2   # the tool in the build tree
seed=$3    # evidence-seed, which lays out a collected drive
corpus=$4  # the shared corpus folder
work=$5    # a scratch folder in the build tree

rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $*"; exit 1; }

echo "-- the package"
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack did not make the package"; }
packages=("$work"/out/tidewell-report_*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || fail "no single tidewell-report_*.deb"
package=${packages[0]}
echo "$(basename "$package")"
depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
# Every shared library the tool links itself is a dependency, by its package.
needed=$(readelf -d "$built" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
while read -r library; do
    grep -qxF "$(basename "$library")" <<<"$needed" || continue
    owner=$(dpkg -S "$library" 2>/dev/null | head -n 1 | cut -d: -f1) || true
    [ -n "$owner" ] || continue
    grep -qE "(^|, )$owner( |,|$)" <<<"$depends" ||
        fail "the tool links $library of $owner, which the package does not depend on"
done < <(ldd "$built" | awk '/=> \//{print $3}')
for needed in libtsk libvshadow libqcow; do
    grep -q "$needed" <<<"$depends" || fail "no dependency on $needed"
done
contents=$(dpkg-deb -c "$package")
for file in ./usr/bin/tidewell-report ./usr/share/man/man1/tidewell-report.1.gz; do
    grep -qF " $file" <<<"$contents" || fail "the package holds no $file"
done

echo "-- unpacked into a scratch root"
root="$work/root"
dpkg -x "$package" "$root"
tool="$root/usr/bin/tidewell-report"
[ -x "$tool" ] || fail "no installed tool"
if readelf -d "$tool" | grep -qiE "rpath|runpath"; then
    fail "the installed tool keeps a search path into the build tree"
fi
! ldd "$tool" | grep -q "not found" || fail "a library the tool needs is missing"
version=$("$tool" --version)
[ "$version" = "$("$built" --version)" ] || fail "--version said $version"
echo "$version"
manual=$(zcat "$root/usr/share/man/man1/tidewell-report.1.gz")
for section in NAME SYNOPSIS OPTIONS "EXIT STATUS" EXAMPLES; do
    grep -q "^\.SH \"*$section\"*" <<<"$manual" || fail "the manual page has no $section"
done

echo "-- the installed tool on an evidence folder"
"$seed" "$work/evidence" >/dev/null
status=0
"$tool" --evidence "$work/evidence" "$work/installed.csv" >/dev/null || status=$?
[ "$status" -eq 3 ] || fail "the evidence folder gave exit status $status"
"$built" --evidence "$work/evidence" "$work/built.csv" >/dev/null || true
cmp "$work/installed.csv" "$work/built.csv" || fail "the installed tool's report differs"

image="$corpus/images/corpus-gpt.E01"
if [ -f "$image" ]; then
    echo "-- the installed tool on the corpus disk image, to standard output"
    status=0
    "$tool" --evidence "$image" --format timeline - >"$work/image.jsonl" 2>"$work/image.err" ||
        status=$?
    [ "$status" -eq 3 ] || { cat "$work/image.err"; fail "the image gave exit status $status"; }
    "$built" --evidence "$image" --format timeline - >"$work/image-built.jsonl" 2>/dev/null || true
    cmp "$work/image.jsonl" "$work/image-built.jsonl" || fail "the image timelines differ"
    events=$(wc -l <"$work/image.jsonl")
    [ "$events" -gt 0 ] || fail "no events from the image"
    echo "$events events; $(cat "$work/image.err")"
    # The rows a fleet collection would make of them, deleted files' included.
    python3 "$(dirname "$0")/../velociraptor/check_artifact.py" rows \
        "$(dirname "$0")/../../contrib/velociraptor/Windows.Tidewell.LaunchHistory.yaml" \
        "$work/image.jsonl"
else
    echo "corpus image absent: the image run is left out"
fi
echo "package: all checks passed"
