#include "ui/PlotCanvas.h"

#include <wx/datetime.h>
#include <wx/dcbuffer.h>
#include <wx/dcgraph.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/menu.h>

#include "app/Globals.h"
#include "ui/ErrorBox.h"
#include "ui/PlotPainter.h"

namespace {

const int ID_SAVE_PNG = wxID_HIGHEST + 1201;
const int ID_SAVE_SVG = wxID_HIGHEST + 1202;
// A saved PNG has twice the window's pixels, so it stays sharp in documents.
const double kPngScale = 2.0;

}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(PlotCanvas, wxWindow)
    EVT_PAINT(PlotCanvas::OnPaint)
    EVT_CONTEXT_MENU(PlotCanvas::OnContextMenu)
    EVT_MENU(ID_SAVE_PNG, PlotCanvas::OnSavePng)
    EVT_MENU(ID_SAVE_SVG, PlotCanvas::OnSaveSvg)
wxEND_EVENT_TABLE();
// clang-format on

PlotCanvas::PlotCanvas(wxWindow* pParent)
    : wxWindow(pParent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE,
               wxT("plot")) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(wxSize(320, 260));
}

void PlotCanvas::SetData(const PlotData& data) {
    m_data = data;
    Refresh();
}

void PlotCanvas::OnPaint(wxPaintEvent& WXUNUSED(event)) {
    wxAutoBufferedPaintDC paint(this);
    wxGCDC dc(paint);
    PlotPainter(m_data).Draw(dc, GetClientRect());
}

void PlotCanvas::OnContextMenu(wxContextMenuEvent& WXUNUSED(event)) {
    wxMenu menu;
    menu.Append(ID_SAVE_PNG, _("Save as PNG..."));
    menu.Append(ID_SAVE_SVG, _("Save as SVG..."));
    PopupMenu(&menu);
}

void PlotCanvas::OnSavePng(wxCommandEvent& WXUNUSED(event)) {
    SaveWithDialog(_("PNG images (*.png)|*.png"), wxT("png"), &PlotCanvas::SavePng);
}

void PlotCanvas::OnSaveSvg(wxCommandEvent& WXUNUSED(event)) {
    SaveWithDialog(_("SVG images (*.svg)|*.svg"), wxT("svg"), &PlotCanvas::SaveSvg);
}

void PlotCanvas::SaveWithDialog(const wxString& strWildcard, const wxString& strExtension,
                                bool (PlotCanvas::*pfnSave)(const wxString&) const) {
    wxFileDialog dialog(
        this, _("Save the plot"), g_strXmlFile,
        wxDateTime::Now().Format(wxT("Varid_plot_%Y_%m_%d_%H_%M_%S.")) + strExtension, strWildcard,
        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return;
    wxFileName name(dialog.GetPath());
    if (!name.HasExt()) name.SetExt(strExtension);
    if (!(this->*pfnSave)(name.GetFullPath()))
        ShowErrorBox(wxString::Format(_("Cannot write the image file %s!"), name.GetFullPath()));
}

bool PlotCanvas::SavePng(const wxString& strPath) const {
    const wxSize size = GetClientSize();
    return PlotPainter::SavePng(m_data, strPath, size * kPngScale, kPngScale);
}

bool PlotCanvas::SaveSvg(const wxString& strPath) const {
    return PlotPainter::SaveSvg(m_data, strPath, GetClientSize());
}
