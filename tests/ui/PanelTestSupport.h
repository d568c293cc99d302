#ifndef VARID_TESTS_UI_PANELTESTSUPPORT_H
#define VARID_TESTS_UI_PANELTESTSUPPORT_H

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/grid.h>
#include <wx/modalhook.h>
#include <wx/textctrl.h>

#include "tests/gui/ExpectErrorBox.h"
#include "testsupport/CalibrationModel.h"
#include "testsupport/TempDir.h"

class MainFrame;
class wxAcceleratorTable;
class wxKeyEvent;

// The command a key press gives through an accelerator table.
int CommandOf(const wxAcceleratorTable* pTable, const wxKeyEvent& key);
class PanelResult;

// A modal box nobody expected would block the test forever: fail instead.
class UnexpectedModalHook : public wxModalDialogHook {
protected:
    int Enter(wxDialog* pDlg) override;
    void Exit(wxDialog*) override {}
};

// The real main frame with its result panel, built in a fresh archive
// directory so that no last-save file is read.
class PanelTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the frame in the given program mode.
    void Build(int nMode);

    wxGrid* Grid() const;
    wxGrid* ManualGrid() const;
    wxTextCtrl* Box(const char* pszName) const;
    wxString BoxText(const char* pszName) const { return Box(pszName)->GetValue(); }

    // A typed cell change as the grid reports it.
    void TypeCell(int nRow, int nCol, const wxString& strValue);
    void Tick(int nRow) { TypeCell(nRow, 0, "1"); }
    void Untick(int nRow) { TypeCell(nRow, 0, ""); }
    // Types every reading of the data set and ticks its chosen rows.
    void Enter(const DataSet& data);

    // Clicks a button found by its layout name anywhere in the frame.
    void Click(const char* pszName);
    void Count() { Click("ID_COUNT"); }
    void Set() { Click("ID_BT_CHANGE_VALUE"); }
    void SelectMode(int nMode);

    // Count or Set expected to stop with this message.
    void ExpectRefusal(const char* pszButton, const wxString& strMessage);

    // Compares columns 4 and 5 of the given grid with the expected rows.
    void ExpectResultColumns(wxGrid* pGrid, const DataSet& data,
                             const std::vector<RowResult>& expected);
    void ExpectColumnsEmpty(wxGrid* pGrid, int nFirstCol, int nLastCol);

    MainFrame* m_pFrame = nullptr;
    PanelResult* m_pPanel = nullptr;
    // The archive directory (UTF-8): Cyrillic letters and a space in its
    // name, so every Save, Open and last-save goes through such a path.
    std::string m_strDir;
    std::unique_ptr<TempDir> m_pTempDir;
    UnexpectedModalHook m_hook;
};

#endif
