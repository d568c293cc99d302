#!/bin/sh
# Fuzzes the archive reader with libFuzzer (clang-14, ASan and UBSan).
#   scripts/fuzz-archive.sh [seconds] [work directory]
# The test suite runs it for about 25 s. A longer run, e.g. an hour:
#   scripts/fuzz-archive.sh 3600 /tmp/archive-fuzz
# The corpus in <work>/corpus grows across runs; crashes land in <work>/.
set -eu
SECONDS_TO_RUN=${1:-30}
WORK=${2:-$(mktemp -d /tmp/archive-fuzz.XXXXXX)}
. "$(dirname "$0")/fuzz-common.sh"
COMMON="$COMMON -DTIXML_USE_STL"
# The reader and the record's rules it keeps.
SRC="$ROOT/archive/ArchiveDocument.cpp $ROOT/archive/SafeFile.cpp $GRID_SRC"

# shellcheck disable=SC2086
$CXX $COMMON $FUZZ_FLAGS $SRC "$ROOT/tests/archive/fuzz/ArchiveReaderFuzz.cpp" \
    -o "$WORK/archive_reader_fuzz" $WX_LIBS -ltinyxml
# shellcheck disable=SC2086
$CXX $COMMON $SRC "$ROOT/tests/archive/fuzz/ArchiveFuzzSeeds.cpp" \
    -o "$WORK/archive_fuzz_seeds" $WX_LIBS -ltinyxml
"$WORK/archive_fuzz_seeds" "$WORK/corpus"

cd "$WORK"
exec ./archive_reader_fuzz -max_total_time="$SECONDS_TO_RUN" -print_final_stats=1 \
    -max_len=16384 -dict="$ROOT/tests/archive/fuzz/archive.dict" corpus
