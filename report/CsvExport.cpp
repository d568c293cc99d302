#include "report/CsvExport.h"

#include <iterator>
#include <vector>

#include "calc/CalibrationFit.h"

namespace {

const char kBom[] = "\xEF\xBB\xBF";
const char kLineEnd[] = "\r\n";

// In the order of archive::Box.
const char* const kBoxNames[archive::kBoxes] = {
    "T",          "Keff",     "DeadTime", "K1",      "K2", "K3", "ManualDeadTime",
    "ManualKeff", "ManualK1", "ManualK2", "ManualK3"};
const char* const kColumnNames[archive::kCols] = {"Chosen",   "RealP0",       "Reading1",
                                                  "Reading2", "CorrectionP0", "Accuracy"};

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

const char* CsvExport::BoxName(archive::Box box) { return kBoxNames[box]; }

const char* CsvExport::ColumnName(int nCol) { return kColumnNames[nCol]; }

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

namespace {

std::string Number(const char* pszFormat, double v) {
    return wxString::Format(pszFormat, v).utf8_string();
}

std::string FitRecords(const CalibrationFit& fit) {
    // In the order of CalibrationFit::Value, named as the boxes.
    const char* const names[CalibrationFit::kValues] = {"DeadTime", "Keff", "K1", "K2", "K3"};
    std::string out;
    out += Record({"FitRows", std::to_string(fit.GetRows())});
    out += Record({"FitDegreesOfFreedom", std::to_string(fit.GetDegreesOfFreedom())});
    out += Record({"FitResidualPercent", Number("%.4g", fit.GetResidualPercent())});
    out += Record({"FitCoverageFactor", Number("%.4f", fit.GetCoverageFactor())});
    out += Record({"FitValue", "Unrounded", "Set", "StandardUncertainty", "ExpandedUncertainty"});
    for (int j = 0; j < CalibrationFit::kValues; ++j)
        out += Record({names[j], Number("%.10g", fit.GetUnrounded()[j]),
                       Number(j == CalibrationFit::kKeff ? "%.1f" : "%.3f", fit.GetSet()[j]),
                       Number("%.2g", fit.GetStandardUncertainty()[j]),
                       Number("%.2g", fit.GetExpandedUncertainty()[j])});
    return out;
}

}  // namespace

std::string CsvExport::Format(const archive::Contents& contents, int nProgramMode,
                              const CalibrationFit* pFit) {
    const archive::Box records[] = {archive::kBoxT,
                                    archive::kBoxDeadTime,
                                    archive::kBoxRegistration,
                                    archive::kBoxK1,
                                    archive::kBoxK2,
                                    archive::kBoxK3,
                                    archive::kBoxManualDeadTime,
                                    archive::kBoxManualRegistration,
                                    archive::kBoxManualK1,
                                    archive::kBoxManualK2,
                                    archive::kBoxManualK3};
    const std::string strManual = "Manual";

    std::string out = kBom;
    out += Record({"mode", ModeName(nProgramMode)});
    for (archive::Box box : records) out += Record({BoxName(box), Field(contents.boxes[box])});
    std::vector<std::string> header = {"Row"};
    header.insert(header.end(), std::begin(kColumnNames), std::end(kColumnNames));
    header.push_back(strManual + ColumnName(4));
    header.push_back(strManual + ColumnName(5));
    out += Record(header);
    for (int r = 0; r < archive::kRows; ++r) {
        const auto& row = contents.table[r];
        const auto& manual = contents.manualTable[r];
        out += Record({std::to_string(r + 1), archive::IsTickedText(row[0]) ? "1" : "",
                       Field(row[1]), Field(row[2]), Field(row[3]), Field(row[4]), Field(row[5]),
                       Field(manual[4]), Field(manual[5])});
    }
    if (pFit) out += FitRecords(*pFit);
    return out;
}

bool CsvExport::WriteFile(const wxString& strPath, const archive::Contents& contents,
                          int nProgramMode, const CalibrationFit* pFit) {
    return archive::WriteFileReplacing(strPath, Format(contents, nProgramMode, pFit));
}
