#include "ui/NoticeBar.h"

#include <wx/settings.h>
#include <wx/sizer.h>

namespace {

const int kMinTextWidth = 100;
const int kTextMargin = 6;  // left and right of the text

}  // namespace

NoticeBar::NoticeBar(wxWindow* pParent)
    : wxPanel(pParent, wxID_ANY),
      m_pText(nullptr),
      m_pButton(nullptr),
      m_nId(kNoticeNone),
      m_nWrapWidth(0) {
    m_pText = new wxStaticText(this, wxID_ANY, wxEmptyString);
    m_pText->SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT));
    // The text takes the width the bar has, however long it is.
    m_pText->SetMinSize(wxSize(kMinTextWidth, -1));
    m_pButton = new wxButton(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                             wxBU_EXACTFIT);
    wxBoxSizer* pSizer = new wxBoxSizer(wxHORIZONTAL);
    pSizer->Add(m_pText, 1, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, kTextMargin);
    pSizer->Add(m_pButton, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    SetSizer(pSizer);
    // Room for a one-line notice, kept when none shows: the grids below stay
    // where they are when a notice comes or goes.
    m_pButton->SetLabel(wxT("X"));
    SetMinSize(wxSize(-1, pSizer->CalcMin().y));
    m_pButton->Bind(wxEVT_BUTTON, &NoticeBar::OnButton, this);
    Bind(wxEVT_SIZE, &NoticeBar::OnSize, this);
    ShowContents(false);
}

void NoticeBar::ShowNotice(NoticeId nId, const wxString& strText, const wxString& strButton,
                           std::function<void()> fnAction) {
    m_nId = nId;
    m_strText = strText;
    m_nWrapWidth = 0;
    m_pText->SetLabel(strText);
    m_pButton->SetLabel(strButton);
    m_fnAction = std::move(fnAction);
    ShowContents(true);
    Layout();
    Relayout();
}

void NoticeBar::Dismiss() {
    m_fnAction = nullptr;
    // Only a notice of more than one line changed the bar's height.
    const int nHeight = GetBestSize().y;
    ShowContents(false);
    if (GetBestSize().y != nHeight) Relayout();
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

void NoticeBar::ShowContents(bool bShow) {
    m_pText->Show(bShow);
    m_pButton->Show(bShow);
    // Empty, the bar is just room: the panel's own colour.
    SetBackgroundColour(bShow ? wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK) : wxNullColour);
    InvalidateBestSize();
    Refresh();
}

void NoticeBar::Relayout() {
    for (wxWindow* pWin = GetParent(); pWin && !pWin->IsTopLevel(); pWin = pWin->GetParent()) {
        pWin->InvalidateBestSize();
        pWin->Layout();
    }
}

void NoticeBar::OnSize(wxSizeEvent& event) {
    event.Skip();
    WrapText();
}

void NoticeBar::WrapText() {
    const int nWidth = GetClientSize().x - m_pButton->GetSize().x - 2 * kTextMargin - 8;
    if (nWidth < kMinTextWidth || nWidth == m_nWrapWidth) return;
    m_nWrapWidth = nWidth;
    const int nHeight = m_pText->GetBestSize().y;
    m_pText->SetLabel(m_strText);
    m_pText->Wrap(nWidth);
    m_pText->InvalidateBestSize();
    // More or fewer lines: the windows around must make room, once this size
    // event is over.
    if (m_pText->GetBestSize().y != nHeight) CallAfter([this] { Relayout(); });
}
