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

TEST(PageLayout, TablesBreakBetweenRowsUnderTheirHeaderAndHeadingsStayWithTheirRows) {
    const FixedMetrics metrics;
    for (int nHeight : {300, 377, 450}) {
        SCOPED_TRACE(nHeight);
        ReportDocument doc;
        doc.m_strTitle = "T";
        doc.m_strLaboratory = "Lab";
        doc.m_strFooter = "Issued";
        doc.m_strEnd = "The end";
        ReportDocument::Section intro;
        ReportDocument::Block filler;
        filler.strText = wxString('z', 10);
        for (int i = 0; i < 7; ++i) intro.vecBlocks.push_back(filler);
        ReportDocument::Section section;
        section.strHeading = "Heading";
        section.vecBlocks.push_back(TableOf(40, -1, 0));
        doc.m_vecSections = {intro, section};
        const std::vector<PageLayout::Page> pages = PageLayout(metrics, 300, nHeight).Paginate(doc);
        const int nPages = static_cast<int>(pages.size());
        ASSERT_GE(nPages, 3);

        for (int p = 0; p < nPages; ++p) {
            EXPECT_EQ(Find(pages, wxString::Format("Page %d of %d", p + 1, nPages)).size(), 1u);
            EXPECT_EQ(Find({pages[p]}, "Lab").size(), 1u);
            EXPECT_EQ(Find({pages[p]}, "Issued").size(), 1u);
        }
        // The heading shares its page with the header row and the first row.
        const std::vector<Found> heading = Find(pages, "Heading");
        ASSERT_EQ(heading.size(), 1u);
        EXPECT_EQ(Find(pages, "r0")[0].nPage, heading[0].nPage);
        std::vector<int> rowPages;
        for (int i = 0; i < 40; ++i) {
            const std::vector<Found> id = Find(pages, wxString::Format("r%d", i));
            ASSERT_EQ(id.size(), 1u) << i;
            const std::vector<Found> words = Find(pages, kLine);
            // A row's lines all on its page: the tall rows' wrapped words lie
            // within three lines below their first.
            if (i % 3 == 0) {
                const int nBelow =
                    static_cast<int>(std::count_if(words.begin(), words.end(), [&](const Found& f) {
                        return f.nPage == id[0].nPage && f.nY > id[0].nY &&
                               f.nY <= id[0].nY + 2 * 12;
                    }));
                EXPECT_EQ(nBelow, 2) << "row " << i;
            }
            rowPages.push_back(id[0].nPage);
            const PageLayout::Page& page = pages[id[0].nPage];
            for (const auto& row : page.vecRows) {
                if (row.nY <= id[0].nY && id[0].nY < row.GetBottom()) {
                    EXPECT_LE(row.GetBottom(), page.rectContent.GetBottom());
                }
            }
        }
        EXPECT_TRUE(std::is_sorted(rowPages.begin(), rowPages.end()));
        // Each page the table runs on starts it with its header row.
        for (int p = rowPages.front(); p <= rowPages.back(); ++p) {
            const std::vector<Found> header = Find({pages[p]}, "Id");
            ASSERT_EQ(header.size(), 1u) << "page " << p + 1;
            for (const auto& t : pages[p].vecTexts) {
                if (t.str.StartsWith("r")) {
                    EXPECT_GT(t.nY, header[0].nY);
                }
            }
        }
        const std::vector<Found> end = Find(pages, "The end");
        ASSERT_EQ(end.size(), 1u);
        EXPECT_EQ(end[0].nPage, nPages - 1);
    }
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

TEST(PageLayout, ASectionKeptTogetherStartsAPageWhereTheRestWouldNotHoldIt) {
    const FixedMetrics metrics;
    for (const bool bTogether : {false, true}) {
        ReportDocument doc;
        ReportDocument::Section filler, closing;
        ReportDocument::Block line;
        for (int i = 0; i < 12; ++i) {
            line.strText = wxString::Format("filler %d", i);
            filler.vecBlocks.push_back(line);
        }
        line.strText = "statement";
        closing.vecBlocks.push_back(line);
        ReportDocument::Block signatures;
        signatures.kind = ReportDocument::Block::Kind::kSignatures;
        signatures.vecSignatures = {{"Operator", "Name"}, {"Approver", "Other"}};
        closing.vecBlocks.push_back(signatures);
        closing.bKeepTogether = bTogether;
        doc.m_vecSections = {filler, closing};
        const std::vector<PageLayout::Page> pages = PageLayout(metrics, 300, 290).Paginate(doc);
        const int nStatement = Find(pages, "statement").at(0).nPage;
        EXPECT_EQ(Find(pages, "Operator").at(0).nPage, bTogether ? nStatement : nStatement + 1);
        EXPECT_EQ(nStatement, bTogether ? 1 : 0);
    }
}

}  // namespace
