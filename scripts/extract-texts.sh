#!/bin/sh
# Extracts every interface text into two templates:
#   OUTDIR/kevro_zanol.pot  texts of the window layout (wxrc --gettext)
#   OUTDIR/KEVRO_Varid.pot  texts of the program's sources
# usage: extract-texts.sh SOURCE_DIR OUTDIR
set -eu
src=$1
out=$2
mkdir -p "$out/texts"

# wxrc writes the texts in the locale's encoding: UTF-8, whatever the caller's.
LC_ALL=C.UTF-8 wxrc --gettext "$src/resources/resource.xrc" > "$out/texts/layout.cpp"
xgettext --language=C++ --from-code=UTF-8 --keyword=_ --no-location \
    --sort-output -o "$out/kevro_zanol.pot" "$out/texts/layout.cpp"

# xgettext does not expand wxT("..."): strip the macro from copies first.
list=$out/texts/sources.txt
: > "$list"
for dir in app calc grid ui archive report cli; do
    [ -d "$src/$dir" ] || continue
    find "$src/$dir" -name '*.cpp' -o -name '*.h' | sort | while read -r f; do
        copy=$out/texts/$(echo "${f#"$src"/}" | tr / _)
        sed -e 's/wx[TS](\("\([^"\\]\|\\.\)*"\))/\1/g' "$f" > "$copy"
        echo "$copy" >> "$list"
    done
done
# With a header: it declares the UTF-8 of texts such as "Save as…".
xgettext --language=C++ --from-code=UTF-8 --keyword=_ --keyword=wxGetTranslation \
    --keyword=wxTRANSLATE --keyword=wxPLURAL:1,2 --no-location --sort-output \
    -o "$out/KEVRO_Varid.pot" -f "$list"
touch "$out/kevro_zanol.pot" "$out/KEVRO_Varid.pot"
