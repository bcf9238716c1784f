#!/usr/bin/env bash
# Usage: check-help.sh zep.chm ResStrings.rc
# Opens the compiled help on the host and checks that both languages have
# every page, that the links between them resolve, and that the error pages
# give every error number with the resource library's own text.
set -uo pipefail
chm=$1 strings=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "check-help: $*" >&2; failures=$((failures + 1)); }

chmls extractall "$chm" "$work" >/dev/null 2>&1 || { echo "check-help: cannot open $chm" >&2; exit 1; }

for language in en ja; do
  for page in window outputs settings batch errors; do
    [ -s "$work/$language/$page.html" ] || fail "$language/$page.html is missing"
  done
done

# Every link of every page leads to a page of the help.
for page in "$work"/index.html "$work"/en/*.html "$work"/ja/*.html; do
  for link in $(grep -o 'href="[^"#]*"' "$page" | sed 's/^href="//; s/"$//'); do
    [ -f "$(dirname "$page")/$link" ] || fail "$(basename "$page") links to missing $link"
  done
done

# The table of contents is stored in the help's own code page (Japanese).
toc=$(iconv -f CP932 -t UTF-8 "$work/toc.hhc" 2>/dev/null) || fail "toc.hhc is not CP932"
for entry in "The main window" "Error numbers" "メイン ウィンドウ" "エラー番号"; do
  grep -qF "$entry" <<<"$toc" || fail "the table of contents lacks \"$entry\""
done

# Each numbered error of the library appears with its text in both languages.
numbers=$(grep -oE '^ *// -?[0-9]+$' "$strings" | grep -oE -- '-?[0-9]+')
[ "$(wc -w <<<"$numbers")" -ge 85 ] || fail "fewer than 85 error numbers in $strings"
for number in $numbers; do
  for language in en ja; do
    grep -q "<tr><td>$number</td>" "$work/$language/errors.html" || fail "$language: no row for $number"
  done
done
english=$(grep -A2 '^    // 915$' "$strings" | sed -n '3s/^ *[0-9]*, "\(.*\)"$/\1/p')
japanese=$(grep -A2 '^    // 915$' "$strings" | sed -n '2s/^ *[0-9]*, "\(.*\)"$/\1/p')
grep -qF "<tr><td>915</td><td>$english</td></tr>" "$work/en/errors.html" || fail "en: the text of 915"
grep -qF "<tr><td>915</td><td>$japanese</td></tr>" "$work/ja/errors.html" || fail "ja: the text of 915"

[ $failures -eq 0 ] && echo "check-help: zep.chm is complete"
exit $((failures > 0))
