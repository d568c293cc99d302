#include "ui/DetailsDialog.h"

#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "ui/ErrorBox.h"

using Field = CalibrationDetails::Field;
using Kind = CalibrationDetails::Kind;

// clang-format off
wxBEGIN_EVENT_TABLE(DetailsDialog, wxDialog)
    EVT_BUTTON(wxID_OK, DetailsDialog::OnOK)
wxEND_EVENT_TABLE();
// clang-format on

wxString DetailsDialog::ControlName(Field field) {
    // "SerialNumber" is the control "ID_DETAIL_SERIAL_NUMBER".
    wxString str = wxT("ID_DETAIL");
    for (const char* p = CalibrationDetails::InfoOf(field).pszName; *p; ++p) {
        if (*p >= 'A' && *p <= 'Z') str += wxT('_');
        str += static_cast<char>(*p >= 'a' && *p <= 'z' ? *p - 'a' + 'A' : *p);
    }
    return str;
}

DetailsDialog::DetailsDialog(wxWindow* pParent, const CalibrationDetails& details,
                             const wxDateTime& today)
    : m_details(details) {
    wxXmlResource::Get()->LoadDialog(this, pParent, wxT("ID_DLG_DETAILS"));
    for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields()) {
        wxWindow* pControl = FindWindow(XRCID(ControlName(info.field)));
        m_arrControls[info.field] = pControl;
        const wxString& str = details.Get(info.field);
        if (info.kind == Kind::kRule) {
            if (auto* pChoice = wxDynamicCast(pControl, wxChoice))
                pChoice->SetSelection(details.IsGuarded() ? 1 : 0);
        } else if (auto* pText = wxDynamicCast(pControl, wxTextCtrl)) {
            const bool bOfferToday = info.kind == Kind::kDate && str.empty();
            pText->ChangeValue(bOfferToday ? today.FormatISODate() : str);
        }
    }
    if (GetSizer()) GetSizer()->SetSizeHints(this);
    CentreOnParent();
}

CalibrationDetails DetailsDialog::Collect() const {
    CalibrationDetails out = m_details;
    for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields()) {
        wxWindow* pControl = m_arrControls[info.field];
        if (info.kind == Kind::kRule) {
            auto* pChoice = wxDynamicCast(pControl, wxChoice);
            if (!pChoice) continue;
            const bool bGuarded = pChoice->GetSelection() == 1;
            // An empty rule is the simple one: untouched, it stays as it was.
            if (bGuarded != m_details.IsGuarded())
                out.Set(info.field, bGuarded ? CalibrationDetails::kRuleGuarded
                                             : CalibrationDetails::kRuleSimple);
        } else if (auto* pText = wxDynamicCast(pControl, wxTextCtrl)) {
            out.Set(info.field, pText->GetValue());
        }
    }
    return out;
}

bool DetailsDialog::Accept() {
    CalibrationDetails details = Collect();
    wxString strError;
    if (!details.Normalise(strError)) {
        ShowErrorBox(strError);
        return false;
    }
    m_details = details;
    return true;
}

void DetailsDialog::OnOK(wxCommandEvent& WXUNUSED(event)) {
    if (Accept()) EndModal(wxID_OK);
}
