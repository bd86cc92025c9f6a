#!/bin/sh
# private_object.sh ARCHIVE PREFIX OUTPUT: links every member of a static
# library into one object whose global symbols, but for those that start with
# PREFIX, are made local. The libyal libraries each carry and export their own
# copies of the support libraries they share (libcdata, libfvalue, ...), of
# different versions; linked as shared libraries, one's calls into them bind
# to whichever copy the loader met first. A private object keeps its own.
set -eu
archive=$1
prefix=$2
output=$3
whole="$output.whole.o"
keep="$output.keep"
"${LD:-ld}" -r --whole-archive "$archive" -o "$whole"
"${NM:-nm}" -g --defined-only "$whole" | awk -v prefix="$prefix" 'index($3, prefix) == 1 { print $3 }' >"$keep"
[ -s "$keep" ] || { echo "private_object.sh: $archive defines nothing named $prefix*" >&2; exit 1; }
"${OBJCOPY:-objcopy}" --keep-global-symbols="$keep" "$whole" "$output"
rm -f "$whole"
