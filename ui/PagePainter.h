#ifndef VARID_UI_PAGEPAINTER_H
#define VARID_UI_PAGEPAINTER_H

#include <array>

#include <wx/dc.h>
#include <wx/font.h>
#include <wx/gdicmn.h>

#include "report/PageLayout.h"
#include "report/PlotData.h"
#include "report/TextMetrics.h"

// Measures the report's text on a device context, for its layout, and draws
// the pages laid out with those measures on the same context: shades, rules,
// text and the plot through the plot's own routine.
class PagePainter : public TextMetrics {
public:
    explicit PagePainter(wxDC& dc);

    int GetTextWidth(const wxString& str, ReportDocument::Style style) const override;
    int GetLineHeight(ReportDocument::Style style) const override;

    // The page's coordinates start at origin, the printable area's corner.
    void Draw(const PageLayout::Page& page, const wxPoint& origin, const PlotData& data);

    static wxFont FontOf(ReportDocument::Style style);

    static const wxColour kShadeColour;
    static const wxColour kRuleColour;

private:
    static constexpr int kStyles = static_cast<int>(ReportDocument::Style::kTitle) + 1;

    wxDC& m_dc;
    std::array<wxFont, kStyles> m_arrFonts;
    mutable std::array<int, kStyles> m_arrLineHeights{};  // 0 until measured
};

#endif
