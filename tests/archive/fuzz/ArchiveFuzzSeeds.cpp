// Writes valid archives of both modes into a directory as the fuzzer's seeds.
#include <cstdio>
#include <fstream>
#include <string>

#include "archive/ArchiveDocument.h"
#include "tests/archive/ArchiveTestData.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    int n = 0;
    for (const panel::Contents& contents :
         {archive_example::Distinct(), archive_example::ExampleContents()})
        for (int nMode : {0, 1}) {
            const std::string path = std::string(argv[1]) + "/seed" + std::to_string(n++) + ".xml";
            std::ofstream(path, std::ios::binary) << archive::FormatArchive(contents, nMode);
        }
    return 0;
}
