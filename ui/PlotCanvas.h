#ifndef VARID_UI_PLOTCANVAS_H
#define VARID_UI_PLOTCANVAS_H

#include <wx/window.h>

#include "report/PlotData.h"

// Shows the plot, anti-aliased, and offers to save it as PNG or SVG from a
// right-click menu.
class PlotCanvas : public wxWindow {
public:
    explicit PlotCanvas(wxWindow* pParent);

    void SetData(const PlotData& data);
    const PlotData& GetData() const { return m_data; }

    // The file-save actions of the menu, without their dialogs.
    bool SavePng(const wxString& strPath) const;
    bool SaveSvg(const wxString& strPath) const;

private:
    void OnPaint(wxPaintEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnSavePng(wxCommandEvent& event);
    void OnSaveSvg(wxCommandEvent& event);
    void SaveWithDialog(const wxString& strWildcard, const wxString& strExtension,
                        bool (PlotCanvas::*pfnSave)(const wxString&) const);

    PlotData m_data;

    wxDECLARE_EVENT_TABLE();
};

#endif
