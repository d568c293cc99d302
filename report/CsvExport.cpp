#include "report/CsvExport.h"

#include <vector>

namespace {

const char kBom[] = "\xEF\xBB\xBF";
const char kLineEnd[] = "\r\n";

// Pads to the common width, so that every record has the same fields.
std::string Record(std::vector<std::string> fields) {
    fields.resize(CsvExport::kFields);
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        out += fields[i];
    }
    return out + kLineEnd;
}

}  // namespace

const char* CsvExport::ModeName(int nProgramMode) {
    return nProgramMode == 0 ? "frequency" : "period";
}

std::string CsvExport::Field(const wxString& str) {
    const std::string text = str.utf8_string();
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + "\"";
}

std::string CsvExport::Format(const archive::Contents& contents, int nProgramMode) {
    const struct {
        const char* szName;
        archive::Box box;
    } boxes[] = {{"T", archive::kBoxT},
                 {"DeadTime", archive::kBoxDeadTime},
                 {"Keff", archive::kBoxRegistration},
                 {"K1", archive::kBoxK1},
                 {"K2", archive::kBoxK2},
                 {"K3", archive::kBoxK3},
                 {"ManualDeadTime", archive::kBoxManualDeadTime},
                 {"ManualKeff", archive::kBoxManualRegistration},
                 {"ManualK1", archive::kBoxManualK1},
                 {"ManualK2", archive::kBoxManualK2},
                 {"ManualK3", archive::kBoxManualK3}};

    std::string out = kBom;
    out += Record({"mode", ModeName(nProgramMode)});
    for (const auto& b : boxes) out += Record({b.szName, Field(contents.boxes[b.box])});
    out += Record({"Row", "Chosen", "RealP0", "Reading1", "Reading2", "CorrectionP0", "Accuracy",
                   "ManualCorrectionP0", "ManualAccuracy"});
    for (int r = 0; r < archive::kRows; ++r) {
        const auto& row = contents.table[r];
        const auto& manual = contents.manualTable[r];
        out += Record({std::to_string(r + 1), archive::IsTickedText(row[0]) ? "1" : "",
                       Field(row[1]), Field(row[2]), Field(row[3]), Field(row[4]), Field(row[5]),
                       Field(manual[4]), Field(manual[5])});
    }
    return out;
}

bool CsvExport::WriteFile(const wxString& strPath, const archive::Contents& contents,
                          int nProgramMode) {
    return archive::WriteFileReplacing(strPath, Format(contents, nProgramMode));
}
