// libFuzzer target for the archive reader: any input either fails and leaves
// the tables untouched, or reads into tables whose archive reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "archive/ArchiveDocument.h"
#include "tests/archive/ArchiveTestData.h"

namespace {

void Check(bool bCondition) {
    if (!bCondition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const panel::Contents start = archive_example::Distinct();
    const std::string text(reinterpret_cast<const char*>(pData), nSize);
    for (int nMode : {0, 1}) {
        panel::Contents io = start;
        wxString strError;
        if (!archive::ReadArchiveText(text, "fuzz", nMode, io, strError)) {
            Check(io.table == start.table && io.manualTable == start.manualTable &&
                  io.boxes == start.boxes);
            Check(!strError.empty());
            continue;
        }
        const std::string once = archive::FormatArchive(io, nMode);
        for (unsigned char ch : once) Check(ch < 0x80);
        panel::Contents again;
        Check(archive::ReadArchiveText(once, "", nMode, again, strError));
        Check(archive::FormatArchive(again, nMode) == once);
    }
    return 0;
}
