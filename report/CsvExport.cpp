#include "report/CsvExport.h"

#include <iterator>
#include <vector>

#include "archive/SafeFile.h"
#include "calc/CalibrationFit.h"
#include "grid/ResultFormat.h"

namespace {

const char kBom[] = "\xEF\xBB\xBF";
const char kLineEnd[] = "\r\n";

const char* const kColumnNames[panel::kCols] = {"Chosen",   "RealP0",       "Reading1",
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

std::string CsvExport::BoxName(panel::Box box) { return panel::CsvName(box); }

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
    // The fit's values are in the order of panel::kResultBoxes, named as
    // their boxes.
    std::string out;
    out += Record({"FitRows", std::to_string(fit.GetRows())});
    out += Record({"FitDegreesOfFreedom", std::to_string(fit.GetDegreesOfFreedom())});
    out += Record({"FitResidualPercent", Number("%.4g", fit.GetResidualPercent())});
    out += Record({"FitCoverageFactor", Number("%.4f", fit.GetCoverageFactor())});
    out += Record({"FitValue", "Unrounded", "Set", "StandardUncertainty", "ExpandedUncertainty"});
    for (int j = 0; j < panel::kResults; ++j)
        out += Record({panel::kResultBoxes[j].pszCsvName, Number("%.10g", fit.GetUnrounded()[j]),
                       ResultFormat::FormatResult(j, fit.GetSet()[j]).utf8_string(),
                       Number("%.2g", fit.GetStandardUncertainty()[j]),
                       Number("%.2g", fit.GetExpandedUncertainty()[j])});
    return out;
}

}  // namespace

std::string CsvExport::Format(const panel::Contents& contents, int nProgramMode,
                              const CalibrationFit* pFit) {
    // T, the results, then the manual values.
    std::vector<panel::Box> records = {panel::kBoxT};
    for (const panel::ResultBox& r : panel::kResultBoxes) records.push_back(r.result);
    for (const panel::ResultBox& r : panel::kResultBoxes) records.push_back(r.manual);
    const std::string strManual = "Manual";

    std::string out = kBom;
    out += Record({"mode", ModeName(nProgramMode)});
    for (panel::Box box : records) out += Record({BoxName(box), Field(contents.boxes[box])});
    std::vector<std::string> header = {"Row"};
    header.insert(header.end(), std::begin(kColumnNames), std::end(kColumnNames));
    header.push_back(strManual + ColumnName(4));
    header.push_back(strManual + ColumnName(5));
    out += Record(header);
    for (int r = 0; r < panel::kRows; ++r) {
        const auto& row = contents.table[r];
        const auto& manual = contents.manualTable[r];
        out += Record({std::to_string(r + 1), panel::IsTickedText(row[0]) ? "1" : "", Field(row[1]),
                       Field(row[2]), Field(row[3]), Field(row[4]), Field(row[5]), Field(manual[4]),
                       Field(manual[5])});
    }
    if (pFit) out += FitRecords(*pFit);
    // The record last, one field a record, named as in the archive.
    for (const CalibrationDetails::FieldSpec& spec : CalibrationDetails::Specs())
        out += Record({spec.pszName, Field(contents.details.Get(spec.field))});
    return out;
}

bool CsvExport::WriteFile(const wxString& strPath, const panel::Contents& contents,
                          int nProgramMode, const CalibrationFit* pFit) {
    return archive::WriteFileReplacing(strPath, Format(contents, nProgramMode, pFit));
}
