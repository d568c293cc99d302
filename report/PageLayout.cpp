#include "report/PageLayout.h"

#include <algorithm>
#include <utility>

#include <wx/intl.h>

namespace {

using Align = ReportDocument::Align;
using Block = ReportDocument::Block;
using Style = ReportDocument::Style;
using Table = ReportDocument::Table;

const int kCellPadX = 5;
const int kBlockGap = 8;
const int kSectionGap = 12;
const int kHeadingGap = 4;
const int kFrameGap = 6;        // between the header or footer text and its rule
const int kContentGap = 12;     // between that rule and the content
const int kColumnGap = 16;      // between the header's two columns
const int kSignatureSpace = 5;  // half lines left free to sign on
const int kSignatureGap = 24;

// Rules need room around the text; a list's rows stand closer.
int CellPadY(const Table& table) { return table.bRuled ? 2 : 1; }

std::vector<wxString> Split(const wxString& str, wxUniChar sep) {
    std::vector<wxString> parts(1);
    for (wxUniChar c : str) {
        if (c == sep)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

int Aligned(Align align, int nX, int nWidth, int nTextWidth) {
    switch (align) {
        case Align::kCentre:
            return nX + std::max(0, (nWidth - nTextWidth) / 2);
        case Align::kRight:
            return nX + std::max(0, nWidth - nTextWidth);
        default:
            return nX;
    }
}

}  // namespace

PageLayout::PageLayout(const TextMetrics& metrics, int nWidth, int nHeight)
    : m_metrics(metrics), m_nWidth(nWidth), m_nHeight(nHeight) {}

std::vector<wxString> PageLayout::Wrap(const wxString& str, Style style, int nWidth) const {
    auto fits = [&](const wxString& s) { return m_metrics.GetTextWidth(s, style) <= nWidth; };
    // Tabs are blanks; a line ends at '\n' whichever system typed it.
    wxString strText = str;
    strText.Replace(wxT("\r"), wxEmptyString);
    strText.Replace(wxT("\t"), wxT(" "));
    std::vector<wxString> lines;
    for (const wxString& strParagraph : Split(strText, '\n')) {
        wxString line;
        for (wxString word : Split(strParagraph, ' ')) {
            if (word.empty()) continue;
            const wxString candidate = line.empty() ? word : line + wxT(" ") + word;
            if (fits(candidate)) {
                line = candidate;
                continue;
            }
            if (!line.empty()) lines.push_back(line);
            // A word wider than the line breaks where it must, a character
            // at least per line.
            while (!fits(word) && word.length() > 1) {
                size_t nLow = 1, nHigh = word.length() - 1;
                while (nLow < nHigh) {
                    const size_t nMid = (nLow + nHigh + 1) / 2;
                    if (fits(word.substr(0, nMid)))
                        nLow = nMid;
                    else
                        nHigh = nMid - 1;
                }
                lines.push_back(word.substr(0, nLow));
                word = word.substr(nLow);
            }
            line = word;
        }
        lines.push_back(line);
    }
    return lines;
}

Style PageLayout::CellStyle(const Table& table, size_t nColumn, bool bHeader) const {
    return bHeader || table.vecColumns[nColumn].bBold ? Style::kBold : Style::kNormal;
}

PageLayout::Arranged PageLayout::Arrange(const Table& table) const {
    const size_t n = table.vecColumns.size();
    Arranged arranged;
    arranged.vecEdges.push_back(0);
    if (n == 0) return arranged;
    // A row short of cells shows the missing ones empty.
    auto cell = [](const std::vector<wxString>& row, size_t c) {
        return c < row.size() ? row[c] : wxString();
    };
    // Each column's width on one line, and the width of its widest word.
    std::vector<int> natural(n, 0), least(n, 0);
    auto measure = [&](size_t c, const wxString& str, bool bHeader) {
        const Style style = CellStyle(table, c, bHeader);
        for (const wxString& line : Split(str, '\n')) {
            natural[c] = std::max(natural[c], m_metrics.GetTextWidth(line, style));
            for (const wxString& word : Split(line, ' '))
                least[c] = std::max(least[c], m_metrics.GetTextWidth(word, style));
        }
    };
    for (size_t c = 0; c < n; ++c) {
        if (table.bRuled) measure(c, table.vecColumns[c].strHeader, true);
        for (const auto& row : table.vecRows) measure(c, cell(row, c), false);
        natural[c] += 2 * kCellPadX + 1;
        // A word wider than an equal share of the width is broken anyway:
        // it must not squeeze the other columns.
        least[c] = std::min(least[c] + 2 * kCellPadX + 1, m_nWidth / static_cast<int>(n));
    }
    long nNatural = 0, nLeast = 0;
    for (size_t c = 0; c < n; ++c) {
        nNatural += natural[c];
        nLeast += least[c];
    }
    // Columns as wide as their texts when they fit, ruled tables stretched
    // across the width. Else each keeps its widest word while the width
    // allows, and the rest goes first to the columns that need least to fit
    // on one line, an equal share at most, so short labels stay unbroken.
    std::vector<int> widths(n);
    const bool bFits = nNatural <= m_nWidth;
    if (bFits) {
        for (size_t c = 0; c < n; ++c)
            widths[c] = table.bRuled
                            ? static_cast<int>(natural[c] * static_cast<long>(m_nWidth) / nNatural)
                            : natural[c];
    } else if (nLeast >= m_nWidth) {
        for (size_t c = 0; c < n; ++c)
            widths[c] = static_cast<int>(least[c] * static_cast<long>(m_nWidth) / nLeast);
    } else {
        std::vector<size_t> order(n);
        for (size_t c = 0; c < n; ++c) order[c] = c;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return natural[a] - least[a] < natural[b] - least[b];
        });
        long nLeft = m_nWidth - nLeast;
        for (size_t k = 0; k < n; ++k) {
            const size_t c = order[k];
            const long nGiven =
                std::min<long>(natural[c] - least[c], nLeft / static_cast<long>(n - k));
            widths[c] = least[c] + static_cast<int>(nGiven);
            nLeft -= nGiven;
        }
    }
    for (size_t c = 0; c < n; ++c)
        arranged.vecEdges.push_back(arranged.vecEdges.back() + widths[c]);
    // The rounding's remainder goes to the last column of a full-width table.
    if (table.bRuled || !bFits) arranged.vecEdges.back() = m_nWidth - 1;

    auto wrapRow = [&](const std::vector<wxString>& texts, bool bHeader) {
        std::vector<std::vector<wxString>> cells;
        for (size_t c = 0; c < n; ++c) {
            const int nInner = arranged.vecEdges[c + 1] - arranged.vecEdges[c] - 2 * kCellPadX;
            cells.push_back(
                Wrap(cell(texts, c), CellStyle(table, c, bHeader), std::max(1, nInner)));
        }
        return cells;
    };
    if (table.bRuled) {
        std::vector<wxString> headers;
        for (const auto& column : table.vecColumns) headers.push_back(column.strHeader);
        arranged.vecHeader = wrapRow(headers, true);
    }
    for (const auto& row : table.vecRows) arranged.vecRows.push_back(wrapRow(row, false));
    return arranged;
}

int PageLayout::RowHeight(const Table& table, const std::vector<std::vector<wxString>>& cells,
                          bool bHeader) const {
    int nHeight = 0;
    for (size_t c = 0; c < cells.size(); ++c)
        nHeight = std::max(nHeight, static_cast<int>(cells[c].size()) *
                                        m_metrics.GetLineHeight(CellStyle(table, c, bHeader)));
    return nHeight + 2 * CellPadY(table);
}

int PageLayout::SignaturesHeight(const Block& block) const {
    const int n = std::max<int>(1, static_cast<int>(block.vecSignatures.size()));
    const int nLine = m_nWidth / n - kSignatureGap;
    int nText = 0;
    for (const auto& s : block.vecSignatures)
        nText = std::max(nText, static_cast<int>(Wrap(s.strName, Style::kNormal, nLine).size()) *
                                        m_metrics.GetLineHeight(Style::kNormal) +
                                    static_cast<int>(Wrap(s.strRole, Style::kSmall, nLine).size()) *
                                        m_metrics.GetLineHeight(Style::kSmall));
    return kSignatureSpace * m_metrics.GetLineHeight(Style::kNormal) / 2 + 3 + nText;
}

// A block's height, or with bStart that of what must start it: a table's
// header row with its first row, a paragraph's first line.
int PageLayout::BlockHeight(const Block& block, bool bStart) const {
    switch (block.kind) {
        case Block::Kind::kTable: {
            const Arranged arranged = Arrange(block.table);
            int nHeight = block.table.bRuled ? RowHeight(block.table, arranged.vecHeader, true) : 0;
            for (size_t r = 0; r < arranged.vecRows.size() && (!bStart || r == 0); ++r)
                nHeight += RowHeight(block.table, arranged.vecRows[r], false);
            return nHeight + 1;
        }
        case Block::Kind::kSignatures:
            return SignaturesHeight(block);
        case Block::Kind::kPlot:
            return kPlotMinHeight;
        default: {
            const size_t nLines = bStart ? 1 : Wrap(block.strText, block.style, m_nWidth).size();
            return static_cast<int>(nLines) * m_metrics.GetLineHeight(block.style);
        }
    }
}

int PageLayout::SectionHeight(const ReportDocument::Section& section) const {
    int nHeight =
        section.strHeading.empty()
            ? 0
            : static_cast<int>(Wrap(section.strHeading, Style::kHeading, m_nWidth).size()) *
                      m_metrics.GetLineHeight(Style::kHeading) +
                  kHeadingGap;
    for (size_t b = 0; b < section.vecBlocks.size(); ++b)
        nHeight += (b > 0 ? kBlockGap : 0) + BlockHeight(section.vecBlocks[b], false);
    return nHeight;
}

void PageLayout::StartPage() {
    m_vecPages.emplace_back();
    m_vecPages.back().rectContent = {0, m_nTop, m_nWidth, m_nBottom - m_nTop};
    m_nY = m_nTop;
    m_pHeaderTable = nullptr;
}

void PageLayout::Advance(int nGap) {
    if (!AtTop()) m_nY = std::min(m_nY + nGap, m_nBottom);
}

void PageLayout::MakeRoom(int nHeight) {
    if (m_nY + nHeight > m_nBottom && !AtTop()) StartPage();
}

void PageLayout::PlaceLines(const std::vector<wxString>& vecLines, Style style, Align align, int nX,
                            int nWidth) {
    const int nLine = m_metrics.GetLineHeight(style);
    for (const wxString& line : vecLines) {
        MakeRoom(nLine);
        // An empty line takes its height and leaves no text.
        if (!line.empty())
            m_vecPages.back().vecTexts.push_back(
                {Aligned(align, nX, nWidth, m_metrics.GetTextWidth(line, style)), m_nY, line,
                 style});
        m_nY += nLine;
    }
}

void PageLayout::PlaceRowPart(const Table& table, const Arranged& arranged,
                              const std::vector<std::vector<wxString>>& cells, bool bHeader,
                              size_t nFirst, size_t nCount) {
    Page& page = m_vecPages.back();
    int nHeight = 0;
    for (size_t c = 0; c < cells.size(); ++c) {
        const Style style = CellStyle(table, c, bHeader);
        const int nLine = m_metrics.GetLineHeight(style);
        const int nX = arranged.vecEdges[c] + kCellPadX;
        const int nInner = arranged.vecEdges[c + 1] - arranged.vecEdges[c] - 2 * kCellPadX;
        for (size_t i = nFirst; i < std::min(cells[c].size(), nFirst + nCount); ++i) {
            if (cells[c][i].empty()) continue;
            const int nWidth = m_metrics.GetTextWidth(cells[c][i], style);
            const int nY = m_nY + CellPadY(table) + static_cast<int>(i - nFirst) * nLine;
            page.vecTexts.push_back(
                {Aligned(table.vecColumns[c].align, nX, nInner, nWidth), nY, cells[c][i], style});
        }
        nHeight = std::max(nHeight, static_cast<int>(nCount) * nLine);
    }
    nHeight += 2 * CellPadY(table);
    const int nLeft = arranged.vecEdges.front(), nRight = arranged.vecEdges.back();
    if (bHeader) page.vecShades.push_back({nLeft, m_nY, nRight - nLeft, nHeight});
    if (table.bRuled) {
        page.vecLines.push_back({nLeft, m_nY, nRight, m_nY});
        page.vecLines.push_back({nLeft, m_nY + nHeight, nRight, m_nY + nHeight});
        for (int nEdge : arranged.vecEdges)
            page.vecLines.push_back({nEdge, m_nY, nEdge, m_nY + nHeight});
    }
    page.vecRows.push_back({nLeft, m_nY, nRight - nLeft + 1, nHeight + 1});
    m_nY += nHeight;
}

void PageLayout::PlaceRow(const Table& table, const Arranged& arranged,
                          const std::vector<std::vector<wxString>>& cells, bool bHeader) {
    size_t nLines = 1;
    int nLine = 1;
    for (size_t c = 0; c < cells.size(); ++c) {
        nLines = std::max(nLines, cells[c].size());
        nLine = std::max(nLine, m_metrics.GetLineHeight(CellStyle(table, c, bHeader)));
    }
    // A row taller than a page goes on over the next, a line at least on each.
    bool bFresh = AtTop();
    for (size_t nFirst = 0; nFirst < nLines;) {
        const int nFit = (m_nBottom - m_nY - 2 * CellPadY(table) - 1) / nLine;
        if (nFit <= 0 && !bFresh) {
            StartPage();
            if (table.bRuled && !bHeader) {
                PlaceRow(table, arranged, arranged.vecHeader, true);
                m_pHeaderTable = &table;
            }
            bFresh = true;
            continue;
        }
        const size_t nCount = std::min(nLines - nFirst, static_cast<size_t>(std::max(1, nFit)));
        PlaceRowPart(table, arranged, cells, bHeader, nFirst, nCount);
        nFirst += nCount;
        bFresh = false;
    }
}

void PageLayout::PlaceTable(const Table& table) {
    if (table.vecColumns.empty()) return;
    const Arranged arranged = Arrange(table);
    const int nHeader = table.bRuled ? RowHeight(table, arranged.vecHeader, true) : 0;
    if (arranged.vecRows.empty() && table.bRuled) {
        MakeRoom(nHeader + 1);
        PlaceRow(table, arranged, arranged.vecHeader, true);
    }
    for (const auto& cells : arranged.vecRows) {
        const bool bNeedHeader = table.bRuled && m_pHeaderTable != &table;
        MakeRoom((bNeedHeader ? nHeader : 0) + RowHeight(table, cells, false) + 1);
        if (table.bRuled && m_pHeaderTable != &table) {
            PlaceRow(table, arranged, arranged.vecHeader, true);
            m_pHeaderTable = &table;
        }
        PlaceRow(table, arranged, cells, false);
    }
    // The rules' last line lies below the last row.
    m_nY = std::min(m_nY + 1, m_nBottom);
}

void PageLayout::PlaceSignatures(const Block& block) {
    MakeRoom(SignaturesHeight(block));
    const int n = std::max<int>(1, static_cast<int>(block.vecSignatures.size()));
    const int nColumn = m_nWidth / n, nLine = nColumn - kSignatureGap;
    const int nRuleY = m_nY + kSignatureSpace * m_metrics.GetLineHeight(Style::kNormal) / 2;
    const int nTop = m_nY;
    int nBottom = m_nY;
    for (int i = 0; i < static_cast<int>(block.vecSignatures.size()); ++i) {
        const int nX = i * nColumn;
        m_vecPages.back().vecLines.push_back({nX, nRuleY, nX + nLine, nRuleY});
        m_nY = nRuleY + 3;
        PlaceLines(Wrap(block.vecSignatures[i].strName, Style::kNormal, nLine), Style::kNormal,
                   Align::kLeft, nX, nLine);
        PlaceLines(Wrap(block.vecSignatures[i].strRole, Style::kSmall, nLine), Style::kSmall,
                   Align::kLeft, nX, nLine);
        nBottom = std::max(nBottom, m_nY);
        m_nY = nTop;
    }
    m_nY = nBottom;
}

void PageLayout::PlacePlot(int nReserve) {
    const int nMost = static_cast<int>(m_nWidth * kPlotMaxShare);
    if (m_nBottom - m_nY - nReserve < kPlotMinHeight) {
        if (!AtTop()) StartPage();
    }
    const int nHeight = std::max(1, std::min(nMost, m_nBottom - m_nY - nReserve));
    Page& page = m_vecPages.back();
    page.bPlot = true;
    page.rectPlot = {0, m_nY, m_nWidth, nHeight};
    m_nY += nHeight;
}

void PageLayout::PlaceBlock(const Block& block, int nReserve) {
    switch (block.kind) {
        case Block::Kind::kTable:
            PlaceTable(block.table);
            break;
        case Block::Kind::kSignatures:
            PlaceSignatures(block);
            break;
        case Block::Kind::kPlot:
            PlacePlot(nReserve);
            break;
        default:
            PlaceLines(Wrap(block.strText, block.style, m_nWidth), block.style, block.align, 0,
                       m_nWidth);
    }
}

int PageLayout::ArrangeHeader(const ReportDocument& doc, std::vector<Text>& vecLeft,
                              std::vector<Text>& vecRight) const {
    // The laboratory on the left, the document and its page on the right.
    const int nRight = (m_nWidth - kColumnGap) * 2 / 5;
    const int nLeft = m_nWidth - kColumnGap - nRight;
    auto column = [&](std::vector<Text>& out, Align align, int nX, int nWidth,
                      const std::vector<std::pair<wxString, Style>>& texts) {
        int nY = 0;
        for (const auto& t : texts) {
            if (t.first.empty()) continue;
            for (const wxString& line : Wrap(t.first, t.second, nWidth)) {
                out.push_back({Aligned(align, nX, nWidth, m_metrics.GetTextWidth(line, t.second)),
                               nY, line, t.second});
                nY += m_metrics.GetLineHeight(t.second);
            }
        }
        return nY;
    };
    const int nLeftHeight =
        column(vecLeft, Align::kLeft, 0, nLeft,
               {{doc.m_strLaboratory, Style::kSmallBold}, {doc.m_strAddress, Style::kSmall}});
    // The page's own line comes last, once the count is known.
    const int nRightHeight =
        column(vecRight, Align::kRight, m_nWidth - nRight, nRight,
               {{doc.m_strTitle, Style::kSmallBold}, {doc.m_strNumber, Style::kSmall}}) +
        m_metrics.GetLineHeight(Style::kSmall);
    return std::max(nLeftHeight, nRightHeight);
}

void PageLayout::AddFrames(const ReportDocument& doc) {
    std::vector<Text> vecLeft, vecRight;
    const int nHeader = ArrangeHeader(doc, vecLeft, vecRight);
    const int nPageY = nHeader - m_metrics.GetLineHeight(Style::kSmall);
    const std::vector<wxString> footer = Wrap(doc.m_strFooter, Style::kSmall, m_nWidth);
    const int nPages = static_cast<int>(m_vecPages.size());
    for (int i = 0; i < nPages; ++i) {
        Page& page = m_vecPages[i];
        page.vecTexts.insert(page.vecTexts.end(), vecLeft.begin(), vecLeft.end());
        page.vecTexts.insert(page.vecTexts.end(), vecRight.begin(), vecRight.end());
        const wxString strPage = wxString::Format(_("Page %d of %d"), i + 1, nPages);
        page.vecTexts.push_back({m_nWidth - m_metrics.GetTextWidth(strPage, Style::kSmall), nPageY,
                                 strPage, Style::kSmall});
        page.vecLines.push_back({0, m_nHeaderRule, m_nWidth - 1, m_nHeaderRule});
        if (doc.m_strFooter.empty()) continue;
        page.vecLines.push_back(
            {0, m_nFooterTop - kFrameGap, m_nWidth - 1, m_nFooterTop - kFrameGap});
        int nY = m_nFooterTop;
        for (const wxString& line : footer) {
            page.vecTexts.push_back({0, nY, line, Style::kSmall});
            nY += m_metrics.GetLineHeight(Style::kSmall);
        }
    }
}

std::vector<PageLayout::Page> PageLayout::Paginate(const ReportDocument& doc) {
    m_vecPages.clear();
    std::vector<Text> vecLeft, vecRight;
    m_nHeaderRule = ArrangeHeader(doc, vecLeft, vecRight) + kFrameGap;
    m_nTop = m_nHeaderRule + kContentGap;
    m_nFooterTop = m_nHeight;
    if (!doc.m_strFooter.empty())
        m_nFooterTop -= static_cast<int>(Wrap(doc.m_strFooter, Style::kSmall, m_nWidth).size()) *
                        m_metrics.GetLineHeight(Style::kSmall);
    m_nBottom = doc.m_strFooter.empty() ? m_nHeight : m_nFooterTop - kFrameGap - kContentGap;
    StartPage();

    // The end mark follows the last block on its page.
    const int nEnd =
        kBlockGap + static_cast<int>(Wrap(doc.m_strEnd, Style::kBold, m_nWidth).size()) *
                        m_metrics.GetLineHeight(Style::kBold);
    for (size_t s = 0; s < doc.m_vecSections.size(); ++s) {
        const ReportDocument::Section& section = doc.m_vecSections[s];
        if (section.bNewPage && !AtTop()) StartPage();
        Advance(kSectionGap);
        const bool bLastSection = s + 1 == doc.m_vecSections.size();
        if (section.bKeepTogether) MakeRoom(SectionHeight(section));
        if (!section.strHeading.empty()) {
            const int nHeading = m_metrics.GetLineHeight(Style::kHeading) + kHeadingGap;
            // A heading stays with the start of what follows it.
            MakeRoom(nHeading + (section.vecBlocks.empty()
                                     ? 0
                                     : BlockHeight(section.vecBlocks.front(), true)));
            PlaceLines(Wrap(section.strHeading, Style::kHeading, m_nWidth), Style::kHeading,
                       Align::kLeft, 0, m_nWidth);
            m_nY = std::min(m_nY + kHeadingGap, m_nBottom);
        }
        for (size_t b = 0; b < section.vecBlocks.size(); ++b) {
            if (b > 0) Advance(kBlockGap);
            const bool bLast = bLastSection && b + 1 == section.vecBlocks.size();
            PlaceBlock(section.vecBlocks[b], bLast ? nEnd : 0);
        }
    }
    Advance(kBlockGap);
    PlaceLines(Wrap(doc.m_strEnd, Style::kBold, m_nWidth), Style::kBold, Align::kCentre, 0,
               m_nWidth);
    AddFrames(doc);
    return std::move(m_vecPages);
}
