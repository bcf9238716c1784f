#!/usr/bin/env bash
# Usage: make-help.sh SOURCE-DIR RES-STRINGS.rc WORK-DIR OUTPUT.chm
# Builds the bilingual help file. The error pages are made from the error
# texts of the resource library, so the help always says what the program says.
set -euo pipefail
src=$1 strings=$2 work=$3 out=$4

rm -rf "$work"
mkdir -p "$work/en" "$work/ja"
cp "$src/zep.hhp" "$src/index.html" "$work/"
for page in window outputs settings batch; do
  cp "$src/en/$page.html" "$work/en/"
  cp "$src/ja/$page.html" "$work/ja/"
done
# The viewer reads the table of contents in the help file's language (Japanese).
iconv -f UTF-8 -t CP932 "$src/toc.hhc" >"$work/toc.hhc"

# "number<TAB>Japanese<TAB>English" for every pair of the error block.
error_pairs() {
  awk '
    /^\/\/ Error messages/ { inside = 1; next }
    inside && /^END/ { exit }
    inside && /^[ \t]*\/\/ / { label = $2; if (label !~ /^-?[0-9]+$/) label = "other"; texts = 0; next }
    inside && /^[ \t]*[0-9]+, "/ {
      text = $0; sub(/^[ \t]*[0-9]+, "/, "", text); sub(/"[ \t]*$/, "", text)
      gsub(/""/, "\"", text); gsub(/&/, "\\&amp;", text); gsub(/</, "\\&lt;", text); gsub(/>/, "\\&gt;", text)
      if (++texts == 1) japanese = text; else printf "%s\t%s\t%s\n", label, japanese, text
    }' "$strings"
}
# By number, the text for any other number last.
pairs=$(error_pairs)
rows=$(printf '%s\n' "$pairs" | grep -v '^other' | sort -t "$(printf '\t')" -k1,1n
       printf '%s\n' "$pairs" | grep '^other' || true)
if [ "$(printf '%s\n' "$rows" | grep -c '^-\?[0-9]')" -lt 80 ]; then
  echo "make-help: could not read the error texts from $strings" >&2
  exit 1
fi

# Replaces the @ERROR_ROWS@ line of a page with one table row per error.
error_page() { # language column (2 Japanese, 3 English), "other" label, template, page
  printf '%s\n' "$rows" | awk -F '\t' -v column="$1" -v other="$2" -v template="$3" '
    { number[NR] = ($1 == "other") ? other : $1; text[NR] = $column }
    END {
      while ((getline line < template) > 0) {
        if (line != "@ERROR_ROWS@") { print line; continue }
        for (i = 1; i <= NR; i++) printf "<tr><td>%s</td><td>%s</td></tr>\n", number[i], text[i]
      }
    }' >"$4"
}
error_page 3 "Other numbers" "$src/en/errors.html.in" "$work/en/errors.html"
error_page 2 "その他の番号" "$src/ja/errors.html.in" "$work/ja/errors.html"

if ! log=$(cd "$work" && chmcmd zep.hhp 2>&1); then
  printf '%s\n' "$log" >&2
  exit 1
fi
cp "$work/zep.chm" "$out"
