// What a paste of a huge text costs in memory: a bounded multiple of the
// text's own size whatever its shape, and no more than the text itself when
// all but the grid's cells lie outside the grid (they are counted, never
// kept). The fuzzer (scripts/fuzz-paste.sh) checks the rules on small texts.
#include <clocale>
#include <string>

#include <gtest/gtest.h>

#include "grid/ClipboardBlock.h"

// PeakAllocator.cpp
long long LiveBytes();
long long PeakBytes();
void ResetPeakBytes();

namespace {

wxString Repeated(const wxString& strPiece, size_t nLength) {
    wxString str;
    str.reserve(nLength);
    while (str.length() + strPiece.length() <= nLength) str += strPiece;
    return str;
}

// Bytes held on top of the text while it is parsed and placed.
long long PasteCost(const wxString& strText) {
    ResetPeakBytes();
    const long long nBefore = LiveBytes();
    {
        const ClipboardBlock block(strText);
        panel::GridTable table;
        block.ApplyTo(table, 0, 0, false);
    }
    return PeakBytes() - nBefore;
}

TEST(PasteSize, MemoryGrowsWithTheTextNeverFasterAndOutsideCellsCostNothing) {
    std::setlocale(LC_NUMERIC, "C");
    const long long nCharBytes = sizeof(wxChar);
    const struct {
        const char* szShape;
        wxString strPiece;
        double dTimesText;  // most bytes held per byte of the text
    } shapes[] = {
        // One cell the size of the text, normalised as a number: a few
        // copies of it at once (4 measured).
        {"one cell of digits and spaces", wxT("1 0"), 6},
        {"one cell of words", wxT("word,"), 6},
        // Rows and columns beyond the grid: the parser's own copy of the
        // text and a cell (1 measured).
        {"many rows", wxT("\t1 000,5\t2\t3\n"), 1.5},
        {"one long row", wxT("2,5\t"), 1.5},
        {"separators only", wxT("\r\n\t"), 1.5},
    };
    for (const auto& shape : shapes) {
        for (size_t nLength : {size_t(1) << 20, size_t(8) << 20}) {
            SCOPED_TRACE(std::string(shape.szShape) + ", " + std::to_string(nLength) +
                         " characters");
            const wxString strText = Repeated(shape.strPiece, nLength);
            const long long nText = static_cast<long long>(strText.length()) * nCharBytes;
            const long long nCost = PasteCost(strText);
            EXPECT_LE(nCost, shape.dTimesText * nText) << nCost << " bytes for " << nText;
        }
    }
    // The counter works: a copy of a text holds its size.
    const wxString strProbe(1000, 'x');
    ResetPeakBytes();
    const long long nBefore = LiveBytes();
    { const wxString strCopy = strProbe + wxT("y"); }
    EXPECT_GE(PeakBytes() - nBefore, 1000 * nCharBytes);
}

}  // namespace
