// The panel's archive members: they copy the widgets into the headless
// document tables and back; all tree walking lives in ArchiveDocument.
#include "ui/PanelResult.h"

#include <algorithm>

#include <wx/datetime.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>

#include "app/Globals.h"
#include "archive/ArchiveDocument.h"
#include "ui/ErrorBox.h"

struct PanelArchiveAccess {
    static std::array<wxTextCtrl*, archive::kBoxes> Boxes(PanelResult& panel) {
        // In the order of archive::Box.
        return {panel.m_pTextT,
                panel.m_pTextRegistration,
                panel.m_pTextDeadTime,
                panel.m_pTextK1,
                panel.m_pTextK2,
                panel.m_pTextK3,
                panel.m_pTextManualDeadTime,
                panel.m_pTextManualRegistration,
                panel.m_pTextManualK1,
                panel.m_pTextManualK2,
                panel.m_pTextManualK3};
    }

    static archive::Contents Collect(PanelResult& panel) {
        archive::Contents contents;
        wxGridTableBase* pManual = panel.m_pManualGrid->GetTable();
        const int nRows = std::min(archive::kRows, panel.m_pGridTable->GetNumberRows());
        const int nManualRows = std::min(archive::kRows, pManual->GetNumberRows());
        for (int r = 0; r < nRows; ++r) {
            contents.table[r][0] = panel.IsCellChecked(r, 0) ? "1" : "";
            for (int c = 1; c < archive::kCols; ++c)
                contents.table[r][c] = panel.m_pGridTable->GetValue(r, c);
        }
        for (int r = 0; r < nManualRows; ++r) {
            contents.manualTable[r][0] = panel.IsCellChecked(r, 0, panel.m_pManualGrid) ? "1" : "";
            for (int c = 1; c < archive::kCols; ++c)
                contents.manualTable[r][c] = panel.m_pManualGrid->GetCellValue(r, c);
        }
        const auto boxes = Boxes(panel);
        for (int i = 0; i < archive::kBoxes; ++i) contents.boxes[i] = boxes[i]->GetValue();
        return contents;
    }

    // Unlike Collect, column 0 is taken as it stands, so the read can start
    // from an exact copy of what the panel holds.
    static archive::Contents Snapshot(PanelResult& panel) {
        archive::Contents contents = Collect(panel);
        wxGridTableBase* pManual = panel.m_pManualGrid->GetTable();
        for (int r = 0; r < std::min(archive::kRows, panel.m_pGridTable->GetNumberRows()); ++r)
            contents.table[r][0] = panel.m_pGridTable->GetValue(r, 0);
        for (int r = 0; r < std::min(archive::kRows, pManual->GetNumberRows()); ++r)
            contents.manualTable[r][0] = pManual->GetValue(r, 0);
        return contents;
    }

    static void Apply(PanelResult& panel, const archive::Contents& contents) {
        wxGridTableBase* pManual = panel.m_pManualGrid->GetTable();
        const int nRows = std::min(archive::kRows, panel.m_pGridTable->GetNumberRows());
        const int nManualRows = std::min(archive::kRows, pManual->GetNumberRows());
        for (int r = 0; r < nRows; ++r)
            for (int c = 0; c < archive::kCols; ++c)
                panel.m_pGridTable->SetValue(r, c, contents.table[r][c]);
        for (int r = 0; r < nManualRows; ++r)
            for (int c = 0; c < archive::kCols; ++c)
                pManual->SetValue(r, c, contents.manualTable[r][c]);
        const auto boxes = Boxes(panel);
        for (int i = 0; i < archive::kBoxes; ++i) boxes[i]->SetValue(contents.boxes[i]);
        // Cells written through the table raise no change events.
        panel.m_nChosenCount = panel.CountChosenRows();
        panel.m_pGrid->Refresh(true);
        panel.m_pManualGrid->Refresh(true);
    }
};

namespace {

// Keeps a damaged last-save file for recovery by hand under a name that
// nothing writes to.
void MoveAside(const wxString& strPath) {
    wxLogNull noLog;
    const wxString strBase = strPath + ".bad-" + wxDateTime::Now().Format("%Y%m%d-%H%M%S");
    wxString strAside = strBase;
    for (int n = 1; wxFileExists(strAside) || wxDirExists(strAside); ++n)
        strAside = wxString::Format("%s-%d", strBase, n);
    wxRenameFile(strPath, strAside, false);
}

}  // namespace

void PanelResult::Save() {
    if (!IsTFilled()) {
        ShowErrorBox(_("Not all edit box fill"));
        return;
    }
    if (!ReadGridData()) return;

    const wxString strName = wxDateTime::Now().Format(_("Varid_%Y_%m_%d_%H_%M_%S"));
    const wxString strPath = wxFileSelector(_("Choice the file to save"), g_strXmlFile, strName,
                                            wxT("*.xml"), wxT("*.xml"), wxFD_SAVE, this);
    if (strPath.empty()) return;

    g_strXmlFile = strPath.BeforeLast(wxFILE_SEP_PATH);
    if (!WriteArchive(strPath))
        ShowErrorBox(wxString::Format(_("Cannot write the archive file %s!"), strPath));
}

void PanelResult::Open() {
    const wxString strPath =
        wxFileSelector(_("Choice the file to load"), g_strXmlFile, wxEmptyString, wxT("*.xml"),
                       wxT("*.xml"), wxFD_OPEN, this);
    if (strPath.empty()) return;
    wxString strError;
    if (!LoadArchive(strPath, strError)) ShowErrorBox(strError);
}

void PanelResult::SaveArchive(wxString strPath) { WriteArchive(strPath); }

bool PanelResult::WriteArchive(wxString strPath) {
    return archive::WriteArchiveFile(strPath, PanelArchiveAccess::Collect(*this), g_nProgramMode);
}

void PanelResult::LoadArchive(wxString strPath) {
    wxString strError;
    if (!LoadArchive(strPath, strError)) MoveAside(strPath);
}

bool PanelResult::LoadArchive(wxString strPath, wxString& strError) {
    archive::Contents contents = PanelArchiveAccess::Snapshot(*this);
    switch (archive::ReadArchiveFile(strPath, g_nProgramMode, contents, strError)) {
        case archive::LoadStatus::kNoFile:
            return true;
        case archive::LoadStatus::kFailed:
            return false;
        case archive::LoadStatus::kLoaded:
            break;
    }
    PanelArchiveAccess::Apply(*this, contents);
    return true;
}
