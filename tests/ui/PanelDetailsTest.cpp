// The calibration's record on the real panel: its window with every check,
// and the record carried by archives, Clear, undo and the last session.
#include <functional>
#include <string>

#include <wx/choice.h>
#include <wx/testing.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/Globals.h"
#include "archive/ArchiveDocument.h"
#include "archive/LastSession.h"
#include "tests/archive/ArchiveTestData.h"
#include "tests/gui/GuiTestMain.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/DetailsDialog.h"
#include "ui/MainFrame.h"
#include "ui/NoticeBar.h"
#include "ui/PanelResult.h"

using F = CalibrationDetails::Field;

namespace {

wxString U8(const char* sz) { return wxString::FromUTF8(sz); }

// The record an operator types: Cyrillic names, a multi-line note.
CalibrationDetails TypedRecord() {
    CalibrationDetails d;
    d.Set(F::kCertificateNumber, "C-2026/117");
    d.Set(F::kInstrument, U8("\xD0\x9C\xD0\x9A\xD0\xA1-\xD0\xA4 1123"));
    d.Set(F::kSerialNumber, "001234");
    d.Set(F::kCustomer, U8("\xD0\x9E\xD0\x9E\xD0\x9E \xC2\xAB\xD0\xA0\xD0\xB0\xD0\xB4\xC2\xBB"));
    d.Set(F::kCalibrationDate, "2026-12-01");
    d.Set(F::kIssueDate, "2026-12-02");
    d.Set(F::kTemperature, "21.5");
    d.Set(F::kNotes, "line one\n  line two");
    d.Set(F::kLaboratory, U8("\xD0\x9B\xD0\xB0\xD0\xB1"));
    d.Set(F::kOperator, U8("\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xB5\xD0\xBD\xD0\xBA\xD0\xBE"));
    d.Set(F::kReferenceUncertainty, "1.5");
    d.Set(F::kTolerance, "10");
    d.Set(F::kDecisionRule, "guarded");
    return d;
}

// Types a record into the window as the operator would; the window is never
// shown, its expectation runs instead. fnCheck sees the window first.
class TypeDetails : public wxExpectModalBase<DetailsDialog, TypeDetails> {
public:
    using Check = std::function<void(DetailsDialog*)>;
    // kOK: OK accepts it; kRefused: the real OK button, which must refuse it
    // and leave the window open; kCancel: the window is only looked at.
    enum Action { kOK, kRefused, kCancel };
    TypeDetails(const CalibrationDetails& typed, Action action, Check fnCheck = Check())
        : m_typed(typed), m_action(action), m_fnCheck(std::move(fnCheck)) {}

protected:
    wxString GetDefaultDescription() const override { return "the window \"Calibration details\""; }

    int OnInvoked(DetailsDialog* pDlg) const override {
        EXPECT_EQ("Calibration details", pDlg->GetTitle());
        if (m_fnCheck) m_fnCheck(pDlg);
        if (m_action == kCancel) return wxID_CANCEL;
        for (const auto& info : CalibrationDetails::Fields()) {
            wxWindow* pControl = pDlg->GetControl(info.field);
            if (auto* pChoice = wxDynamicCast(pControl, wxChoice))
                pChoice->SetSelection(m_typed.IsGuarded() ? 1 : 0);
            else if (auto* pText = wxDynamicCast(pControl, wxTextCtrl))
                pText->SetValue(m_typed.Get(info.field));
            else
                ADD_FAILURE() << "no control for " << info.pszName;
        }
        if (m_action == kRefused) {
            // The real OK button; a window that closed would end a modal
            // loop that never ran, which the toolkit reports as a failure.
            wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
            ok.SetEventObject(pDlg);
            pDlg->ProcessWindowEvent(ok);
            return wxID_CANCEL;
        }
        return pDlg->Accept() ? wxID_OK : wxID_CANCEL;
    }

private:
    CalibrationDetails m_typed;
    Action m_action;
    Check m_fnCheck;
};

class PanelDetailsTest : public PanelTest {
protected:
    wxString PathOf(const char* szName) const {
        return wxString::FromUTF8(m_strDir) + wxFILE_SEP_PATH + szName;
    }
    wxString Summary() const {
        return XRCCTRL(*m_pPanel, "ID_DETAILS_SUMMARY", wxStaticText)->GetLabel();
    }
    void TypeRecord(const CalibrationDetails& d) {
        wxTEST_DIALOG(EXPECT_TRUE(m_pPanel->EditDetails()), TypeDetails(d, TypeDetails::kOK));
    }
};

TEST_F(PanelDetailsTest, TheWindowRefusesEachBadFieldAndChangesNothing) {
    Build(0);
    const CalibrationDetails good = TypedRecord();
    TypeRecord(good);
    ASSERT_TRUE(good == m_pPanel->GetDetails());
    const struct {
        F field;
        const char* pszTyped;
        const char* pszMessage;
    } bad[] = {
        {F::kReferenceUncertainty, "0",
         "Reference expanded uncertainty, %: \"0\" is not a number "
         "above 0 and up to 50."},
        {F::kReferenceCoverageFactor, "12",
         "Reference coverage factor k: \"12\" is not a number "
         "from 1 to 10."},
        {F::kTemperature, "-51",
         "Temperature, \xC2\xB0"
         "C: \"-51\" is not a number from -50 to 60."},
        {F::kPressure, "130", "Pressure, kPa: \"130\" is not a number from 50 to 120."},
        {F::kHumidity, "ten", "Humidity, %: \"ten\" is not a number from 0 to 100."},
        {F::kTolerance, "0", "Tolerance, %: \"0\" is not a number above 0 and up to 100."},
        {F::kCalibrationDate, "2026-02-30",
         "Calibration date: \"2026-02-30\" is not a date of the form YYYY-MM-DD."},
        {F::kIssueDate, "12/02/2026",
         "Issue date: \"12/02/2026\" is not a date of the form YYYY-MM-DD."},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.pszTyped);
        CalibrationDetails typed = good;
        typed.Set(b.field, b.pszTyped);
        wxTEST_DIALOG(EXPECT_FALSE(m_pPanel->EditDetails()),
                      TypeDetails(typed, TypeDetails::kRefused), ExpectErrorBox(U8(b.pszMessage)));
        EXPECT_TRUE(good == m_pPanel->GetDetails());
    }
    // The caps, checked on OK.
    CalibrationDetails longer = good;
    longer.Set(F::kCustomer, wxString('x', 201));
    wxTEST_DIALOG(EXPECT_FALSE(m_pPanel->EditDetails()), TypeDetails(longer, TypeDetails::kRefused),
                  ExpectErrorBox("Customer: at most 200 characters, not 201."));
    longer = good;
    longer.Set(F::kNotes, wxString('n', 2001));
    wxTEST_DIALOG(EXPECT_FALSE(m_pPanel->EditDetails()), TypeDetails(longer, TypeDetails::kRefused),
                  ExpectErrorBox("Notes: at most 2000 characters, not 2001."));
    EXPECT_TRUE(good == m_pPanel->GetDetails());

    // A comma reads as a point; texts are trimmed; the line names the item.
    CalibrationDetails comma = good;
    comma.Set(F::kTemperature, "19,5");
    comma.Set(F::kManufacturer, "  ACME  ");
    TypeRecord(comma);
    EXPECT_EQ("19.5", m_pPanel->GetDetails().Get(F::kTemperature));
    EXPECT_EQ("ACME", m_pPanel->GetDetails().Get(F::kManufacturer));
    EXPECT_EQ(U8("Instrument: \xD0\x9C\xD0\x9A\xD0\xA1-\xD0\xA4 1123;   Serial number: "
                 "001234;   Certificate number: C-2026/117"),
              Summary());
}

TEST_F(PanelDetailsTest, EmptyDatesOfferTodayAndTheRuleShowsAsItsName) {
    Build(0);
    const CalibrationDetails before = m_pPanel->GetDetails();
    wxTEST_DIALOG(EXPECT_FALSE(m_pPanel->EditDetails()),
                  TypeDetails(before, TypeDetails::kCancel, [](DetailsDialog* pDlg) {
                      const wxString strToday = wxDateTime::Today().FormatISODate();
                      for (F f : {F::kCalibrationDate, F::kIssueDate})
                          EXPECT_EQ(strToday,
                                    wxDynamicCast(pDlg->GetControl(f), wxTextCtrl)->GetValue());
                      auto* pRule = wxDynamicCast(pDlg->GetControl(F::kDecisionRule), wxChoice);
                      ASSERT_TRUE(pRule);
                      EXPECT_EQ("Simple acceptance", pRule->GetString(0));
                      EXPECT_EQ("Guarded acceptance", pRule->GetString(1));
                      EXPECT_EQ(0, pRule->GetSelection());
                  }));
    EXPECT_TRUE(before == m_pPanel->GetDetails());
    EXPECT_EQ("No instrument, serial number or certificate number given.", Summary());
}

TEST_F(PanelDetailsTest, ArchivesClearAndUndoCarryTheRecord) {
    Build(0);
    Enter(MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 3, 5, 7}));
    const CalibrationDetails typed = TypedRecord();
    TypeRecord(typed);

    // Saved and read back whole; an edit of the record is a change.
    const wxString strSaved = PathOf("saved.xml");
    ASSERT_TRUE(m_pPanel->SaveArchive(strSaved));
    panel::Contents read;
    wxString strError;
    ASSERT_EQ(archive::LoadStatus::kLoaded, archive::ReadArchiveFile(strSaved, 0, read, strError));
    EXPECT_TRUE(typed == read.details);
    wxString strLoadError;
    ASSERT_TRUE(m_pPanel->LoadArchive(strSaved, strLoadError));
    EXPECT_TRUE(typed == m_pPanel->CollectContents().details);

    // An older archive: the item fields go, the laboratory's stay.
    archive_example::Spit(PathOf("old.xml"), "<Archive><Table/><Coefficients/></Archive>");
    ASSERT_TRUE(m_pPanel->LoadArchive(PathOf("old.xml"), strLoadError));
    CalibrationDetails expected = typed;
    expected.ClearItemFields();
    EXPECT_TRUE(expected == m_pPanel->GetDetails());
    EXPECT_EQ("No instrument, serial number or certificate number given.", Summary());

    // Clear keeps the laboratory fields; undo brings the item fields back.
    ASSERT_TRUE(m_pPanel->LoadArchive(strSaved, strLoadError));
    Click("ID_CLEAR");
    EXPECT_TRUE(expected == m_pPanel->GetDetails());
    NoticeBar* pNotice = m_pPanel->GetNoticeBar();
    ASSERT_EQ(NoticeBar::kNoticeUndo, pNotice->GetNoticeId());
    wxCommandEvent ctrlZ(wxEVT_MENU, wxID_UNDO);
    m_pFrame->ProcessWindowEvent(ctrlZ);
    EXPECT_TRUE(typed == m_pPanel->GetDetails());
    EXPECT_NE(wxNOT_FOUND, Summary().Find("001234"));

    // Ctrl+I opens the window.
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = 'I';
    key.SetControlDown(true);
    EXPECT_EQ(XRCID("ID_DETAILS"), CommandOf(m_pFrame->GetAcceleratorTable(), key));
}

TEST_F(PanelDetailsTest, TheLaboratoryOfTheSettingsStartsThePanelAndALastSaveWins) {
    CalibrationDetails lab;
    lab.Set(F::kLaboratory, "Settings lab");
    lab.Set(F::kOperator, "Settings operator");
    lab.Set(F::kSerialNumber, "never taken");  // an item field
    const LastSession session(g_strXmlFile, 0);
    const struct {
        const char* pszCase;
        std::string strLastSave;  // empty: none
        const char* pszLaboratory;
        const char* pszOperator;
    } cases[] = {
        {"no last session", "", "Settings lab", "Settings operator"},
        {"an older last session",
         archive_example::WithoutDetails(
             archive::FormatArchive(archive_example::ExampleContents(), 0)),
         "Settings lab", "Settings operator"},
        {"a last session with a record",
         [] {
             panel::Contents c = archive_example::ExampleContents();
             c.details.Set(F::kLaboratory, "File lab");
             c.details.Set(F::kSerialNumber, "77");
             return archive::FormatArchive(c, 0);
         }(),
         "File lab", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszCase);
        if (wxFileExists(session.GetLastSavePath())) wxRemoveFile(session.GetLastSavePath());
        const std::string& strText = c.strLastSave;
        if (!strText.empty()) archive_example::Spit(session.GetLastSavePath(), strText);
        MainFrame* pFrame = new MainFrame(lab);
        const CalibrationDetails& d = pFrame->GetPanelResult()->GetDetails();
        EXPECT_EQ(c.pszLaboratory, d.Get(F::kLaboratory));
        EXPECT_EQ(c.pszOperator, d.Get(F::kOperator));
        EXPECT_EQ(strText.find("77") != std::string::npos ? "77" : "", d.Get(F::kSerialNumber));
        pFrame->Destroy();
        PumpEvents();
    }
}

// The reference's uncertainty is part of Keff's U: the label beside the
// manual Keff follows an edit of the record, the others stay.
TEST_F(PanelDetailsTest, TheFitsLabelsFollowTheRecordsReference) {
    Build(0);
    Enter(MakeDetectorData(0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {1, 6, 9, 10}));
    Count();
    Click("ID_FIT");
    ASSERT_NE(m_pPanel->GetFit(), nullptr);
    auto label = [this](const char* pszName) {
        return XRCCTRL(*m_pPanel, pszName, wxStaticText)->GetLabel();
    };
    const wxString strKeff = label("ID_MANUAL_REGISTRATION_U");
    const wxString strK1 = label("ID_MANUAL_K1_U");
    ASSERT_FALSE(strKeff.empty());
    CalibrationDetails d = m_pPanel->GetDetails();
    d.Set(F::kReferenceUncertainty, "4");
    TypeRecord(d);
    ASSERT_NE(m_pPanel->GetFit(), nullptr) << "an edit of the record keeps the fit";
    double dBefore = 0, dAfter = 0;
    ASSERT_TRUE(strKeff.Mid(2).ToDouble(&dBefore));
    ASSERT_TRUE(label("ID_MANUAL_REGISTRATION_U").Mid(2).ToDouble(&dAfter));
    // u_ref = 2 % of Keff, expanded with k near 2: about 4 % of Keff more.
    double dKeff = 0;
    ASSERT_TRUE(Box("ID_MANUAL_REGISTRATION")->GetValue().ToDouble(&dKeff));
    EXPECT_GT(dAfter, dBefore);
    EXPECT_GT(dAfter, 0.035 * dKeff);
    EXPECT_EQ(strK1, label("ID_MANUAL_K1_U"));
}

}  // namespace
