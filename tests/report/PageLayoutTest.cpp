// The pagination on a device of fixed-width text: where lines wrap, where
// pages break and what every page repeats, with no toolkit drawing at all.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "report/PageLayout.h"

namespace {

using Style = ReportDocument::Style;

// Every character 6 units wide (7 in bold); lines 12 units high, headings 16.
class FixedMetrics : public TextMetrics {
public:
    int GetTextWidth(const wxString& str, Style style) const override {
        const bool bBold = style == Style::kBold || style == Style::kSmallBold ||
                           style == Style::kHeading || style == Style::kTitle;
        return static_cast<int>(str.length()) * (bBold ? 7 : 6);
    }
    int GetLineHeight(Style style) const override {
        return style == Style::kHeading || style == Style::kTitle ? 16 : 12;
    }
};

TEST(PageLayout, WrapsAtBlanksAndBreaksOnlyWordsWiderThanTheLine) {
    const FixedMetrics metrics;
    const PageLayout layout(metrics, 400, 600);
    const struct {
        const char* text;
        int nWidth;
        std::vector<std::string> lines;
    } cases[] = {
        {"a bb ccc", 30, {"a bb", "ccc"}},
        {"a bb ccc", 48, {"a bb ccc"}},
        {"abcdefghij", 24, {"abcd", "efgh", "ij"}},
        {"ab abcdefghij c", 24, {"ab", "abcd", "efgh", "ij c"}},
        {"x\n\ny  z", 60, {"x", "", "y z"}},
        {"a\r\nb\tc", 60, {"a", "b c"}},
        {"", 60, {""}},
        {"wide", 1, {"w", "i", "d", "e"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines;
        for (const wxString& line : layout.Wrap(c.text, Style::kNormal, c.nWidth))
            lines.push_back(line.utf8_string());
        EXPECT_EQ(lines, c.lines) << c.text << " in " << c.nWidth;
    }
}

const wxString kLine('w', 20);

ReportDocument::Block TableOf(int nRows, int nTallRow, int nTallLines) {
    ReportDocument::Block block;
    block.kind = ReportDocument::Block::Kind::kTable;
    block.table.vecColumns = {{"Id"}, {"Words"}};
    for (int i = 0; i < nRows; ++i) {
        // Every third row has three lines in its column.
        wxString strWords = wxString::Format("w%d", i);
        const int nLines = i == nTallRow ? nTallLines : i % 3 == 0 ? 3 : 1;
        for (int k = 1; k < nLines; ++k) strWords += "\n" + kLine;
        block.table.vecRows.push_back({wxString::Format("r%d", i), strWords});
    }
    return block;
}

struct Found {
    int nPage, nY;
};

std::vector<Found> Find(const std::vector<PageLayout::Page>& pages, const wxString& str) {
    std::vector<Found> found;
    for (size_t p = 0; p < pages.size(); ++p)
        for (const auto& t : pages[p].vecTexts)
            if (t.str == str) found.push_back({static_cast<int>(p), t.nY});
    return found;
}

TEST(PageLayout, OnlyARowTallerThanAPageGoesOnOverTheNext) {
    const FixedMetrics metrics;
    ReportDocument doc;
    ReportDocument::Section section;
    section.vecBlocks.push_back(TableOf(3, 1, 60));
    doc.m_vecSections = {section};
    const std::vector<PageLayout::Page> pages = PageLayout(metrics, 300, 240).Paginate(doc);
    // All 60 lines of the tall row placed, the header above them on each page.
    EXPECT_EQ(Find(pages, kLine).size(), 59u + 2);
    const std::vector<Found> headers = Find(pages, "Id");
    EXPECT_GE(headers.size(), 4u);
    for (const auto& page : pages)
        for (const auto& row : page.vecRows)
            EXPECT_LE(row.GetBottom(), page.rectContent.GetBottom());
    EXPECT_EQ(Find(pages, "r2").size(), 1u);
}

// Ten lines of filler, then a section that the rest of the page holds
// only in part: its heading with a table's header row and first row, or its
// statement with the lines to sign.
TEST(PageLayout, AHeadingAndASectionKeptTogetherGoWhereTheirStartOrAllOfThemFits) {
    const FixedMetrics metrics;
    ReportDocument::Block signatures;
    signatures.kind = ReportDocument::Block::Kind::kSignatures;
    signatures.vecSignatures = {{"Operator", "Name"}, {"Approver", "Other"}};
    const struct {
        bool bHeading, bTogether;
        int nPageOfFirst;  // "statement" or the heading
        int nPageOfLast;   // "Operator" or the first row
    } cases[] = {
        {false, false, 0, 1},
        {false, true, 1, 1},
        {true, false, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.bHeading) + std::to_string(c.bTogether));
        ReportDocument doc;
        ReportDocument::Section filler, section;
        ReportDocument::Block line;
        for (int i = 0; i < 10; ++i) {
            line.strText = wxString::Format("filler %d", i);
            filler.vecBlocks.push_back(line);
        }
        if (c.bHeading) {
            section.strHeading = "statement";
            section.vecBlocks.push_back(TableOf(2, 0, 4));
        } else {
            line.strText = "statement";
            section.vecBlocks = {line, signatures};
        }
        section.bKeepTogether = c.bTogether;
        doc.m_vecSections = {filler, section};
        const std::vector<PageLayout::Page> pages = PageLayout(metrics, 300, 290).Paginate(doc);
        EXPECT_EQ(Find(pages, "statement").at(0).nPage, c.nPageOfFirst);
        EXPECT_EQ(Find(pages, c.bHeading ? "r0" : "Operator").at(0).nPage, c.nPageOfLast);
    }
}

}  // namespace
