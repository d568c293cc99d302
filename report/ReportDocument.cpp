#include "report/ReportDocument.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include <wx/intl.h>

#include "calc/CalibrationFit.h"
#include "grid/GridData.h"
#include "grid/ResultFormat.h"

namespace {

using Align = ReportDocument::Align;
using Block = ReportDocument::Block;
using Section = ReportDocument::Section;
using Style = ReportDocument::Style;
using Table = ReportDocument::Table;
using Details = CalibrationDetails;

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

// A complete row of the measurement grid with the final set's results.
struct ResultRow {
    int nGridRow;
    wxString strRealP, strMean, strCorrection, strDeviation;
};

// A column of the results table: its header and what it shows of a row.
struct ResultColumn {
    wxString strHeader;
    std::function<wxString(const ResultRow&)> text;
};

std::vector<ResultColumn> ResultColumns(const Units& units, int nProgramMode) {
    return {
        {WithUnit(_("Real P0"), units.strValue), [](const ResultRow& r) { return r.strRealP; }},
        {WithUnit(nProgramMode == 0 ? _("Mean frequency") : _("Mean period"), units.strReading),
         [](const ResultRow& r) { return r.strMean; }},
        {WithUnit(_("Corrected value"), units.strValue),
         [](const ResultRow& r) { return r.strCorrection; }},
        {_("Deviation, %"), [](const ResultRow& r) { return r.strDeviation; }},
    };
}

std::vector<ResultRow> ResultRows(const panel::Contents& contents,
                                  const panel::GridTable& finalTable) {
    const bool bSingle = !GridData::IsSecondColumnInUse(contents.table);
    GridData grid;
    grid.Read(contents.table, bSingle);
    const std::vector<double> vecMeans = grid.MeanReadings();
    std::vector<ResultRow> rows;
    for (size_t k = 0; k < grid.m_vecGridRow.size(); ++k) {
        const int nRow = grid.m_vecGridRow[k];
        const auto& cells = contents.table[nRow];
        const wxString& strFirst = cells[GridData::kFirstReadingCol];
        rows.push_back(
            {nRow, cells[GridData::kRealPCol],
             FormatMean(strFirst, bSingle ? strFirst : cells[GridData::kSecondReadingCol],
                        vecMeans[k]),
             finalTable[nRow][GridData::kCorrectionCol], finalTable[nRow][GridData::kAccuracyCol]});
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
                             const CalibrationFit* pFit) {
    const bool bManual = GridData::ShowsResults(contents.manualTable);
    const panel::GridTable& finalTable = bManual ? contents.manualTable : contents.table;
    Section values;
    values.strHeading = _("Final values");
    if (!GridData::ShowsResults(finalTable)) {
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
    const std::vector<ResultColumn> columns = ResultColumns(units, nProgramMode);
    Table rows;
    for (const ResultColumn& column : columns) rows.vecColumns.push_back({column.strHeader});
    for (const ResultRow& row : ResultRows(contents, finalTable)) {
        rows.vecRows.emplace_back();
        for (const ResultColumn& column : columns) rows.vecRows.back().push_back(column.text(row));
    }
    results.vecBlocks.push_back(TableBlock(std::move(rows)));
    return {values, results};
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

// The five values of a fit as it ended and as the boxes hold it, with their
// U, then the number of rows, the degrees of freedom and the residual.
Section FitSection(const CalibrationFit& fit) {
    Section section;
    section.strHeading = _("Least-squares fit over every complete row");
    Table table = Ruled({wxString(), _("Unrounded"), _("As set"), _("U (95 %)")});
    // The fit's values are in the order of panel::kResultBoxes.
    for (int j = 0; j < panel::kResults; ++j)
        table.vecRows.push_back({Label(panel::kResultBoxes[j].pszLabel),
                                 wxString::Format(wxT("%.10g"), fit.GetUnrounded()[j]),
                                 ResultFormat::FormatResult(j, fit.GetSet()[j]),
                                 ResultFormat::FormatUncertainty(fit.GetExpandedUncertainty()[j])});
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
                          const CalibrationFit* pFit) {
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
    if (pFit) sections.push_back(FitSection(*pFit));

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

    // The sections in order; each part may give none, one or several.
    for (const std::vector<Section>& part :
         {std::vector<Section>{Title(doc)}, Identification(details),
          Results(contents, nProgramMode, pFit), Notes(details),
          std::vector<Section>{Statements(doc.IsCertificate(), details)},
          Data(contents, nProgramMode, when, strArchiveFile, bChangedSince, pFit)})
        doc.m_vecSections.insert(doc.m_vecSections.end(), part.begin(), part.end());
    return doc;
}
