#include "tests/ui/PanelTestSupport.h"

#include <cstdlib>
#include <filesystem>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/xrc/xmlres.h>

#include "app/Globals.h"
#include "tests/gui/GuiTestMain.h"
#include "ui/MainFrame.h"
#include "ui/PanelResult.h"

#ifdef __WXMSW__
#include <wx/msw/wrapwin.h>
#endif

int UnexpectedModalHook::Enter(wxDialog* pDlg) {
    wxString strText = pDlg->GetTitle();
    if (wxMessageDialog* pMsg = dynamic_cast<wxMessageDialog*>(pDlg)) strText = pMsg->GetMessage();
    ADD_FAILURE() << "unexpected modal dialog: " << strText.utf8_string();
    return wxID_OK;
}

void PanelTest::SetUp() {
    m_pTempDir = std::make_unique<TempDir>("varid ui \xD1\x82\xD0\xB5\xD1\x81\xD1\x82");
    m_strDir = m_pTempDir->Name().utf8_string();
    g_strXmlFile = m_pTempDir->Name();
    m_hook.Register();
}

void PanelTest::TearDown() {
    if (m_pFrame) m_pFrame->Destroy();
    PumpEvents();
    m_hook.Unregister();
    m_pTempDir.reset();
    g_nProgramMode = 0;
}

void PanelTest::Build(int nMode) {
    g_nProgramMode = nMode;
    m_pFrame = new MainFrame;
    m_pFrame->Show();
    m_pPanel = m_pFrame->GetPanelResult();
    ASSERT_NE(m_pPanel, nullptr);
    PumpEvents();
}

wxGrid* PanelTest::Grid() const { return m_pPanel->GetGrid(); }
wxGrid* PanelTest::ManualGrid() const { return m_pPanel->GetManualGrid(); }

wxTextCtrl* PanelTest::Box(const char* pszName) const {
    wxTextCtrl* pBox = XRCCTRL(*m_pPanel, pszName, wxTextCtrl);
    EXPECT_NE(pBox, nullptr) << pszName;
    return pBox;
}

void PanelTest::TypeCell(int nRow, int nCol, const wxString& strValue) {
    wxGrid* pGrid = Grid();
    pGrid->SetCellValue(nRow, nCol, strValue);
    wxGridEvent event(pGrid->GetId(), wxEVT_GRID_CELL_CHANGED, pGrid, nRow, nCol);
    pGrid->ProcessWindowEvent(event);
}

void PanelTest::Enter(const DataSet& data) {
    for (const DataRow& row : data.rows) {
        TypeCell(row.nRow, 1, row.strRealP);
        TypeCell(row.nRow, 2, row.strFirst);
        TypeCell(row.nRow, 3, row.strSecond);
        if (row.bChosen) Tick(row.nRow);
    }
    Box("ID_T")->SetValue(data.strT);
}

void PanelTest::Click(const char* pszName) {
    wxButton* pButton = wxDynamicCast(m_pFrame->FindWindow(XRCID(pszName)), wxButton);
    ASSERT_NE(pButton, nullptr) << pszName;
    wxCommandEvent event(wxEVT_BUTTON, pButton->GetId());
    event.SetEventObject(pButton);
    pButton->ProcessWindowEvent(event);
}

void PanelTest::SelectMode(int nMode) {
    wxChoice* pChoice =
        wxDynamicCast(m_pFrame->FindWindow(XRCID("ID_CHOICE_PROGRAM_MODE")), wxChoice);
    ASSERT_NE(pChoice, nullptr);
    pChoice->SetSelection(nMode);
    wxCommandEvent event(wxEVT_CHOICE, pChoice->GetId());
    event.SetEventObject(pChoice);
    event.SetInt(nMode);
    pChoice->ProcessWindowEvent(event);
}

void PanelTest::ExpectRefusal(const char* pszButton, const wxString& strMessage) {
    wxTEST_DIALOG(Click(pszButton), ExpectErrorBox(strMessage));
}

void PanelTest::ExpectResultColumns(wxGrid* pGrid, const DataSet& data,
                                    const std::vector<RowResult>& expected) {
    ASSERT_EQ(expected.size(), data.rows.size());
    for (size_t i = 0; i < data.rows.size(); ++i) {
        const int nRow = data.rows[i].nRow;
        EXPECT_EQ(pGrid->GetCellValue(nRow, 4).utf8_string(), expected[i].strCorrection) << nRow;
        EXPECT_EQ(pGrid->GetCellValue(nRow, 5).utf8_string(), expected[i].strAccuracy) << nRow;
    }
}

void PanelTest::ExpectColumnsEmpty(wxGrid* pGrid, int nFirstCol, int nLastCol) {
    for (int nRow = 0; nRow < pGrid->GetNumberRows(); ++nRow)
        for (int nCol = nFirstCol; nCol <= nLastCol; ++nCol)
            EXPECT_EQ(pGrid->GetCellValue(nRow, nCol), "") << nRow << "," << nCol;
}

// The command a key press gives through an accelerator table. Only GTK's
// table answers that itself; Windows' is read back entry by entry.
int CommandOf(const wxAcceleratorTable* pTable, const wxKeyEvent& key) {
#ifdef __WXMSW__
    const HACCEL hTable = static_cast<HACCEL>(pTable->GetHACCEL());
    std::vector<ACCEL> entries(::CopyAcceleratorTableW(hTable, nullptr, 0));
    ::CopyAcceleratorTableW(hTable, entries.data(), static_cast<int>(entries.size()));
    const int nVirtualKey = key.GetKeyCode() == WXK_F1 ? VK_F1 : key.GetKeyCode();
    for (const ACCEL& entry : entries)
        if (entry.key == nVirtualKey && ((entry.fVirt & FCONTROL) != 0) == key.ControlDown())
            return static_cast<short>(entry.cmd);  // identifiers are signed
    return wxID_NONE;
#else
    return pTable->GetCommand(key);
#endif
}
