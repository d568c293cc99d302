#include "report/CsvExport.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "archive/SafeFile.h"
#include "calc/CalibrationFit.h"
#include "grid/ResultFormat.h"
#include "grid/UncertaintyStatement.h"

namespace {

const char kLineEnd[] = "\r\n";

const char* const kColumnNames[panel::kCols] = {"Chosen",   "RealP0",       "Reading1",
                                                "Reading2", "CorrectionP0", "Accuracy"};

// One field, quoted when it holds a comma, a quote or a line break.
std::string Quoted(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + "\"";
}

using Record = CsvExport::Record;
using Kind = CsvExport::Record::Kind;

Record Value(const std::string& strName, const std::string& strValue) {
    return {Kind::kValue, "", {strName, strValue}};
}

}  // namespace

std::string CsvExport::BoxName(panel::Box box) { return panel::CsvName(box); }

const char* CsvExport::ColumnName(int nCol) { return kColumnNames[nCol]; }

const char* CsvExport::ModeName(int nProgramMode) {
    return nProgramMode == 0 ? "frequency" : "period";
}

std::string CsvExport::Join(const std::vector<std::string>& vecFields, size_t nWidth) {
    std::string out;
    for (size_t i = 0; i < std::max(nWidth, vecFields.size()); ++i) {
        if (i) out += ',';
        if (i < vecFields.size()) out += Quoted(vecFields[i]);
    }
    return out + kLineEnd;
}

namespace {

std::string Number(const char* pszFormat, double v) {
    return wxString::Format(pszFormat, v).utf8_string();
}

void AppendFitRecords(const CalibrationFit& fit, std::vector<Record>& records) {
    // The fit's values are in the order of panel::kResultBoxes, named as
    // their boxes.
    records.push_back(Value("FitRows", std::to_string(fit.GetRows())));
    records.push_back(Value("FitDegreesOfFreedom", std::to_string(fit.GetDegreesOfFreedom())));
    records.push_back(Value("FitResidualPercent", Number("%.4g", fit.GetResidualPercent())));
    records.push_back(Value("FitCoverageFactor", Number("%.4f", fit.GetCoverageFactor())));
    records.push_back(
        {Kind::kHeader,
         CsvExport::kFitTable,
         {"FitValue", "Unrounded", "Set", "StandardUncertainty", "ExpandedUncertainty"}});
    for (int j = 0; j < panel::kResults; ++j)
        records.push_back(
            {Kind::kRow,
             CsvExport::kFitTable,
             {panel::kResultBoxes[j].pszCsvName, Number("%.10g", fit.GetUnrounded()[j]),
              ResultFormat::FormatResult(j, fit.GetSet()[j]).utf8_string(),
              Number("%.2g", fit.GetStandardUncertainty()[j]),
              Number("%.2g", fit.GetExpandedUncertainty()[j])}});
}

// Four significant digits, trailing zeros kept.
std::string Significant(double v) { return Number("%#.4g", v); }

// A component's u, 0 when the budget holds no such component.
double ComponentU(const UncertaintyBudget& budget, const char* pszName) {
    const UncertaintyBudget::Component* p = budget.Find(pszName);
    return p ? p->dU : 0;
}

// u_c, nu_eff, k and U of a budget.
std::vector<std::string> Combination(const UncertaintyBudget& budget) {
    return {Significant(budget.GetCombined()), Significant(budget.GetEffectiveDegreesOfFreedom()),
            Significant(budget.GetCoverageFactor()), Significant(budget.GetExpanded())};
}

std::vector<std::string> Concatenated(std::vector<std::string> head,
                                      const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The budgets of the fit, with the record's reference: the deviation's, the
// corrected value's at each complete row with its verdict, each value's.
// Nothing when none was evaluated.
void AppendBudgetRecords(const panel::Contents& contents, const CalibrationFit& fit,
                         std::vector<Record>& records) {
    const UncertaintyStatement statement(contents, &fit);
    const CalibrationBudget* pBudget = statement.GetBudget();
    if (!pBudget) return;
    using B = CalibrationBudget;
    const UncertaintyBudget& deviation = pBudget->GetDeviation();
    const std::vector<std::string> combination = Combination(deviation);
    records.push_back(
        Value("DeviationReferencePercent", Significant(ComponentU(deviation, B::kReference))));
    records.push_back(
        Value("DeviationScatterPercent", Significant(ComponentU(deviation, B::kScatter))));
    const char* const names[] = {"DeviationCombinedPercent", "DeviationDegreesOfFreedom",
                                 "DeviationCoverageFactor", "DeviationExpandedPercent"};
    for (size_t i = 0; i < combination.size(); ++i)
        records.push_back(Value(names[i], combination[i]));

    records.push_back(
        {Kind::kHeader,
         CsvExport::kBudgetRowTable,
         {"BudgetRow", "FitPercent", "OffsetPercent", "ReferencePercent", "CombinedPercent",
          "EffectiveDegreesOfFreedom", "CoverageFactor", "ExpandedPercent", "Verdict"}});
    for (const UncertaintyStatement::Row& row : statement.GetRows()) {
        if (row.nBudgetRow < 0) continue;
        const UncertaintyBudget& budget = pBudget->GetRowBudgets()[row.nBudgetRow];
        std::vector<std::string> fields = Concatenated(
            {"Row" + std::to_string(row.nGridRow + 1), Significant(ComponentU(budget, B::kFit)),
             Significant(ComponentU(budget, B::kOffset)),
             Significant(ComponentU(budget, B::kReference))},
            Combination(budget));
        fields.push_back(row.bJudged ? Conformity::VerdictName(row.verdict) : "");
        records.push_back({Kind::kRow, CsvExport::kBudgetRowTable, fields});
    }

    records.push_back({Kind::kHeader,
                       CsvExport::kBudgetValueTable,
                       {"BudgetValue", "FitStandard", "ReferenceStandard", "CombinedStandard",
                        "EffectiveDegreesOfFreedom", "CoverageFactor", "Expanded"}});
    // In the order of panel::kResultBoxes, named as their boxes.
    for (int j = 0; j < panel::kResults; ++j) {
        const UncertaintyBudget& budget = pBudget->GetValueBudgets()[j];
        records.push_back({Kind::kRow, CsvExport::kBudgetValueTable,
                           Concatenated({panel::kResultBoxes[j].pszCsvName,
                                         Significant(ComponentU(budget, B::kFit)),
                                         Significant(ComponentU(budget, B::kReference))},
                                        Combination(budget))});
    }
}

}  // namespace

std::vector<Record> CsvExport::Records(const panel::Contents& contents, int nProgramMode,
                                       const CalibrationFit* pFit) {
    // T, the results, then the manual values.
    std::vector<panel::Box> boxes = {panel::kBoxT};
    for (const panel::ResultBox& r : panel::kResultBoxes) boxes.push_back(r.result);
    for (const panel::ResultBox& r : panel::kResultBoxes) boxes.push_back(r.manual);
    const std::string strManual = "Manual";

    std::vector<Record> records;
    records.push_back(Value("mode", ModeName(nProgramMode)));
    for (panel::Box box : boxes)
        records.push_back(Value(BoxName(box), contents.boxes[box].utf8_string()));
    std::vector<std::string> header = {"Row"};
    header.insert(header.end(), std::begin(kColumnNames), std::end(kColumnNames));
    header.push_back(strManual + ColumnName(4));
    header.push_back(strManual + ColumnName(5));
    records.push_back({Kind::kHeader, kPointsTable, header});
    for (int r = 0; r < panel::kRows; ++r) {
        const auto& row = contents.table[r];
        const auto& manual = contents.manualTable[r];
        records.push_back(
            {Kind::kRow,
             kPointsTable,
             {std::to_string(r + 1), panel::IsTickedText(row[0]) ? "1" : "", row[1].utf8_string(),
              row[2].utf8_string(), row[3].utf8_string(), row[4].utf8_string(),
              row[5].utf8_string(), manual[4].utf8_string(), manual[5].utf8_string()}});
    }
    if (pFit) AppendFitRecords(*pFit, records);
    if (pFit) AppendBudgetRecords(contents, *pFit, records);
    // The record last, one field a record, named as in the archive.
    for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields())
        records.push_back(Value(info.pszName, contents.details.Get(info.field).utf8_string()));
    return records;
}

std::string CsvExport::Format(const panel::Contents& contents, int nProgramMode,
                              const CalibrationFit* pFit) {
    std::string out = kByteOrderMark;
    for (const Record& record : Records(contents, nProgramMode, pFit))
        out += Join(record.vecFields, kFields);
    return out;
}

bool CsvExport::WriteFile(const wxString& strPath, const panel::Contents& contents,
                          int nProgramMode, const CalibrationFit* pFit) {
    return archive::WriteFileReplacing(strPath, Format(contents, nProgramMode, pFit));
}
