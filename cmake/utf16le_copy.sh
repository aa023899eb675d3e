#!/bin/sh
# Writes a UTF-8 text file as UTF-16LE with a byte-order mark and CRLF line
# ends, the form of the files regedit exports (and what Wine's regedit
# imports without guessing).
#   sh utf16le_copy.sh INPUT OUTPUT
set -eu
mkdir -p "$(dirname "$2")"
{
  printf '\377\376'
  sed -e 's/\r$//' -e 's/$/\r/' "$1" | iconv -f UTF-8 -t UTF-16LE
} > "$2.tmp"
mv "$2.tmp" "$2"
