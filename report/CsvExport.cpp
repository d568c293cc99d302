#include "report/CsvExport.h"

#include <iterator>
#include <vector>

#include "archive/SafeFile.h"
#include "calc/CalibrationFit.h"
#include "grid/ResultFormat.h"
#include "grid/UncertaintyStatement.h"

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

std::vector<std::string> Joined(std::vector<std::string> head,
                                const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The budgets of the fit, with the record's reference: the deviation's, the
// corrected value's at each complete row with its verdict, each value's.
// Nothing when none was evaluated.
std::string BudgetRecords(const panel::Contents& contents, const CalibrationFit& fit) {
    const UncertaintyStatement statement(contents, &fit);
    const CalibrationBudget* pBudget = statement.GetBudget();
    if (!pBudget) return std::string();
    using B = CalibrationBudget;
    const UncertaintyBudget& deviation = pBudget->GetDeviation();
    const std::vector<std::string> combination = Combination(deviation);
    std::string out;
    out += Record({"DeviationReferencePercent", Significant(ComponentU(deviation, B::kReference))});
    out += Record({"DeviationScatterPercent", Significant(ComponentU(deviation, B::kScatter))});
    const char* const names[] = {"DeviationCombinedPercent", "DeviationDegreesOfFreedom",
                                 "DeviationCoverageFactor", "DeviationExpandedPercent"};
    for (size_t i = 0; i < combination.size(); ++i) out += Record({names[i], combination[i]});

    out +=
        Record({"BudgetRow", "FitPercent", "OffsetPercent", "ReferencePercent", "CombinedPercent",
                "EffectiveDegreesOfFreedom", "CoverageFactor", "ExpandedPercent", "Verdict"});
    for (const UncertaintyStatement::Row& row : statement.GetRows()) {
        if (row.nBudgetRow < 0) continue;
        const UncertaintyBudget& budget = pBudget->GetRowBudgets()[row.nBudgetRow];
        std::vector<std::string> fields = Joined(
            {"Row" + std::to_string(row.nGridRow + 1), Significant(ComponentU(budget, B::kFit)),
             Significant(ComponentU(budget, B::kOffset)),
             Significant(ComponentU(budget, B::kReference))},
            Combination(budget));
        fields.push_back(row.bJudged ? Conformity::VerdictName(row.verdict) : "");
        out += Record(fields);
    }

    out += Record({"BudgetValue", "FitStandard", "ReferenceStandard", "CombinedStandard",
                   "EffectiveDegreesOfFreedom", "CoverageFactor", "Expanded"});
    // In the order of panel::kResultBoxes, named as their boxes.
    for (int j = 0; j < panel::kResults; ++j) {
        const UncertaintyBudget& budget = pBudget->GetValueBudgets()[j];
        out += Record(
            Joined({panel::kResultBoxes[j].pszCsvName, Significant(ComponentU(budget, B::kFit)),
                    Significant(ComponentU(budget, B::kReference))},
                   Combination(budget)));
    }
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
    if (pFit) out += BudgetRecords(contents, *pFit);
    // The record last, one field a record, named as in the archive.
    for (const CalibrationDetails::FieldSpec& spec : CalibrationDetails::Specs())
        out += Record({spec.pszName, Field(contents.details.Get(spec.field))});
    return out;
}

bool CsvExport::WriteFile(const wxString& strPath, const panel::Contents& contents,
                          int nProgramMode, const CalibrationFit* pFit) {
    return archive::WriteFileReplacing(strPath, Format(contents, nProgramMode, pFit));
}
