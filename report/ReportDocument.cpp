#include "report/ReportDocument.h"

#include <wx/intl.h>

#include "calc/CalibrationFit.h"
#include "grid/GridData.h"
#include "grid/ResultFormat.h"

namespace {

const wxString kTableStart =
    wxT("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");

wxString Cell(const wxString& str, const wxString& strTag = wxT("td")) {
    return wxT("<") + strTag + wxT(" align=\"center\">") + ReportDocument::Escape(str) + wxT("</") +
           strTag + wxT(">");
}

wxString InfoRow(const wxString& strLabel, const wxString& strValue) {
    return wxT("<tr><td nowrap><b>") + ReportDocument::Escape(strLabel) + wxT("</b></td><td>") +
           ReportDocument::Escape(strValue) + wxT("</td></tr>");
}

// The layout's own labels (some end in a space there).
wxString Label(const char* pszKey) {
    return wxGetTranslation(wxString::FromUTF8(pszKey)).Strip(wxString::both);
}

// The rows that hold anything, with their grid row numbers, in the grid's
// column order; a tick shows as a check mark.
wxString GridTable(const panel::GridTable& table, int nProgramMode) {
    wxString html = kTableStart + wxT("<tr>");
    const wxString headers[] = {_("Row"),
                                wxT("\u2713"),
                                _("Real P0"),
                                nProgramMode == 0 ? _("Fl") : _("T1"),
                                nProgramMode == 0 ? _("Fr") : _("T2"),
                                _("Correction P0"),
                                _("Accuracy")};
    for (const wxString& str : headers) html += Cell(str, wxT("th"));
    html += wxT("</tr>");
    for (int nRow = 0; nRow < panel::kRows; ++nRow) {
        const auto& row = table[nRow];
        const bool bTicked = panel::IsTickedText(row[GridData::kCheckCol]);
        bool bFilled = bTicked;
        for (int nCol = GridData::kRealPCol; nCol < panel::kCols; ++nCol)
            bFilled = bFilled || !row[nCol].empty();
        if (!bFilled) continue;
        html += wxT("<tr>") + Cell(wxString::Format(wxT("%d"), nRow + 1)) +
                Cell(bTicked ? wxString(wxT("\u2713")) : wxString());
        for (int nCol = GridData::kRealPCol; nCol < panel::kCols; ++nCol) html += Cell(row[nCol]);
        html += wxT("</tr>");
    }
    return html + wxT("</table>");
}

// The five values of a fit as it ended and as the boxes hold it, with their
// U, then the number of rows, the degrees of freedom and the residual.
wxString FitSection(const CalibrationFit& fit) {
    wxString html = wxT("<p><b>") +
                    ReportDocument::Escape(_("Least-squares fit over every complete row")) +
                    wxT("</b>");
    html += kTableStart + wxT("<tr>") + Cell(wxString(), wxT("th")) +
            Cell(_("Unrounded"), wxT("th")) + Cell(_("As set"), wxT("th")) +
            Cell(_("U (95 %)"), wxT("th")) + wxT("</tr>");
    // The fit's values are in the order of panel::kResultBoxes.
    for (int j = 0; j < panel::kResults; ++j) {
        html += wxT("<tr>") + Cell(Label(panel::kResultBoxes[j].pszLabel)) +
                Cell(wxString::Format(wxT("%.10g"), fit.GetUnrounded()[j])) +
                Cell(ResultFormat::FormatResult(j, fit.GetSet()[j])) +
                Cell(ResultFormat::FormatUncertainty(fit.GetExpandedUncertainty()[j])) +
                wxT("</tr>");
    }
    html += wxT("</table><table cellspacing=\"0\" cellpadding=\"2\">");
    html += InfoRow(_("Rows, n"), wxString::Format(wxT("%d"), fit.GetRows()));
    // The symbol is no catalogue key: keys stay ASCII.
    html += InfoRow(_("Degrees of freedom") + wxT(", \u03bd"),
                    wxString::Format(wxT("%d"), fit.GetDegreesOfFreedom()));
    html += InfoRow(_("Residual standard deviation s, %"),
                    ResultFormat::FormatUncertainty(fit.GetResidualPercent()));
    return html + wxT("</table>");
}

}  // namespace

wxString ReportDocument::Escape(const wxString& str) {
    wxString out;
    for (wxUniChar c : str) {
        switch (c.GetValue()) {
            case '&':
                out += wxT("&amp;");
                break;
            case '<':
                out += wxT("&lt;");
                break;
            case '>':
                out += wxT("&gt;");
                break;
            case '"':
                out += wxT("&quot;");
                break;
            default:
                out += c;
        }
    }
    return out;
}

wxString ReportDocument::BuildHtml(const panel::Contents& contents, int nProgramMode,
                                   const wxDateTime& when, const wxString& strArchiveFile,
                                   bool bChangedSince, const CalibrationFit* pFit) {
    const auto& box = contents.boxes;
    wxString html = wxT("<html><head><meta charset=\"UTF-8\"></head><body>");
    html += wxT("<h3>") + Escape(_("Calibration report")) + wxT("</h3>");

    // Where the data come from on the left, the values on the right.
    html += wxT("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>");
    html += wxT("<td valign=\"top\" width=\"50%\"><table cellspacing=\"0\" cellpadding=\"2\">");
    html += InfoRow(_("Date and time"), when.Format(wxT("%Y-%m-%d %H:%M:%S")));
    html += InfoRow(_("Program mode"),
                    nProgramMode == 0 ? Label("With frequency") : Label("Without frequency"));
    if (!strArchiveFile.empty())
        html += InfoRow(_("Archive file"),
                        bChangedSince
                            ? wxString::Format(_("%s (data changed since it was opened or saved)"),
                                               strArchiveFile)
                            : strArchiveFile);
    html += InfoRow(Label("T"), box[panel::kBoxT]);
    html += wxT("</table></td><td valign=\"top\" align=\"right\">");

    // Results and manual values side by side, named as in the panel.
    html += wxT("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"94%\"><tr>") +
            Cell(wxString(), wxT("th")) + Cell(Label("Result"), wxT("th")) +
            Cell(Label("Manual "), wxT("th")) + wxT("</tr>");
    for (const panel::ResultBox& v : panel::kResultBoxes)
        html += wxT("<tr>") + Cell(Label(v.pszLabel)) + Cell(box[v.result]) + Cell(box[v.manual]) +
                wxT("</tr>");
    html += wxT("</table></td></tr></table>");
    if (pFit) html += FitSection(*pFit);
    html += wxT("<p>");

    html += wxT("<b>") + Escape(_("Measurement grid")) + wxT("</b>");
    html += GridTable(contents.table, nProgramMode);
    if (GridData::ShowsResults(contents.manualTable)) {
        html += wxT("<p><b>") + Escape(_("Manual grid (after Set)")) + wxT("</b>");
        html += GridTable(contents.manualTable, nProgramMode);
    }
    return html + wxT("</body></html>");
}
