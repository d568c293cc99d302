// Paste, copy and export on the real panel: a spreadsheet block pasted and
// counted, a copy-and-paste round trip through the real clipboard, the
// refusals and reports of a paste, the export dialog and its failure, and the
// keyboard shortcuts.
#include <functional>

#include <wx/clipbrd.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/uiaction.h>
#include <wx/xrc/xmlres.h>

#include "app/Globals.h"
#include "report/CsvExport.h"
#include "tests/archive/ArchiveTestData.h"
#include "tests/gui/GuiTestMain.h"
#include "tests/ui/PanelTestSupport.h"
#include "ui/MainFrame.h"
#include "ui/PanelResult.h"

namespace {

const std::vector<int> kAllRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

// The paste's report of cells it could not write.
class ExpectLeftOutBox : public wxExpectModal<wxMessageDialog> {
public:
    explicit ExpectLeftOutBox(const wxString& strMessage)
        : wxExpectModal<wxMessageDialog>(wxID_OK), m_strMessage(strMessage) {
        Describe("left-out box \"" + strMessage + "\"");
    }

protected:
    int OnInvoked(wxMessageDialog* pDlg) const override {
        EXPECT_EQ(pDlg->GetMessage().utf8_string(), m_strMessage.utf8_string());
        EXPECT_EQ(pDlg->GetCaption(), "Paste");
        return wxExpectModal<wxMessageDialog>::OnInvoked(pDlg);
    }

private:
    wxString m_strMessage;
};

// The export's save dialog: its settings checked, then answered with a path
// and a file type (0 the workbook, 1 CSV).
class ExpectExportDialog : public wxExpectModal<wxFileDialog> {
public:
    ExpectExportDialog(const wxString& strDir, const wxString& strAnswer, int nType = 0)
        : wxExpectModal<wxFileDialog>(strAnswer, wxID_OK), m_strDir(strDir), m_nType(nType) {
        Describe("export dialog");
    }

protected:
    int OnInvoked(wxFileDialog* pDlg) const override {
        EXPECT_EQ(pDlg->GetDirectory(), m_strDir);
        // The workbook first.
        EXPECT_EQ(pDlg->GetWildcard(), "Excel workbook (*.xlsx)|*.xlsx|CSV file (*.csv)|*.csv");
        EXPECT_EQ(pDlg->GetFilterIndex(), 0);
        EXPECT_EQ(pDlg->GetWindowStyle() & (wxFD_SAVE | wxFD_OVERWRITE_PROMPT),
                  wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
        const wxDateTime now = wxDateTime::Now();
        const wxString strName = pDlg->GetFilename();
        EXPECT_TRUE(strName == now.Format("Varid_%Y_%m_%d_%H_%M_%S.xlsx") ||
                    strName == (now - wxTimeSpan::Second()).Format("Varid_%Y_%m_%d_%H_%M_%S.xlsx"))
            << strName;
        pDlg->SetFilterIndex(m_nType);
        const int nResult = wxExpectModal<wxFileDialog>::OnInvoked(pDlg);
        // The native dialog takes a set path only once its own events have run.
        for (int i = 0; i < 200 && pDlg->GetPath().empty(); ++i) {
            wxEventLoop loop;
            wxEventLoopActivator activate(&loop);
            while (loop.Pending()) loop.Dispatch();
            wxMilliSleep(5);
        }
        return nResult;
    }

private:
    wxString m_strDir;
    int m_nType;
};

// The question before a completed name replaces a file; answered No.
class ExpectReplaceQuestion : public wxExpectModal<wxMessageDialog> {
public:
    explicit ExpectReplaceQuestion(const wxString& strPath)
        : wxExpectModal<wxMessageDialog>(wxID_NO), m_strPath(strPath) {
        Describe("replace question for " + strPath);
    }

protected:
    int OnInvoked(wxMessageDialog* pDlg) const override {
        EXPECT_EQ(pDlg->GetMessage(), "The file " + m_strPath + " already exists. Replace it?");
        EXPECT_EQ(pDlg->GetCaption(), "Export");
        return wxExpectModal<wxMessageDialog>::OnInvoked(pDlg);
    }

private:
    wxString m_strPath;
};

class PanelDataTest : public PanelTest {
protected:
    // The first item of Export's menu, as choosing it sends it.
    void ExportThisCalibration() {
        wxCommandEvent event(wxEVT_MENU, XRCID("ID_EXPORT_THIS"));
        m_pFrame->ProcessWindowEvent(event);
    }
    // A key pressed while the grid (not a cell editor) has the focus.
    void PressKey(wxGrid* pGrid, int nKey, int nModifiers) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = nKey;
        event.m_controlDown = (nModifiers & wxMOD_CONTROL) != 0;
        event.m_shiftDown = (nModifiers & wxMOD_SHIFT) != 0;
        event.SetEventObject(pGrid->GetGridWindow());
        pGrid->GetGridWindow()->ProcessWindowEvent(event);
    }

    // A real key press through the X server, the grid holding the focus;
    // events run until fnDone says the key has taken effect.
    void Press(int nKey, int nModifiers, std::function<bool()> fnDone, int nRounds = 200) {
        m_pFrame->Raise();
        // An open cell editor keeps the focus it took.
        if (!Grid()->IsCellEditControlShown()) Grid()->SetFocus();
        wxUIActionSimulator sim;
        // Without a window manager the keys go to the window under the pointer.
        sim.MouseMove(Grid()->GetScreenPosition() + wxPoint(60, 40));
        sim.Char(nKey, nModifiers);
        for (int i = 0; i < nRounds && !fnDone(); ++i) {
            wxEventLoop loop;
            wxEventLoopActivator activate(&loop);
            while (loop.Pending()) loop.Dispatch();
            wxMilliSleep(10);
        }
    }

    std::vector<std::string> Column(int nCol) {
        std::vector<std::string> cells;
        for (int nRow = 0; nRow < 11; ++nRow)
            cells.push_back(Grid()->GetCellValue(nRow, nCol).utf8_string());
        return cells;
    }

    // The data set as a spreadsheet in a decimal-comma locale copies it:
    // CRLF, "x" for a tick, no-break spaces between digit groups.
    static wxString SpreadsheetBlock(const DataSet& data) {
        wxString strBlock;
        for (const DataRow& row : data.rows) {
            wxString strFirst = wxString::FromUTF8(row.strFirst);
            // Only where the comma cannot be read as a thousands separator.
            const int nPoint = strFirst.Find('.');
            if (nPoint > 3) {
                strFirst.insert(nPoint - 3, wxUniChar(0x00A0));
                strFirst.Replace(".", ",");
            }
            strBlock += wxString(row.bChosen ? "x" : "") + "\t" + row.strRealP + "\t" + strFirst +
                        "\t" + row.strSecond + "\r\n";
        }
        return strBlock;
    }
};

TEST_F(PanelDataTest, PastedSpreadsheetBlockCountsLikeTypedData) {
    Build(0);
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    Grid()->SetGridCursor(0, 0);
    EXPECT_TRUE(m_pPanel->PasteText(SpreadsheetBlock(data)));
    EXPECT_EQ(m_pPanel->GetChosenCount(), 4);
    EXPECT_EQ(Grid()->GetCellValue(0, 2).utf8_string(), data.rows[0].strFirst);
    Box("ID_T")->SetValue(data.strT);
    Count();
    const CountResult expected = ExpectedCount(data);
    ExpectResultColumns(Grid(), data, expected.rows);
    EXPECT_EQ(BoxText("ID_K3").utf8_string(), expected.strK3);
    EXPECT_EQ(BoxText("ID_REGISTRATION").utf8_string(), expected.strKeff);
}

TEST_F(PanelDataTest, CopiedGridPastesBackThroughTheClipboard) {
    Build(1);
    const DataSet data = MakeDetectorData(1, kAllRows, {1, 6, 9, 10});
    Enter(data);
    Count();
    std::vector<std::vector<std::string>> before;
    for (int nCol = 0; nCol < 4; ++nCol) before.push_back(Column(nCol));

    Grid()->SelectAll();
    PressKey(Grid(), 'C', wxMOD_CONTROL);
    Click("ID_CLEAR");
    Grid()->ClearSelection();
    Grid()->SetGridCursor(0, 0);
    PressKey(Grid(), WXK_INSERT, wxMOD_SHIFT);
    for (int nCol = 0; nCol < 4; ++nCol) EXPECT_EQ(Column(nCol), before[nCol]) << nCol;
    ExpectColumnsEmpty(Grid(), 4, 5);
    EXPECT_EQ(m_pPanel->GetChosenCount(), 4);

    // The manual grid copies too, the selection's cells only.
    Box("ID_T")->SetValue(data.strT);
    Set();
    ManualGrid()->SelectBlock(1, 1, 2, 2);
    PressKey(ManualGrid(), 'C', wxMOD_CONTROL);
    wxTextDataObject text;
    ASSERT_TRUE(wxTheClipboard->Open());
    EXPECT_TRUE(wxTheClipboard->GetData(text));
    wxTheClipboard->Close();
    EXPECT_EQ(text.GetText().utf8_string(), data.rows[1].strRealP + "\t" + data.rows[1].strFirst +
                                                "\n" + data.rows[2].strRealP + "\t" +
                                                data.rows[2].strFirst + "\n");
}

TEST_F(PanelDataTest, PasteRefusesAFifthTickAndReportsWhatItLeavesOut) {
    Build(0);
    for (int nRow : {0, 1, 2, 3}) Tick(nRow);
    Grid()->SetGridCursor(5, 0);
    wxTEST_DIALOG(EXPECT_FALSE(m_pPanel->PasteText("\t7\nx\t8\n")),
                  ExpectErrorBox("Choose wrong quantity values for calculate"));
    EXPECT_EQ(Grid()->GetCellValue(5, 1), "");
    EXPECT_EQ(m_pPanel->GetChosenCount(), 4);

    // From row 9, column 3: the third row and the seventh column fall outside,
    // columns 4 and 5 are skipped without a word.
    Grid()->SetGridCursor(9, 3);
    wxTEST_DIALOG(m_pPanel->PasteText("1\t2\t3\t4\n5\t6\t7\t8\n9\n"),
                  ExpectLeftOutBox("3 cells lie outside the grid and were left out."));
    EXPECT_EQ(Grid()->GetCellValue(9, 3), "1");
    EXPECT_EQ(Grid()->GetCellValue(10, 3), "5");
    ExpectColumnsEmpty(Grid(), 4, 5);

    // After a Count of single readings column 3 is locked: a paste keeps it
    // empty and says so; an open cell editor is left alone.
    Click("ID_CLEAR");
    const DataSet single = MakeDetectorData(0, kAllRows, {0, 6, 8, 10}, false);
    Enter(single);
    Count();
    ASSERT_TRUE(Grid()->IsReadOnly(0, 3));
    Grid()->SetGridCursor(1, 1);
    wxTEST_DIALOG(
        m_pPanel->PasteText("200\t300\t301\n"),
        ExpectLeftOutBox("1 cell was left out: column Fr is locked for single readings."));
    EXPECT_EQ(Grid()->GetCellValue(1, 2), "300");
    EXPECT_EQ(Grid()->GetCellValue(1, 3), "");
}

TEST_F(PanelDataTest, ExportWritesTheShownDataAndSaysWhenItCannot) {
    Build(0);
    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    Enter(data);
    Count();
    const wxString strDir = g_strXmlFile;
    const std::string strCsv = CsvExport::Format(m_pPanel->CollectContents(), 0);
    // The name's extension decides, whichever type is chosen; a bare name
    // gets the chosen type's.
    const struct {
        const char* szAnswer;
        int nType;
        const char* szWritten;
        bool bWorkbook;
    } cases[] = {
        {"calibration.csv", 0, "calibration.csv", false},
        {"calibration.xlsx", 1, "calibration.xlsx", true},
        {"bare", 0, "bare.xlsx", true},
        {"bare", 1, "bare.csv", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szWritten);
        wxTEST_DIALOG(ExportThisCalibration(),
                      ExpectExportDialog(strDir, strDir + "/" + c.szAnswer, c.nType));
        const std::string strWritten = archive_example::Slurp(strDir + "/" + c.szWritten);
        if (c.bWorkbook)
            EXPECT_EQ(strWritten.substr(0, 4), "PK\x03\x04");
        else
            EXPECT_EQ(strWritten, strCsv);
    }
    EXPECT_EQ(g_strXmlFile, strDir) << "Export does not move the archive directory";

    // The dialog asked about "bare", not about the "bare.xlsx" it became:
    // replacing that is asked, and No keeps it.
    const std::string strBare = archive_example::Slurp(strDir + "/bare.xlsx");
    wxTEST_DIALOG(ExportThisCalibration(), ExpectExportDialog(strDir, strDir + "/bare", 0),
                  ExpectReplaceQuestion(strDir + "/bare.xlsx"));
    EXPECT_EQ(archive_example::Slurp(strDir + "/bare.xlsx"), strBare);

    // A directory in the way: the write fails, the directory stays.
    for (const char* szTaken : {"/taken.csv", "/taken.xlsx"}) {
        const wxString strTaken = strDir + szTaken;
        ASSERT_TRUE(wxMkdir(strTaken));
        wxTEST_DIALOG(ExportThisCalibration(), ExpectExportDialog(strDir, strTaken),
                      ExpectErrorBox("Cannot write the file " + strTaken + "!"));
        EXPECT_TRUE(wxDirExists(strTaken));
    }
}

TEST_F(PanelDataTest, KeysFromTheKeyboardReachTheirCommands) {
    Build(0);
    // Ctrl+V on the grid pastes a block; inside an open cell editor it is the
    // editor's own paste into its one cell.
    {
        wxClipboardLocker lock;
        wxTheClipboard->SetData(new wxTextDataObject("7\t8\n"));
    }
    Grid()->SetGridCursor(2, 1);
    Press('V', wxMOD_CONTROL, [&] { return !Grid()->GetCellValue(2, 2).empty(); });
    EXPECT_EQ(Grid()->GetCellValue(2, 1), "7");
    EXPECT_EQ(Grid()->GetCellValue(2, 2), "8");
    Grid()->SetGridCursor(3, 1);
    Grid()->EnableCellEditControl();
    ASSERT_TRUE(Grid()->IsCellEditControlShown());
    Press(
        'V', wxMOD_CONTROL, [] { return false; }, 30);
    m_pPanel->FinishCellEdit();
    EXPECT_TRUE(Grid()->GetCellValue(3, 1).StartsWith("7")) << Grid()->GetCellValue(3, 1);
    EXPECT_EQ(Grid()->GetCellValue(3, 2), "");

    const DataSet data = MakeDetectorData(0, kAllRows, {0, 6, 8, 10});
    Enter(data);
    const std::string strK3 = ExpectedCount(data).strK3;
    for (int nModifiers : {wxMOD_NONE, wxMOD_CONTROL}) {
        Box("ID_K3")->SetValue("");
        Press(nModifiers ? WXK_RETURN : WXK_F5, nModifiers,
              [&] { return !BoxText("ID_K3").empty(); });
        EXPECT_EQ(BoxText("ID_K3").utf8_string(), strK3) << nModifiers;
    }
}

}  // namespace
