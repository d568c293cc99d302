# cmake -DINPUT=<file> -DOUTPUT=<cpp> -DSYMBOL=<name> -DSYMBOL_SIZE=<name> -P EmbedFile.cmake
# Writes SYMBOL[] with the file's bytes and SYMBOL_SIZE with their count (no
# terminator counted).
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n\nextern const unsigned char ${SYMBOL}[];\nextern const size_t ${SYMBOL_SIZE};\n\nconst unsigned char ${SYMBOL}[] = {\n${bytes}\n};\nconst size_t ${SYMBOL_SIZE} = ${size};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
