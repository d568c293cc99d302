#ifndef VARID_APP_APP_H
#define VARID_APP_APP_H

#include <wx/defs.h>
#include <wx/snglinst.h>

#include "app/gwxApp.h"
#include "grid/CalibrationDetails.h"

class wxCloseEvent;

// The calculator's application: its settings, start-up and shut-down.
class App : public gwxApp {
public:
    App();
    ~App() override;

    bool OnInit() override;
    int OnExit() override;
    bool TransferSettings(bool bLoad) override;

    // The stored program mode as text: leading blanks and a sign accepted, the
    // leading digits count, no digits give 0.
    static int ProgramModeFromText(const wxString& strMode);

    // The laboratory's fields of the record, from the group "/lab" at
    // start-up and back at shut-down.
    const CalibrationDetails& GetLaboratory() const { return m_lab; }

private:
    // The panel's record as it stands when the window closes.
    void OnMainFrameClose(wxCloseEvent& event);

    wxSingleInstanceChecker* m_pChecker;
    CalibrationDetails m_lab;
};

#endif
