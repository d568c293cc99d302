// The printed certificate on a memory device of an A4 page at 96 dpi, as the
// framework drives a printout, so it also runs where there is no printer:
// the pages it counts before drawing, their headers, the rows kept whole and
// nothing outside the printable area, in English, Russian and Ukrainian.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/translation.h>

#include "testsupport/KnownPanel.h"
#include "tests/gui/GuiTestMain.h"
#include "ui/PagePainter.h"
#include "ui/ReportPrintout.h"

namespace {

const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

struct Printed {
    int nMaxPage = 0;
    std::vector<PageLayout::Page> pages;
    std::vector<wxImage> images;
    wxRect area;
};

// Prepares the printout on an A4 memory device and draws every page it
// announces, each on a fresh white sheet.
Printed Print(const panel::Contents& contents, int nMode, const CalibrationFit* pFit = nullptr) {
    const ReportDocument doc =
        ReportDocument::Build(contents, nMode, wxDateTime(4, wxDateTime::Mar, 2026, 5, 6, 7),
                              "/data/run.xml", false, pFit);
    ReportPrintout printout(doc, PlotData::Build(contents, nMode, pFit));
    const wxSize page = ReportPrintout::PageUnits(210, 297);
    wxBitmap bitmap(page, 24);
    wxMemoryDC dc;
    printout.SetDC(&dc);
    printout.SetPageSizeMM(210, 297);
    printout.SetPageSizePixels(page.x, page.y);
    printout.SetPPIScreen(96, 96);
    printout.SetPPIPrinter(96, 96);
    Printed printed;
    printed.area = ReportPrintout::PrintableArea(page);
    dc.SelectObject(bitmap);
    printout.OnPreparePrinting();
    int nMin = 0, nFrom = 0, nTo = 0;
    printout.GetPageInfo(&nMin, &printed.nMaxPage, &nFrom, &nTo);
    EXPECT_EQ(nMin, 1);
    dc.SelectObject(wxNullBitmap);
    for (int n = nMin; n <= printed.nMaxPage; ++n) {
        dc.SelectObject(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        EXPECT_TRUE(printout.HasPage(n));
        EXPECT_TRUE(printout.OnPrintPage(n)) << "page " << n;
        dc.SelectObject(wxNullBitmap);
        printed.images.push_back(bitmap.ConvertToImage());
    }
    EXPECT_FALSE(printout.HasPage(printed.nMaxPage + 1));
    printed.pages = printout.GetPages();
    return printed;
}

struct Language {
    wxLanguage language;
    const char *certificate, *report, *page, *deviation, *certificateEnd, *reportEnd;
};

const Language kLanguages[] = {
    {wxLANGUAGE_ENGLISH, "Calibration certificate", "Calibration report", "Page %d of %d",
     "Deviation, %", "End of certificate", "End of report"},
    {wxLANGUAGE_RUSSIAN, "Сертификат калибровки", "Отчёт о калибровке", "Страница %d из %d",
     "Отклонение, %", "Конец сертификата", "Конец отчёта"},
    {wxLANGUAGE_UKRAINIAN, "Сертифікат калібрування", "Звіт про калібрування", "Сторінка %d з %d",
     "Відхилення, %", "Кінець сертифіката", "Кінець звіту"},
};

wxString U8(const char* psz) { return wxString::FromUTF8(psz); }

// Words to a field's cap, so long texts wrap over several lines.
wxString Words(const char* pszWord, size_t nCap) {
    wxString str;
    while (str.length() + std::strlen(pszWord) + 1 < nCap) str += U8(pszWord) + " ";
    return str.Trim();
}

// Every field of the record filled, with bLong the texts to their cap and a
// word no line can hold; the notes many lines long either way.
CalibrationDetails FullDetails(bool bLong, bool bNumber, std::vector<wxString>& vecNoteLines) {
    using D = CalibrationDetails;
    CalibrationDetails d;
    const size_t nCap = bLong ? D::kMaxText : 30;
    if (bNumber) d.Set(D::kCertificateNumber, "2026-017");
    d.Set(D::kLaboratory, Words("Лабораторія калібрування", nCap));
    d.Set(D::kLaboratoryAddress, Words("Long Road 12", nCap));
    d.Set(D::kInstrument, Words("Dose-rate meter", nCap));
    d.Set(D::kManufacturer, Words("Производитель", nCap));
    d.Set(D::kSerialNumber, bLong ? wxString('7', D::kMaxText) : wxString("SN 4711"));
    d.Set(D::kCustomer, Words("Замовник із довгою назвою", nCap));
    d.Set(D::kCalibrationDate, "2026-03-02");
    d.Set(D::kIssueDate, "2026-03-05");
    d.Set(D::kTemperature, "21.5");
    d.Set(D::kPressure, "101.3");
    d.Set(D::kHumidity, "45");
    d.Set(D::kOperator, Words("Иван Иванович Иванов", nCap));
    d.Set(D::kApprovedBy, Words("Petro Petrenko", nCap));
    d.Set(D::kReferenceStandard, Words("Reference field UDKS-1", nCap));
    d.Set(D::kReferenceUncertainty, "1.5");
    d.Set(D::kUnit, U8("мкЗв/ч"));
    d.Set(D::kTolerance, "0.5");
    wxString strNotes;
    for (int i = 1; i <= 40; ++i) {
        vecNoteLines.push_back(
            wxString::Format(U8("Примітка %d: the item was checked, all fine."), i));
        strNotes += vecNoteLines.back() + "\n";
    }
    if (bLong) strNotes += wxString('x', 300);
    d.Set(D::kNotes, strNotes);
    return d;
}

wxSize Extent(wxDC& dc, const PageLayout::Text& t) {
    const wxFont font = PagePainter::FontOf(t.style);
    wxCoord w = 0, h = 0;
    dc.GetTextExtent(t.str, &w, &h, nullptr, nullptr, &font);
    return wxSize(w, h);
}

bool Inside(const wxRect& outer, const wxRect& inner) {
    return outer.Contains(inner.GetTopLeft()) && outer.Contains(inner.GetBottomRight());
}

wxRect RectOf(const PageLayout::Rect& r) { return wxRect(r.nX, r.nY, r.nWidth, r.nHeight); }

TEST(ReportPrintout, AFullPanelKeepsItsRowsWholeAndEveryPageFramedAndOnThePaper) {
    const DataSet data = MakeDetectorData(0, kAllRows, {1, 6, 9, 10});
    CalibrationFit fit;
    const panel::Contents fitted = PanelAfterFit(data, fit);
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(VARID_LOCALE_DIR);
    // Later tests expect the untranslated texts, whatever happens here.
    struct Untranslate {
        ~Untranslate() { wxTranslations::Set(nullptr); }
    } untranslate;
    wxBitmap measureBitmap(10, 10, 24);
    wxMemoryDC measure(measureBitmap);

    for (const Language& l : kLanguages)
        for (const bool bLong : {false, true}) {
            auto* pTranslations = new wxTranslations;
            wxTranslations::Set(pTranslations);
            if (l.language != wxLANGUAGE_ENGLISH) {
                pTranslations->SetLanguage(l.language);
                ASSERT_TRUE(pTranslations->AddCatalog("KEVRO_Varid"));
                ASSERT_TRUE(pTranslations->AddCatalog("kevro_zanol"));
            }
            // The short English record has no number: a report.
            const bool bNumber = bLong || l.language != wxLANGUAGE_ENGLISH;
            SCOPED_TRACE(std::string(l.certificate) + (bLong ? ", long" : ", short"));
            std::vector<wxString> notes;
            panel::Contents contents = fitted;
            contents.details = FullDetails(bLong, bNumber, notes);
            const Printed p = Print(contents, 0, &fit);
            const int nPages = static_cast<int>(p.pages.size());
            ASSERT_EQ(p.nMaxPage, nPages) << "the count announced is the count laid out";
            ASSERT_GE(nPages, 3);
            const wxString strTitle = U8(bNumber ? l.certificate : l.report);

            size_t nRowsPlaced = 0, nPlots = 0;
            std::vector<wxString> header0;
            std::vector<std::pair<int, int>> noteAt;  // page and y of each note line
            for (int i = 0; i < nPages; ++i) {
                SCOPED_TRACE("page " + std::to_string(i + 1));
                const PageLayout::Page& page = p.pages[i];
                const wxRect content = RectOf(page.rectContent);
                const wxRect paper(wxPoint(0, 0), p.area.GetSize());
                // The same header on every page, with its own page number.
                std::vector<wxString> header;
                const wxString strPage = wxString::Format(U8(l.page), i + 1, nPages);
                int nPageLines = 0, nContent = 0;
                for (const PageLayout::Text& t : page.vecTexts) {
                    const wxRect r(wxPoint(t.nX, t.nY), Extent(measure, t));
                    EXPECT_TRUE(Inside(paper, r)) << t.str << " at " << t.nX << "," << t.nY;
                    if (t.str == strPage) ++nPageLines;
                    if (r.GetBottom() < content.y && t.str != strPage) header.push_back(t.str);
                    if (Inside(content, r)) ++nContent;
                    for (const PageLayout::Rect& row : page.vecRows) {
                        if (RectOf(row).Intersects(r)) {
                            EXPECT_TRUE(Inside(RectOf(row), r)) << t.str;
                        }
                    }
                    const auto note = std::find(notes.begin(), notes.end(), t.str);
                    if (note != notes.end()) noteAt.push_back({i, t.nY});
                }
                EXPECT_EQ(nPageLines, 1) << strPage;
                EXPECT_NE(std::find(header.begin(), header.end(), strTitle), header.end());
                if (i == 0) header0 = header;
                EXPECT_EQ(header, header0);
                EXPECT_TRUE(nContent > 0 || page.bPlot) << "no empty page";

                for (const PageLayout::Rect& row : page.vecRows)
                    EXPECT_TRUE(Inside(content, RectOf(row)));
                nRowsPlaced += page.vecRows.size() - page.vecShades.size();
                if (page.bPlot) {
                    ++nPlots;
                    EXPECT_EQ(i, nPages - 1) << "the plot closes the data";
                    EXPECT_TRUE(Inside(content, RectOf(page.rectPlot)));
                    EXPECT_GE(page.rectPlot.nHeight, PageLayout::kPlotMinHeight);
                }
                // No ink beyond the printable area.
                const wxImage& image = p.images[i];
                int nInk = 0;
                for (int y = 0; y < image.GetHeight(); ++y)
                    for (int x = 0; x < image.GetWidth(); ++x)
                        if (!p.area.Contains(x, y))
                            nInk += image.GetRed(x, y) < 250 || image.GetGreen(x, y) < 250 ||
                                    image.GetBlue(x, y) < 250;
                EXPECT_EQ(nInk, 0);
            }
            EXPECT_EQ(nPlots, 1u);
            // Every row of every table went on a page in one piece.
            const ReportDocument doc =
                ReportDocument::Build(contents, 0, wxDateTime(4, wxDateTime::Mar, 2026, 5, 6, 7),
                                      "/data/run.xml", false, &fit);
            size_t nRows = 0;
            for (const auto& section : doc.m_vecSections)
                for (const auto& block : section.vecBlocks) nRows += block.table.vecRows.size();
            EXPECT_EQ(nRowsPlaced, nRows);
            // Every note line once, in order.
            ASSERT_EQ(noteAt.size(), notes.size());
            EXPECT_TRUE(std::is_sorted(noteAt.begin(), noteAt.end()));

            // Each result row's cells side by side on one page, under the
            // table's header on that page.
            const ReportDocument::Table* pResults = nullptr;
            for (const auto& section : doc.m_vecSections)
                for (const auto& block : section.vecBlocks)
                    if (!block.table.vecColumns.empty() &&
                        block.table.vecColumns.back().strHeader == U8(l.deviation))
                        pResults = &block.table;
            ASSERT_NE(pResults, nullptr);
            std::vector<int> resultPages;
            for (const auto& cells : pResults->vecRows) {
                int nFound = 0;
                for (int i = 0; i < nPages; ++i)
                    for (const PageLayout::Text& mean : p.pages[i].vecTexts) {
                        if (mean.str != cells[1]) continue;
                        ++nFound;
                        resultPages.push_back(i);
                        for (const wxString& cell : cells) {
                            const auto& texts = p.pages[i].vecTexts;
                            EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const auto& t) {
                                return t.str == cell && t.nY == mean.nY;
                            })) << cell;
                        }
                    }
                EXPECT_EQ(nFound, 1) << cells[1];
            }
            resultPages.erase(std::unique(resultPages.begin(), resultPages.end()),
                              resultPages.end());
            for (int i : resultPages) {
                const auto& texts = p.pages[i].vecTexts;
                EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                                        [&](const auto& t) { return t.str == U8(l.deviation); }),
                          1)
                    << "the results header on page " << i + 1;
            }
            // The end mark closes the last page.
            const PageLayout::Page& last = p.pages.back();
            const auto lowest = std::max_element(
                last.vecTexts.begin(), last.vecTexts.end(), [&](const auto& a, const auto& b) {
                    return (a.nY < last.rectContent.GetBottom() ? a.nY : -1) <
                           (b.nY < last.rectContent.GetBottom() ? b.nY : -1);
                });
            EXPECT_EQ(lowest->str, U8(bNumber ? l.certificateEnd : l.reportEnd));
            EXPECT_GT(lowest->nY, last.rectPlot.GetBottom());
        }
}

TEST(ReportPrintout, PaperWithTooLittleRoomInsideItsMarginsGetsNoPages) {
    const panel::Contents contents = PanelAfterCount(MakeDetectorData(0, kAllRows, {1, 6, 9, 10}));
    ReportPrintout printout(ReportDocument::Build(contents, 0, wxDateTime::Now(), "", false),
                            PlotData::Build(contents, 0));
    const struct {
        int nWidthMM, nHeightMM;
        bool bPages;
    } papers[] = {{80, 100, false}, {148, 100, false}, {148, 210, true}};
    for (const auto& paper : papers) {
        const wxSize page = ReportPrintout::PageUnits(paper.nWidthMM, paper.nHeightMM);
        wxBitmap bitmap(page, 24);
        wxMemoryDC dc(bitmap);
        printout.SetDC(&dc);
        printout.SetPageSizeMM(paper.nWidthMM, paper.nHeightMM);
        printout.SetPageSizePixels(page.x, page.y);
        printout.OnPreparePrinting();
        EXPECT_EQ(!printout.GetPages().empty(), paper.bPages)
            << paper.nWidthMM << "x" << paper.nHeightMM;
        EXPECT_EQ(printout.OnPrintPage(1), paper.bPages);
        printout.SetDC(nullptr);
    }
}

}  // namespace
