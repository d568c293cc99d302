// libFuzzer target for the archive reader: any input either fails and leaves
// the tables untouched, or reads into tables whose archive reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "archive/ArchiveDocument.h"

namespace {

archive::Contents Start() {
    archive::Contents c;
    for (int r = 0; r < archive::kRows; ++r)
        for (int col = 0; col < archive::kCols; ++col) {
            c.table[r][col] = wxString::Format("s%d.%d", r, col);
            c.manualTable[r][col] = wxString::Format("m%d.%d", r, col);
        }
    for (int i = 0; i < archive::kBoxes; ++i) c.boxes[i] = wxString::Format("b%d", i);
    return c;
}

bool Same(const archive::Contents& a, const archive::Contents& b) {
    return a.table == b.table && a.manualTable == b.manualTable && a.boxes == b.boxes;
}

void Check(bool bCondition) {
    if (!bCondition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const archive::Contents start = Start();
    const std::string text(reinterpret_cast<const char*>(pData), nSize);
    for (int nMode : {0, 1}) {
        archive::Contents io = start;
        wxString strError;
        if (!archive::ReadArchiveText(text, "fuzz", nMode, io, strError)) {
            Check(Same(io, start));
            Check(!strError.empty());
            continue;
        }
        const std::string once = archive::FormatArchive(io, nMode);
        for (unsigned char ch : once) Check(ch < 0x80);
        archive::Contents again;
        Check(archive::ReadArchiveText(once, "", nMode, again, strError));
        Check(archive::FormatArchive(again, nMode) == once);
    }
    return 0;
}
