# Sourced by the fuzzing scripts once they have set SECONDS_TO_RUN and WORK:
# the compiler, the toolkit's flags, and the sources of the grid's reading
# rules with the engine's data setters they bring.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
CXX=${FUZZ_CXX:-clang++-14}
mkdir -p "$WORK/corpus"

WX_CFLAGS=$(wx-config --cxxflags base)
WX_LIBS=$(wx-config --libs base)
COMMON="-std=c++17 -g -O1 -I$ROOT $WX_CFLAGS"
FUZZ_FLAGS="-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
GRID_SRC="$ROOT/grid/PanelContents.cpp $ROOT/grid/CalibrationDetails.cpp
    $ROOT/grid/ClipboardBlock.cpp $ROOT/grid/GridData.cpp $ROOT/calc/Calculator.cpp
    $ROOT/calc/K3March.cpp $ROOT/calc/K3Bracketing.cpp $ROOT/calc/ErrorReport.cpp
    $ROOT/app/Globals.cpp"
