#include "ui/NoticeBar.h"

#include <wx/settings.h>
#include <wx/sizer.h>

NoticeBar::NoticeBar(wxWindow* pParent)
    : wxPanel(pParent, wxID_ANY), m_pText(nullptr), m_pButton(nullptr) {
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK));
    m_pText = new wxStaticText(this, wxID_ANY, wxEmptyString);
    m_pText->SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT));
    m_pButton = new wxButton(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                             wxBU_EXACTFIT);
    wxBoxSizer* pSizer = new wxBoxSizer(wxHORIZONTAL);
    pSizer->Add(m_pText, 1, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 6);
    pSizer->Add(m_pButton, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    SetSizer(pSizer);
    m_pButton->Bind(wxEVT_BUTTON, &NoticeBar::OnButton, this);
    Hide();
}

void NoticeBar::ShowNotice(const wxString& strText, const wxString& strButton,
                           std::function<void()> fnAction) {
    m_pText->SetLabel(strText);
    m_pButton->SetLabel(strButton);
    m_fnAction = std::move(fnAction);
    ShowWithHost(true);
    Layout();
    Relayout();
}

void NoticeBar::Dismiss() {
    m_fnAction = nullptr;
    if (ShowWithHost(false)) Relayout();
}

bool NoticeBar::Act() {
    if (!m_fnAction) return false;
    // The action may show another notice; this one is over either way.
    std::function<void()> fnAction = std::move(m_fnAction);
    Dismiss();
    fnAction();
    return true;
}

void NoticeBar::OnButton(wxCommandEvent& WXUNUSED(event)) { Act(); }

bool NoticeBar::ShowWithHost(bool bShow) {
    bool bChanged = Show(bShow);
    // The layout document's placeholder keeps its room while shown, so a
    // hidden notice must take its host window along.
    wxWindow* pHost = GetParent();
    if (pHost && pHost->GetName() == GetName() + wxT("_container"))
        bChanged = pHost->Show(bShow) || bChanged;
    return bChanged;
}

void NoticeBar::Relayout() {
    for (wxWindow* pWin = GetParent(); pWin && !pWin->IsTopLevel(); pWin = pWin->GetParent()) {
        pWin->InvalidateBestSize();
        pWin->Layout();
    }
}
