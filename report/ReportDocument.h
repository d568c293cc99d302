#ifndef VARID_REPORT_REPORTDOCUMENT_H
#define VARID_REPORT_REPORTDOCUMENT_H

#include <vector>

#include <wx/datetime.h>
#include <wx/string.h>

#include "grid/PanelContents.h"

class CalibrationFit;

// The printed record of a calibration, without a window: a calibration
// certificate when the record has a certificate number, else a calibration
// report of the same layout. It says what every page's header and footer
// hold and lists the sections in order, each a heading and blocks of text,
// tables, signature lines or the plot; PageLayout puts them on pages.
//
// First the certificate proper: identification, the final values with their
// units, the results at every complete row, the measurement uncertainty with
// its budgets and, under a tolerance, the statement of conformity (as the
// panel states them), the notes, the statements and the signatures. Then,
// from a new page, the data: where they came from, T, the result and manual
// values, a Fit's values, the grids and the plot. Every value is the text the
// panel shows.
class ReportDocument {
public:
    enum class Style { kNormal, kBold, kSmall, kSmallBold, kHeading, kTitle };
    enum class Align { kLeft, kCentre, kRight };

    struct Column {
        wxString strHeader;
        Align align = Align::kCentre;
        bool bBold = false;  // the column's cells, as a list's labels
    };
    struct Table {
        std::vector<Column> vecColumns;
        std::vector<std::vector<wxString>> vecRows;  // a text per column
        // A ruled table across the width, its header row repeated on every
        // page it runs on; else a list of unruled rows without headers.
        bool bRuled = true;
    };
    struct Signature {
        wxString strRole, strName;
    };
    struct Block {
        enum class Kind { kParagraph, kTable, kSignatures, kPlot };
        Kind kind = Kind::kParagraph;
        wxString strText;  // a paragraph's; '\n' starts a line
        Style style = Style::kNormal;
        Align align = Align::kLeft;
        Table table;
        std::vector<Signature> vecSignatures;
    };
    struct Section {
        wxString strHeading;  // none when empty
        std::vector<Block> vecBlocks;
        bool bNewPage = false;
        bool bKeepTogether = false;  // on one page, where it fits on one
    };

    // strArchiveFile is empty when the data did not come from an Open or Save
    // of this run; bChangedSince says the panel was changed after it. pFit,
    // when given, is the fit whose set the manual boxes show.
    static ReportDocument Build(const panel::Contents& contents, int nProgramMode,
                                const wxDateTime& when, const wxString& strArchiveFile,
                                bool bChangedSince, const CalibrationFit* pFit = nullptr);

    bool IsCertificate() const { return !m_strNumber.empty(); }
    // The title, followed on a certificate by its number.
    wxString GetHeadline() const {
        return IsCertificate() ? m_strTitle + wxT(" ") + m_strNumber : m_strTitle;
    }

    wxString m_strTitle;
    wxString m_strNumber;  // "No. " and the certificate number as typed
    // On every page: the laboratory and its address, the title, the number
    // and the page in the header; the issue date (may be empty) below.
    wxString m_strLaboratory, m_strAddress;
    wxString m_strFooter;
    wxString m_strEnd;  // after the last page's content
    std::vector<Section> m_vecSections;
};

#endif
