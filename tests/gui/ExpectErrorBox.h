#ifndef VARID_TESTS_GUI_EXPECTERRORBOX_H
#define VARID_TESTS_GUI_EXPECTERRORBOX_H

#include <wx/msgdlg.h>
#include <wx/testing.h>

// Checks that a modal box is the program's error box (caption, error icon)
// and carries this message; answers it with OK.
class ExpectErrorBox : public wxExpectModal<wxMessageDialog> {
public:
    explicit ExpectErrorBox(const wxString& strMessage, const wxString& strCaption = "Error");

protected:
    int OnInvoked(wxMessageDialog* pDlg) const override;

private:
    wxString m_strMessage;
    wxString m_strCaption;
};

#endif
