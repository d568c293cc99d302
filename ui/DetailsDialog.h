#ifndef VARID_UI_DETAILSDIALOG_H
#define VARID_UI_DETAILSDIALOG_H

#include <array>

#include <wx/datetime.h>
#include <wx/dialog.h>

#include "grid/CalibrationDetails.h"

// The window "Calibration details": every field of the calibration's record.
// OK keeps the window open with a message naming the first bad field; the
// checks themselves are CalibrationDetails::Normalise.
class DetailsDialog : public wxDialog {
public:
    // Empty dates offer today's date.
    DetailsDialog(wxWindow* pParent, const CalibrationDetails& details,
                  const wxDateTime& today = wxDateTime::Today());

    // What OK does: the typed record checked and kept, or refused in a box
    // that names the bad field, the window staying open.
    bool Accept();
    // The record as OK accepted it.
    const CalibrationDetails& GetDetails() const { return m_details; }

    // A field's control, found by its layout name: a wxTextCtrl, or the
    // decision rule's wxChoice.
    wxWindow* GetControl(CalibrationDetails::Field field) const { return m_arrControls[field]; }
    // The layout name of a field's control.
    static wxString ControlName(CalibrationDetails::Field field);

private:
    void OnOK(wxCommandEvent& event);
    CalibrationDetails Collect() const;

    std::array<wxWindow*, CalibrationDetails::kFields> m_arrControls{};
    CalibrationDetails m_details;

    wxDECLARE_EVENT_TABLE();
};

#endif
