#include "report/ReportDocument.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include <wx/intl.h>

#include "calc/CalibrationFit.h"
#include "grid/GridData.h"
#include "grid/ResultFormat.h"
#include "grid/UncertaintyStatement.h"

namespace {

using Align = ReportDocument::Align;
using Block = ReportDocument::Block;
using Section = ReportDocument::Section;
using Style = ReportDocument::Style;
using Table = ReportDocument::Table;
using Details = CalibrationDetails;
using StatementRow = UncertaintyStatement::Row;

// The layout's own labels (some end in a space there).
wxString Label(const char* pszKey) {
    return wxGetTranslation(wxString::FromUTF8(pszKey)).Strip(wxString::both);
}

wxString WithUnit(const wxString& strLabel, const wxString& strUnit) {
    return strUnit.empty() ? strLabel : strLabel + wxT(", ") + strUnit;
}

Block Paragraph(const wxString& str, Style style = Style::kNormal, Align align = Align::kLeft) {
    Block block;
    block.strText = str;
    block.style = style;
    block.align = align;
    return block;
}

Block TableBlock(Table table) {
    Block block;
    block.kind = Block::Kind::kTable;
    block.table = std::move(table);
    return block;
}

// Rows of a label and its value, the labels bold.
Table List() {
    Table table;
    table.bRuled = false;
    table.vecColumns = {{wxString(), Align::kLeft, true}, {wxString(), Align::kLeft, false}};
    return table;
}

Table Ruled(const std::vector<wxString>& vecHeaders) {
    Table table;
    for (const wxString& str : vecHeaders) table.vecColumns.push_back({str, Align::kCentre, false});
    return table;
}

// The units of the certificate's values: the model works in periods, which
// frequencies in Hz give in µs.
struct Units {
    wxString strValue;    // of Real P0 and the corrected values; may be empty
    wxString strReading;  // of the readings
    wxString strTime;     // of the periods
};

Units UnitsOf(const CalibrationDetails& details, int nProgramMode) {
    Units units;
    units.strValue = details.Get(Details::kUnit);
    units.strTime = nProgramMode == 0 ? wxString(wxT("\u00b5s")) : details.GetPeriodUnit();
    units.strReading = nProgramMode == 0 ? wxString(wxT("Hz")) : units.strTime;
    return units;
}

// In the order of panel::kResultBoxes: the corrected value is
// Keff / x * (1 - K1 exp(-K2 x) + K3 / x) with x the period less the dead time.
wxString ResultUnit(int nResult, const Units& units) {
    switch (nResult) {
        case panel::kResultKeff:
            return units.strValue.empty() ? units.strTime
                                          : units.strValue + wxT("\u00b7") + units.strTime;
        case panel::kResultK1:
            return wxString();
        case panel::kResultK2:
            return units.strTime + wxT("\u207b\u00b9");
        default:
            return units.strTime;
    }
}

// Digits after the point; -1 for a number in exponent form.
int Decimals(const wxString& str) {
    if (str.find_first_of(wxT("eE")) != wxString::npos) return -1;
    const size_t nPoint = str.find('.');
    return nPoint == wxString::npos ? 0 : static_cast<int>(str.length() - nPoint - 1);
}

// A mean reading to the digits of its readings, and one more where the mean
// of two falls between them.
wxString FormatMean(const wxString& strFirst, const wxString& strSecond, double dMean) {
    const int nFirst = Decimals(strFirst), nSecond = Decimals(strSecond);
    if (nFirst < 0 || nSecond < 0) return wxString::Format(wxT("%.7g"), dMean);
    const int nDecimals = std::max(nFirst, nSecond);
    const wxString str = wxString::Format(wxT("%.*f"), nDecimals, dMean);
    double dBack = 0;
    if (str.ToCDouble(&dBack) && std::fabs(dBack - dMean) <= 1e-9 * std::fabs(dMean)) return str;
    return wxString::Format(wxT("%.*f"), nDecimals + 1, dMean);
}

// Degrees of freedom: a component taken as exact, or a budget at the cap
// its Type B terms bring it to, reads as infinite, never as digits.
wxString FormatDegrees(double nu) {
    if (!std::isfinite(nu) || nu >= UncertaintyBudget::kMaxDegreesOfFreedom) return wxT("\u221e");
    if (nu >= 100 || nu == std::floor(nu)) return wxString::Format(wxT("%.0f"), std::floor(nu));
    return wxString::Format(wxT("%.1f"), nu);
}

wxString FormatCoverage(double k) { return wxString::Format(wxT("%.2f"), k); }

// A complete row of the measurement grid with the final set's results, the
// deviation's U and the row's verdict.
struct ResultRow {
    int nGridRow;
    wxString strRealP, strMean, strCorrection, strDeviation, strU, strVerdict;
};

// A column of the results table: its header and what it shows of a row.
struct ResultColumn {
    wxString strHeader;
    std::function<wxString(const ResultRow&)> text;
};

// The U column with a budget, the verdicts' where a row was judged.
std::vector<ResultColumn> ResultColumns(const Units& units, int nProgramMode, bool bU,
                                        bool bVerdict) {
    std::vector<ResultColumn> columns = {
        {WithUnit(_("Real P0"), units.strValue), [](const ResultRow& r) { return r.strRealP; }},
        {WithUnit(nProgramMode == 0 ? _("Mean frequency") : _("Mean period"), units.strReading),
         [](const ResultRow& r) { return r.strMean; }},
        {WithUnit(_("Corrected value"), units.strValue),
         [](const ResultRow& r) { return r.strCorrection; }},
        {_("Deviation, %"), [](const ResultRow& r) { return r.strDeviation; }},
    };
    if (bU) columns.push_back({wxT("U, %"), [](const ResultRow& r) { return r.strU; }});
    if (bVerdict)
        columns.push_back({_("Verdict"), [](const ResultRow& r) { return r.strVerdict; }});
    return columns;
}

wxString VerdictText(const StatementRow& row) {
    if (!row.bJudged) return wxT("\u2014");
    switch (row.verdict) {
        case Conformity::Verdict::kPass:
            return _("Pass");
        case Conformity::Verdict::kFail:
            return _("Fail");
        case Conformity::Verdict::kIndeterminate:
            break;
    }
    return _("Indeterminate");
}

const StatementRow* FindRow(const UncertaintyStatement& statement,
                            const std::function<bool(const StatementRow&)>& pred) {
    for (const StatementRow& row : statement.GetRows())
        if (pred(row)) return &row;
    return nullptr;
}

std::vector<ResultRow> ResultRows(const panel::Contents& contents,
                                  const UncertaintyStatement& statement) {
    const panel::GridTable& finalTable = GridData::FinalTable(contents);
    const CalibrationBudget* pBudget = statement.GetBudget();
    const wxString strU =
        pBudget ? ResultFormat::FormatUncertainty(pBudget->GetDeviation().GetExpanded())
                : wxString();
    const bool bSingle = !GridData::IsSecondColumnInUse(contents.table);
    GridData grid;
    grid.Read(contents.table, bSingle);
    const std::vector<double> vecMeans = grid.MeanReadings();
    std::vector<ResultRow> rows;
    for (size_t k = 0; k < grid.m_vecGridRow.size(); ++k) {
        const int nRow = grid.m_vecGridRow[k];
        const auto& cells = contents.table[nRow];
        const wxString& strFirst = cells[GridData::kFirstReadingCol];
        const StatementRow* pRow =
            FindRow(statement, [&](const StatementRow& r) { return r.nGridRow == nRow; });
        rows.push_back(
            {nRow, cells[GridData::kRealPCol],
             FormatMean(strFirst, bSingle ? strFirst : cells[GridData::kSecondReadingCol],
                        vecMeans[k]),
             finalTable[nRow][GridData::kCorrectionCol], finalTable[nRow][GridData::kAccuracyCol],
             strU, pRow ? VerdictText(*pRow) : wxString(wxT("\u2014"))});
    }
    return rows;
}

Section Title(const ReportDocument& doc) {
    Section section;
    section.vecBlocks.push_back(Paragraph(doc.GetHeadline(), Style::kTitle, Align::kCentre));
    return section;
}

// The item, the customer, the dates, the conditions and the reference, each
// when given; no section when none is.
std::vector<Section> Identification(const CalibrationDetails& details) {
    Table list = List();
    auto add = [&](Details::Field field, const wxString& str) {
        if (!str.empty()) list.vecRows.push_back({Details::LabelOf(field), str});
    };
    for (Details::Field field :
         {Details::kInstrument, Details::kManufacturer, Details::kSerialNumber, Details::kCustomer,
          Details::kCalibrationDate, Details::kIssueDate, Details::kTemperature, Details::kPressure,
          Details::kHumidity, Details::kReferenceStandard, Details::kReferenceUncertainty})
        add(field, details.Get(field));
    // An uncertainty is read with the default k when none is given.
    if (!details.Get(Details::kReferenceUncertainty).empty() ||
        !details.Get(Details::kReferenceCoverageFactor).empty())
        add(Details::kReferenceCoverageFactor,
            details.Get(Details::kReferenceCoverageFactor).empty()
                ? wxString::Format(wxT("%g"), details.GetCoverageFactor())
                : details.Get(Details::kReferenceCoverageFactor));
    if (list.vecRows.empty()) return {};
    Section section;
    section.strHeading = _("Identification");
    section.vecBlocks.push_back(TableBlock(std::move(list)));
    return {section};
}

// The final set (the manual one once Set has shown its rows, else the
// Count's) with its units, and its results at every complete row.
std::vector<Section> Results(const panel::Contents& contents, int nProgramMode,
                             const CalibrationFit* pFit, const UncertaintyStatement& statement) {
    const bool bManual = GridData::ShowsResults(contents.manualTable);
    Section values;
    values.strHeading = _("Final values");
    if (!GridData::ShowsResults(GridData::FinalTable(contents))) {
        values.vecBlocks.push_back(Paragraph(_("There are no results yet: press Count.")));
        return {values};
    }
    values.vecBlocks.push_back(Paragraph(bManual
                                             ? (pFit ? _("The least-squares fit's values, as set.")
                                                     : _("The values set by hand (Set)."))
                                             : _("The values found by Count.")));
    const Units units = UnitsOf(contents.details, nProgramMode);
    Table table = Ruled({_("Quantity"), _("Value"), _("Unit")});
    table.vecColumns[0].align = Align::kLeft;
    for (int j = 0; j < panel::kResults; ++j) {
        const panel::ResultBox& box = panel::kResultBoxes[j];
        table.vecRows.push_back({Label(box.pszLabel),
                                 contents.boxes[bManual ? box.manual : box.result],
                                 ResultUnit(j, units)});
    }
    values.vecBlocks.push_back(TableBlock(std::move(table)));

    Section results;
    results.strHeading = _("Results");
    const bool bJudged = FindRow(statement, [](const StatementRow& r) { return r.bJudged; });
    const std::vector<ResultColumn> columns =
        ResultColumns(units, nProgramMode, statement.GetBudget() != nullptr, bJudged);
    Table rows;
    for (const ResultColumn& column : columns) rows.vecColumns.push_back({column.strHeader});
    for (const ResultRow& row : ResultRows(contents, statement)) {
        rows.vecRows.emplace_back();
        for (const ResultColumn& column : columns) rows.vecRows.back().push_back(column.text(row));
    }
    results.vecBlocks.push_back(TableBlock(std::move(rows)));
    return {values, results};
}

// A budget's components, each with its share of u_c squared, then u_c,
// nu_eff, k and U, on one page; strNote, when given, says where it holds.
Section BudgetSection(const wxString& strHeading, const wxString& strNote,
                      const UncertaintyBudget& budget) {
    Section section;
    section.strHeading = strHeading;
    section.bKeepTogether = true;
    if (!strNote.empty()) section.vecBlocks.push_back(Paragraph(strNote));
    // The symbols are no catalogue keys: keys stay ASCII.
    Table table = Ruled({_("Component"), _("Type"), _("Distribution"), wxT("u, %"), wxT("\u03bd"),
                         wxString::Format(_("Share of %s"), wxT("u_c\u00b2, %"))});
    table.vecColumns[0].align = Align::kLeft;
    const std::vector<UncertaintyBudget::Component>& components = budget.GetComponents();
    for (size_t i = 0; i < components.size(); ++i) {
        const UncertaintyBudget::Component& c = components[i];
        table.vecRows.push_back(
            {wxGetTranslation(wxString::FromUTF8(c.pszName)),
             wxString::FromUTF8(UncertaintyBudget::TypeName(c.type)),
             wxGetTranslation(
                 wxString::FromUTF8(UncertaintyBudget::DistributionName(c.distribution))),
             ResultFormat::FormatUncertainty(c.dU), FormatDegrees(c.dDegreesOfFreedom),
             wxString::Format(wxT("%.1f"), 100 * budget.GetShare(i))});
    }
    section.vecBlocks.push_back(TableBlock(std::move(table)));
    Table list = List();
    list.vecRows.push_back({_("Combined standard uncertainty") + wxT(" u_c, %"),
                            ResultFormat::FormatUncertainty(budget.GetCombined())});
    list.vecRows.push_back({_("Effective degrees of freedom") + wxT(" \u03bd_eff"),
                            FormatDegrees(budget.GetEffectiveDegreesOfFreedom())});
    list.vecRows.push_back(
        {_("Coverage factor") + wxT(" k"), FormatCoverage(budget.GetCoverageFactor())});
    list.vecRows.push_back({_("Expanded uncertainty") + wxT(" U, %"),
                            ResultFormat::FormatUncertainty(budget.GetExpanded())});
    section.vecBlocks.push_back(TableBlock(std::move(list)));
    return section;
}

// A reference value as typed in the grid's row that holds it.
wxString RealPText(const panel::Contents& contents, const UncertaintyStatement& statement,
                   double dRealP) {
    const StatementRow* pRow =
        FindRow(statement, [&](const StatementRow& r) { return r.dRealP == dRealP; });
    return pRow ? contents.table[pRow->nGridRow][GridData::kRealPCol]
                : wxString::Format(wxT("%g"), dRealP);
}

// What the certificate states about its uncertainty: the deviation's U, the
// largest U of the corrected values over the range of Real P0, whether the
// reference is included, and the two budgets; or why there is none.
std::vector<Section> Uncertainty(const panel::Contents& contents,
                                 const UncertaintyStatement& statement) {
    Section section;
    section.strHeading = _("Measurement uncertainty");
    const CalibrationBudget* pBudget = statement.GetBudget();
    if (!pBudget) {
        section.vecBlocks.push_back(
            Paragraph(statement.GetBudgetState() == UncertaintyStatement::BudgetState::kNoFit
                          ? _("No uncertainty was evaluated: press Fit to evaluate it.")
                          : statement.DescribeBudget()));
        return {section};
    }
    const UncertaintyBudget& deviation = pBudget->GetDeviation();
    section.vecBlocks.push_back(Paragraph(
        wxString::Format(_("Expanded uncertainty of the deviations: U = %s %% (k = %s, about 95 %% "
                           "coverage), the same at every row."),
                         ResultFormat::FormatUncertainty(deviation.GetExpanded()),
                         FormatCoverage(deviation.GetCoverageFactor()))));
    const int nLargest = pBudget->GetLargestRow();
    const StatementRow* pLargest =
        FindRow(statement, [&](const StatementRow& r) { return r.nBudgetRow == nLargest; });
    const wxString& strUnit = contents.details.Get(Details::kUnit);
    const auto withUnit = [&](const wxString& str) {
        return strUnit.empty() ? str : str + wxT(" ") + strUnit;
    };
    if (pLargest) {
        const UncertaintyBudget& largest = pBudget->GetRowBudgets()[nLargest];
        section.vecBlocks.push_back(Paragraph(wxString::Format(
            _("Expanded uncertainty of the corrected values: at most %s %% (k = %s, about 95 %% "
              "coverage) from Real P0 = %s to %s."),
            ResultFormat::FormatUncertainty(largest.GetExpanded()),
            FormatCoverage(largest.GetCoverageFactor()),
            RealPText(contents, statement, pBudget->GetLowestReference()),
            withUnit(RealPText(contents, statement, pBudget->GetHighestReference())))));
    }
    section.vecBlocks.push_back(Paragraph(statement.DescribeBudget()));
    std::vector<Section> sections = {
        section, BudgetSection(_("Uncertainty budget of the deviations"), wxString(), deviation)};
    if (pLargest)
        sections.push_back(BudgetSection(
            _("Uncertainty budget of the corrected values"),
            wxString::Format(_("At row %d (Real P0 = %s), where U is the largest."),
                             pLargest->nGridRow + 1,
                             withUnit(contents.table[pLargest->nGridRow][GridData::kRealPCol])),
            pBudget->GetRowBudgets()[nLargest]));
    return sections;
}

// Under a tolerance: the tolerance, the decision rule and what it states.
std::vector<Section> ConformitySection(const CalibrationDetails& details,
                                       const UncertaintyStatement& statement) {
    if (!statement.HasTolerance()) return {};
    Section section;
    section.strHeading = _("Statement of conformity");
    section.bKeepTogether = true;
    Table list = List();
    list.vecRows.push_back(
        {Details::LabelOf(Details::kTolerance), wxT("\u00b1 ") + details.Get(Details::kTolerance)});
    list.vecRows.push_back(
        {Details::LabelOf(Details::kDecisionRule),
         Label(statement.IsGuarded() ? "Guarded acceptance" : "Simple acceptance")});
    section.vecBlocks.push_back(TableBlock(std::move(list)));
    section.vecBlocks.push_back(Paragraph(
        statement.IsGuarded()
            ? _("A row passes when its deviation plus U is within the tolerance, fails when its "
                "deviation less U is beyond it, and is indeterminate otherwise; U is the "
                "deviations' expanded uncertainty.")
            : _("A row passes when its deviation is within the tolerance, and fails otherwise.")));
    section.vecBlocks.push_back(Paragraph(
        wxGetTranslation(wxString::FromUTF8(Conformity::StatementText(statement.GetStatement()))),
        Style::kBold));
    return {section};
}

std::vector<Section> Notes(const CalibrationDetails& details) {
    if (details.Get(Details::kNotes).empty()) return {};
    Section section;
    section.strHeading = Details::LabelOf(Details::kNotes);
    section.vecBlocks.push_back(Paragraph(details.Get(Details::kNotes)));
    return {section};
}

// The statements, and the lines to sign them on below, on one page.
Section Statements(bool bCertificate, const CalibrationDetails& details) {
    Section section;
    section.bKeepTogether = true;
    section.vecBlocks.push_back(Paragraph(_("The results relate only to the item calibrated.")));
    section.vecBlocks.push_back(
        Paragraph(bCertificate ? _("This certificate may not be reproduced other than in full "
                                   "without the written approval of the laboratory.")
                               : _("This report may not be reproduced other than in full without "
                                   "the written approval of the laboratory.")));
    Block signatures;
    signatures.kind = Block::Kind::kSignatures;
    for (Details::Field field : {Details::kOperator, Details::kApprovedBy})
        signatures.vecSignatures.push_back({Details::LabelOf(field), details.Get(field)});
    section.vecBlocks.push_back(signatures);
    return section;
}

// The rows that hold anything, with their grid row numbers, in the grid's
// column order; a tick shows as a check mark.
Table GridTable(const panel::GridTable& grid, int nProgramMode) {
    Table table =
        Ruled({_("Row"), wxT("\u2713"), _("Real P0"), nProgramMode == 0 ? _("Fl") : _("T1"),
               nProgramMode == 0 ? _("Fr") : _("T2"), _("Correction P0"), _("Accuracy")});
    for (int nRow = 0; nRow < panel::kRows; ++nRow) {
        const auto& row = grid[nRow];
        const bool bTicked = panel::IsTickedText(row[GridData::kCheckCol]);
        bool bFilled = bTicked;
        for (int nCol = GridData::kRealPCol; nCol < panel::kCols; ++nCol)
            bFilled = bFilled || !row[nCol].empty();
        if (!bFilled) continue;
        std::vector<wxString> cells = {wxString::Format(wxT("%d"), nRow + 1),
                                       bTicked ? wxString(wxT("\u2713")) : wxString()};
        for (int nCol = GridData::kRealPCol; nCol < panel::kCols; ++nCol)
            cells.push_back(row[nCol]);
        table.vecRows.push_back(std::move(cells));
    }
    return table;
}

// The five values of a fit as it ended and as the boxes hold it, with the U
// of their budgets as the panel gives them (none without a budget), then the
// number of rows, the degrees of freedom and the residual.
Section FitSection(const CalibrationFit& fit, const CalibrationBudget* pBudget) {
    Section section;
    section.strHeading = _("Least-squares fit over every complete row");
    Table table = Ruled({wxString(), _("Unrounded"), _("As set")});
    if (pBudget) table.vecColumns.push_back({_("U (95 %)")});
    // The fit's values are in the order of panel::kResultBoxes.
    for (int j = 0; j < panel::kResults; ++j) {
        table.vecRows.push_back({Label(panel::kResultBoxes[j].pszLabel),
                                 wxString::Format(wxT("%.10g"), fit.GetUnrounded()[j]),
                                 ResultFormat::FormatResult(j, fit.GetSet()[j])});
        if (pBudget)
            table.vecRows.back().push_back(
                ResultFormat::FormatUncertainty(pBudget->GetValueBudgets()[j].GetExpanded()));
    }
    section.vecBlocks.push_back(TableBlock(std::move(table)));
    Table list = List();
    list.vecRows.push_back({_("Rows, n"), wxString::Format(wxT("%d"), fit.GetRows())});
    // The symbol is no catalogue key: keys stay ASCII.
    list.vecRows.push_back({_("Degrees of freedom") + wxT(", \u03bd"),
                            wxString::Format(wxT("%d"), fit.GetDegreesOfFreedom())});
    list.vecRows.push_back({_("Residual standard deviation s, %"),
                            ResultFormat::FormatUncertainty(fit.GetResidualPercent())});
    section.vecBlocks.push_back(TableBlock(std::move(list)));
    return section;
}

// Today's record of the panel: where the data came from, T, both sets of
// values, a Fit's, the grids and the plot.
std::vector<Section> Data(const panel::Contents& contents, int nProgramMode, const wxDateTime& when,
                          const wxString& strArchiveFile, bool bChangedSince,
                          const CalibrationFit* pFit, const UncertaintyStatement& statement) {
    const auto& box = contents.boxes;
    Section data;
    data.strHeading = _("Calibration data");
    data.bNewPage = true;
    Table list = List();
    list.vecRows.push_back({_("Date and time"), when.Format(wxT("%Y-%m-%d %H:%M:%S"))});
    list.vecRows.push_back({_("Program mode"), nProgramMode == 0 ? Label("With frequency")
                                                                 : Label("Without frequency")});
    if (!strArchiveFile.empty())
        list.vecRows.push_back(
            {_("Archive file"),
             bChangedSince ? wxString::Format(_("%s (data changed since it was opened or saved)"),
                                              strArchiveFile)
                           : strArchiveFile});
    list.vecRows.push_back({Label("T"), box[panel::kBoxT]});
    data.vecBlocks.push_back(TableBlock(std::move(list)));
    // Results and manual values side by side, named as in the panel.
    Table values = Ruled({wxString(), Label("Result"), Label("Manual ")});
    for (const panel::ResultBox& v : panel::kResultBoxes)
        values.vecRows.push_back({Label(v.pszLabel), box[v.result], box[v.manual]});
    data.vecBlocks.push_back(TableBlock(std::move(values)));
    std::vector<Section> sections = {data};
    if (pFit) sections.push_back(FitSection(*pFit, statement.GetBudget()));

    Section grid;
    grid.strHeading = _("Measurement grid");
    grid.vecBlocks.push_back(TableBlock(GridTable(contents.table, nProgramMode)));
    sections.push_back(grid);
    if (GridData::ShowsResults(contents.manualTable)) {
        Section manual;
        manual.strHeading = _("Manual grid (after Set)");
        manual.vecBlocks.push_back(TableBlock(GridTable(contents.manualTable, nProgramMode)));
        sections.push_back(manual);
    }
    Section plot;
    Block block;
    block.kind = Block::Kind::kPlot;
    plot.vecBlocks.push_back(block);
    sections.push_back(plot);
    return sections;
}

}  // namespace

ReportDocument ReportDocument::Build(const panel::Contents& contents, int nProgramMode,
                                     const wxDateTime& when, const wxString& strArchiveFile,
                                     bool bChangedSince, const CalibrationFit* pFit) {
    const CalibrationDetails& details = contents.details;
    ReportDocument doc;
    const wxString& strNumber = details.Get(Details::kCertificateNumber);
    if (!strNumber.empty()) doc.m_strNumber = wxString::Format(_("No. %s"), strNumber);
    doc.m_strTitle = doc.IsCertificate() ? _("Calibration certificate") : _("Calibration report");
    doc.m_strLaboratory = details.Get(Details::kLaboratory);
    doc.m_strAddress = details.Get(Details::kLaboratoryAddress);
    if (!details.Get(Details::kIssueDate).empty())
        doc.m_strFooter =
            Details::LabelOf(Details::kIssueDate) + wxT(": ") + details.Get(Details::kIssueDate);
    doc.m_strEnd = doc.IsCertificate() ? _("End of certificate") : _("End of report");

    // What the panel states, with the same fit and record.
    const UncertaintyStatement statement(contents, pFit);
    const bool bResults = GridData::ShowsResults(GridData::FinalTable(contents));
    // The sections in order; each part may give none, one or several.
    for (const std::vector<Section>& part :
         {std::vector<Section>{Title(doc)}, Identification(details),
          Results(contents, nProgramMode, pFit, statement),
          bResults ? Uncertainty(contents, statement) : std::vector<Section>(),
          bResults ? ConformitySection(details, statement) : std::vector<Section>(), Notes(details),
          std::vector<Section>{Statements(doc.IsCertificate(), details)},
          Data(contents, nProgramMode, when, strArchiveFile, bChangedSince, pFit, statement)})
        doc.m_vecSections.insert(doc.m_vecSections.end(), part.begin(), part.end());
    return doc;
}
