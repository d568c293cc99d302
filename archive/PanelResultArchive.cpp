// The panel's archive members: they copy the widgets into the headless
// document tables and back; all tree walking lives in ArchiveDocument.
#include "ui/PanelResult.h"

#include <array>

#include <wx/datetime.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>

#include "app/Globals.h"
#include "archive/ArchiveDocument.h"
#include "ui/ErrorBox.h"

namespace {

void CopyOut(wxGridTableBase* pTable, archive::GridTable& table) {
    for (int r = 0; r < archive::kRows; ++r)
        for (int c = 0; c < archive::kCols; ++c) table[r][c] = pTable->GetValue(r, c);
}

void CopyIn(const archive::GridTable& table, wxGridTableBase* pTable) {
    for (int r = 0; r < archive::kRows; ++r)
        for (int c = 0; c < archive::kCols; ++c) pTable->SetValue(r, c, table[r][c]);
}

}  // namespace

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

    // Every cell as it stands; the writer turns the tick column into "1" or
    // empty, and a read starts from this exact copy.
    static archive::Contents Collect(PanelResult& panel) {
        archive::Contents contents;
        CopyOut(panel.m_pGridTable, contents.table);
        CopyOut(panel.m_pManualGrid->GetTable(), contents.manualTable);
        const auto boxes = Boxes(panel);
        for (int i = 0; i < archive::kBoxes; ++i) contents.boxes[i] = boxes[i]->GetValue();
        return contents;
    }

    static void Apply(PanelResult& panel, const archive::Contents& contents) {
        CopyIn(contents.table, panel.m_pGridTable);
        CopyIn(contents.manualTable, panel.m_pManualGrid->GetTable());
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
    if (!SaveArchive(strPath)) {
        ShowErrorBox(wxString::Format(_("Cannot write the archive file %s!"), strPath));
        return;
    }
    m_strArchiveFile = strPath;
    m_archiveContents = PanelArchiveAccess::Collect(*this);
}

void PanelResult::Open() {
    const wxString strPath =
        wxFileSelector(_("Choice the file to load"), g_strXmlFile, wxEmptyString, wxT("*.xml"),
                       wxT("*.xml"), wxFD_OPEN, this);
    if (strPath.empty()) return;
    wxString strError;
    if (!LoadArchive(strPath, strError)) {
        ShowErrorBox(strError);
        return;
    }
    m_strArchiveFile = strPath;
    m_archiveContents = PanelArchiveAccess::Collect(*this);
}

bool PanelResult::IsChangedSinceArchive() {
    if (m_strArchiveFile.empty()) return true;
    const archive::Contents now = PanelArchiveAccess::Collect(*this);
    return now.table != m_archiveContents.table ||
           now.manualTable != m_archiveContents.manualTable ||
           now.boxes != m_archiveContents.boxes;
}

archive::Contents PanelResult::CollectContents() { return PanelArchiveAccess::Collect(*this); }

void PanelResult::ApplyContents(const archive::Contents& contents) {
    PanelArchiveAccess::Apply(*this, contents);
}

bool PanelResult::SaveArchive(wxString strPath) {
    return archive::WriteArchiveFile(strPath, PanelArchiveAccess::Collect(*this), g_nProgramMode);
}

void PanelResult::LoadArchive(wxString strPath) {
    wxString strError;
    if (!LoadArchive(strPath, strError)) MoveAside(strPath);
}

bool PanelResult::LoadArchive(wxString strPath, wxString& strError) {
    archive::Contents contents = PanelArchiveAccess::Collect(*this);
    switch (archive::ReadArchiveFile(strPath, g_nProgramMode, contents, strError)) {
        case archive::LoadStatus::kNoFile:
            return true;
        case archive::LoadStatus::kFailed:
            return false;
        case archive::LoadStatus::kLoaded:
            break;
    }
    DismissNotice();
    PanelArchiveAccess::Apply(*this, contents);
    NotifyChanged();
    return true;
}
