// Writes valid archives of both modes into a directory as the fuzzer's seeds.
#include <cstdio>
#include <fstream>
#include <string>

#include "archive/ArchiveDocument.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    archive::Contents filled;
    for (int r = 0; r < archive::kRows; ++r) {
        filled.table[r] = {r < 4 ? "1" : "",
                           wxString::Format("%d", 100 * (r + 1)),
                           wxString::Format("%.1f", 98.4 * (r + 1)),
                           wxString::Format("%.1f", 98.9 * (r + 1)),
                           "101.2",
                           "1.2"};
        filled.manualTable[r] = filled.table[r];
    }
    const char* const values[] = {"0.5",   "96.1", "0.012", "1.234", "0.05", "-3.5",
                                  "0.011", "95",   "1.2",   "0.049", "-3.4"};
    for (int i = 0; i < archive::kBoxes; ++i) filled.boxes[i] = values[i];
    archive::Contents sparse;
    sparse.table[0] = {"1", "100", "98.4", "98.9", "", ""};
    sparse.table[1] = {"", "a<b&c", "195.1", "", "", ""};
    sparse.boxes[archive::kBoxT] = "0.5";

    int n = 0;
    for (const archive::Contents* pContents : {&filled, &sparse})
        for (int nMode : {0, 1}) {
            const std::string path = std::string(argv[1]) + "/seed" + std::to_string(n++) + ".xml";
            std::ofstream(path, std::ios::binary) << archive::FormatArchive(*pContents, nMode);
        }
    return 0;
}
