#!/bin/bash
# kalvest-data export --spreadsheet read back by a real spreadsheet: LibreOffice Calc,
# headless, opening the CSV as its text import does with the charset left to it (the
# byte-order mark decides), date and number detection on, in an English locale where "8/1"
# reads as a date, and quoted fields kept as text. Every value must come back as the text
# it was; the plain export under the same settings must not (8/1 turns into a date), so
# that the check can tell the two apart.
# Usage: spreadsheet_test.sh KALVEST_DATA
set -euo pipefail
kalvest_data=$1
soffice=$(command -v soffice || command -v libreoffice || true)
if [[ -z $soffice ]]; then
    echo "skipped: LibreOffice Calc (soffice) is not installed; it is too large to be a build dependency"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home # a profile of its own, and no other running instance to talk to

printf 'Nsa_famili;Nsa_initsi;Nsa_home;Nsa_room;Nsa_tele\r\nИВАНОВ;А.Б.;8/1;12;01-02\r\nПЕТРОВ;В.;3/4;007;2-33-44\r\n' \
    >"$work/in.csv"
"$kalvest_data" import "$work/in.csv" -o "$work/city.cds"
"$kalvest_data" export "$work/city.cds" --spreadsheet -o "$work/sheet.csv"
"$kalvest_data" export "$work/city.cds" -o "$work/plain.csv"

# The cells of the first table as "type:text" lines, in order.
cells() {
    tr -d '\n' <"$1" | grep -o 'office:value-type="[a-z]*"[^>]*> *<text:p>[^<]*' \
        | sed 's/office:value-type="\([a-z]*\)".*<text:p>\(.*\)/\1:\2/'
}
read_back() {
    "$soffice" --headless --infilter='CSV:44,34,,1,,1033,true,true' --convert-to fods \
        --outdir "$work/out" "$work/$1.csv" >"$work/soffice.log" 2>&1 \
        || { cat "$work/soffice.log"; exit 1; }
    cells "$work/out/$1.fods"
}

expected=$(printf '%s\n' string:Nsa_famili string:Nsa_initsi string:Nsa_home string:Nsa_room \
    string:Nsa_tele string:ИВАНОВ string:А.Б. string:8/1 string:12 string:01-02 string:ПЕТРОВ \
    string:В. string:3/4 string:007 string:2-33-44)
got=$(read_back sheet)
if [[ $got != "$expected" ]]; then
    echo "FAILED: the spreadsheet export reads back as"
    echo "$got"
    exit 1
fi
echo "ok: every value of the spreadsheet export is read back as its text"
plain=$(read_back plain)
if [[ $plain == "$expected" ]]; then
    echo "FAILED: the plain export reads back unchanged too; the check proves nothing"
    exit 1
fi
echo "ok: the plain export does not survive the same reading"
