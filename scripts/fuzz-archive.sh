#!/bin/sh
# Fuzzes the archive reader with libFuzzer (clang-14, ASan and UBSan).
#   scripts/fuzz-archive.sh [seconds] [work directory]
# The test suite runs it for about 25 s. A longer run, e.g. an hour:
#   scripts/fuzz-archive.sh 3600 /tmp/archive-fuzz
# The corpus in <work>/corpus grows across runs; crashes land in <work>/.
set -eu
SECONDS_TO_RUN=${1:-30}
WORK=${2:-$(mktemp -d /tmp/archive-fuzz.XXXXXX)}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
CXX=${FUZZ_CXX:-clang++-14}
mkdir -p "$WORK/corpus"

WX_CFLAGS=$(wx-config --cxxflags base)
WX_LIBS=$(wx-config --libs base)
COMMON="-std=c++17 -g -O1 -DTIXML_USE_STL -I$ROOT $WX_CFLAGS"
# The record's checks read numbers as the grid does, which brings the engine.
SRC="$ROOT/archive/ArchiveDocument.cpp $ROOT/archive/SafeFile.cpp $ROOT/grid/PanelContents.cpp
    $ROOT/grid/CalibrationDetails.cpp $ROOT/grid/ClipboardBlock.cpp $ROOT/grid/GridData.cpp
    $ROOT/calc/Calculator.cpp $ROOT/calc/K3March.cpp $ROOT/calc/K3Bracketing.cpp
    $ROOT/calc/ErrorReport.cpp $ROOT/app/Globals.cpp"

# shellcheck disable=SC2086
$CXX $COMMON -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    $SRC "$ROOT/tests/archive/fuzz/ArchiveReaderFuzz.cpp" \
    -o "$WORK/archive_reader_fuzz" $WX_LIBS -ltinyxml
# shellcheck disable=SC2086
$CXX $COMMON $SRC "$ROOT/tests/archive/fuzz/ArchiveFuzzSeeds.cpp" \
    -o "$WORK/archive_fuzz_seeds" $WX_LIBS -ltinyxml
"$WORK/archive_fuzz_seeds" "$WORK/corpus"

cd "$WORK"
exec ./archive_reader_fuzz -max_total_time="$SECONDS_TO_RUN" -print_final_stats=1 \
    -max_len=16384 -dict="$ROOT/tests/archive/fuzz/archive.dict" corpus
