#!/bin/sh
# Fails when an interface text of the layout or of the sources has no
# translation in a language's catalogues (both domains taken together).
# usage: check-catalogues.sh SOURCE_DIR WORKDIR
set -eu
src=$1
work=$2
sh "$src/scripts/extract-texts.sh" "$src" "$work"
msgcat --use-first "$work/kevro_zanol.pot" "$work/KEVRO_Varid.pot" > "$work/all.pot"
status=0
for lang in ru uk; do
    msgcat --use-first "$src/po/$lang/kevro_zanol.po" "$src/po/$lang/KEVRO_Varid.po" \
        > "$work/$lang.po"
    if ! msgcmp "$work/$lang.po" "$work/all.pot"; then
        echo "catalogues of '$lang' miss the texts listed above" >&2
        status=1
    fi
done
exit $status
