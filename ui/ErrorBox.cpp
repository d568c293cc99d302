#include "ui/ErrorBox.h"

#include <wx/intl.h>
#include <wx/msgdlg.h>

void ShowErrorBox(const wxString& message) {
    wxMessageBox(message, wxGetTranslation(wxT("Error")), wxOK | wxICON_ERROR);
}
