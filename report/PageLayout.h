#ifndef VARID_REPORT_PAGELAYOUT_H
#define VARID_REPORT_PAGELAYOUT_H

#include <vector>

#include <wx/string.h>

#include "report/ReportDocument.h"
#include "report/TextMetrics.h"

// Puts a report document on pages of a given printable size, all of them
// before the first is drawn, so every header can say "Page x of N". Text
// keeps its size: it wraps at blanks (inside a word only when the word is
// wider than its column), tables break between rows and repeat their header
// row, a heading stays with what follows it, signatures stay together and
// the plot takes the rest of a page, or a page of its own when too little is
// left; a section kept together starts a page when it would not fit on this
// one. Only a table row taller than a whole page is broken, between lines.
//
// Coordinates are in the metrics' units from the printable area's top-left
// corner; the spacings assume 96 units to the inch.
class PageLayout {
public:
    struct Rect {
        int nX = 0, nY = 0, nWidth = 0, nHeight = 0;
        int GetRight() const { return nX + nWidth; }
        int GetBottom() const { return nY + nHeight; }
    };
    struct Text {
        int nX, nY;  // top-left
        wxString str;
        ReportDocument::Style style;
    };
    struct Line {
        int nX1, nY1, nX2, nY2;
    };
    struct Page {
        std::vector<Text> vecTexts;
        std::vector<Line> vecLines;
        std::vector<Rect> vecShades;  // behind a table's header row
        std::vector<Rect> vecRows;    // every table row placed here, rules included
        Rect rectContent;             // between the header and the footer
        bool bPlot = false;
        Rect rectPlot;
    };

    PageLayout(const TextMetrics& metrics, int nWidth, int nHeight);

    std::vector<Page> Paginate(const ReportDocument& doc);

    // The lines a text takes in nWidth; '\n' starts a line.
    std::vector<wxString> Wrap(const wxString& str, ReportDocument::Style style, int nWidth) const;

    // The plot's least height, and its largest as a share of the width.
    static constexpr int kPlotMinHeight = 340;
    static constexpr double kPlotMaxShare = 0.75;

private:
    // A table's columns and its cells as wrapped lines.
    struct Arranged {
        std::vector<int> vecEdges;  // left edge of each column, then the right edge
        std::vector<std::vector<wxString>> vecHeader;
        std::vector<std::vector<std::vector<wxString>>> vecRows;
    };

    Arranged Arrange(const ReportDocument::Table& table) const;
    ReportDocument::Style CellStyle(const ReportDocument::Table& table, size_t nColumn,
                                    bool bHeader) const;
    int RowHeight(const ReportDocument::Table& table,
                  const std::vector<std::vector<wxString>>& cells, bool bHeader) const;
    int BlockHeight(const ReportDocument::Block& block, bool bStart) const;
    int SectionHeight(const ReportDocument::Section& section) const;
    int SignaturesHeight(const ReportDocument::Block& block) const;

    void StartPage();
    bool AtTop() const { return m_nY == m_nTop; }
    void Advance(int nGap);
    void MakeRoom(int nHeight);
    void PlaceLines(const std::vector<wxString>& vecLines, ReportDocument::Style style,
                    ReportDocument::Align align, int nX, int nWidth);
    void PlaceBlock(const ReportDocument::Block& block, int nReserve);
    void PlaceTable(const ReportDocument::Table& table);
    void PlaceRow(const ReportDocument::Table& table, const Arranged& arranged,
                  const std::vector<std::vector<wxString>>& cells, bool bHeader);
    void PlaceRowPart(const ReportDocument::Table& table, const Arranged& arranged,
                      const std::vector<std::vector<wxString>>& cells, bool bHeader, size_t nFirst,
                      size_t nCount);
    void PlaceSignatures(const ReportDocument::Block& block);
    void PlacePlot(int nReserve);
    int ArrangeHeader(const ReportDocument& doc, std::vector<Text>& vecLeft,
                      std::vector<Text>& vecRight) const;
    void AddFrames(const ReportDocument& doc);

    const TextMetrics& m_metrics;
    int m_nWidth, m_nHeight;
    int m_nTop = 0, m_nBottom = 0;
    int m_nY = 0;
    int m_nHeaderRule = 0, m_nFooterTop = 0;
    const ReportDocument::Table* m_pHeaderTable = nullptr;  // whose header this page has
    std::vector<Page> m_vecPages;
};

#endif
