#!/bin/sh
# Fuzzes the paste parser with libFuzzer (clang-14, ASan and UBSan).
#   scripts/fuzz-paste.sh [seconds] [work directory]
# The test suite runs it for about 8 s. A longer run, e.g. an hour:
#   scripts/fuzz-paste.sh 3600 /tmp/paste-fuzz
# Memory must stay bounded by the text's size: no single allocation above
# 64 MB for texts of up to 1 MB (the sanitizers' own memory counts in the
# 1 GB of -rss_limit_mb); no input may take 10 s. The bytes a paste holds
# are measured by the test varid_paste_size_test. The corpus in
# <work>/corpus grows across runs; crashes land in <work>/.
set -eu
SECONDS_TO_RUN=${1:-30}
WORK=${2:-$(mktemp -d /tmp/paste-fuzz.XXXXXX)}
. "$(dirname "$0")/fuzz-common.sh"

# shellcheck disable=SC2086
$CXX $COMMON $FUZZ_FLAGS $GRID_SRC "$ROOT/tests/grid/fuzz/PasteFuzz.cpp" \
    -o "$WORK/paste_fuzz" $WX_LIBS

# Seeds: blocks as spreadsheets copy them in several locales.
printf '1\t100\t98.4\t98.9\n\t200\t195.1\t\n' > "$WORK/corpus/plain"
printf 'x\t1\xc2\xa0000,5\t2,52\t2,509\r\nyes\t1.234,5\t4 999\t5\r\n' > "$WORK/corpus/comma"
printf 'true\t-1e-3\t0x10\tnan\n\t\t\t\t\t\t\t\n\n\n\n\n\n\n\n\n\n\n\n1' > "$WORK/corpus/edges"
printf '\xd1\x82\xd0\xb5\xd1\x81\xd1\x82\t\xe2\x80\xaf5\t+.5\t5.\r1\t2\r' > "$WORK/corpus/cyrillic"
# Texts of a megabyte: many rows, one long row, one cell. Mutating them is
# slow, so they run once under the same limits before the fuzzing.
mkdir -p "$WORK/large"
yes '1 000,5	2	x' | head -c 1048576 > "$WORK/large/rows"
yes '2,5	' | tr -d '\n' | head -c 1048576 > "$WORK/large/row"
yes '1 ' | tr -d '\n' | head -c 1048576 > "$WORK/large/cell"
LIMITS="-rss_limit_mb=1024 -malloc_limit_mb=64 -timeout=10"

cd "$WORK"
# shellcheck disable=SC2086
./paste_fuzz $LIMITS large/rows large/row large/cell
# shellcheck disable=SC2086
exec ./paste_fuzz -max_total_time="$SECONDS_TO_RUN" -print_final_stats=1 -max_len=8192 \
    $LIMITS -dict="$ROOT/tests/grid/fuzz/paste.dict" corpus
