// The panel's archive members: they copy the widgets into the headless
// document tables and back; all tree walking lives in ArchiveDocument.
#include "ui/PanelResult.h"

#include <wx/datetime.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/utils.h>

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
    SaveToChosenFile();
}

bool PanelResult::SaveToChosenFile() {
    const wxString strName = wxDateTime::Now().Format(_("Varid_%Y_%m_%d_%H_%M_%S"));
    const wxString strPath = wxFileSelector(_("Choice the file to save"), g_strXmlFile, strName,
                                            wxT("*.xml"), wxT("*.xml"), wxFD_SAVE, this);
    if (strPath.empty()) return false;

    g_strXmlFile = strPath.BeforeLast(wxFILE_SEP_PATH);
    if (!SaveArchive(strPath)) {
        ShowErrorBox(wxString::Format(_("Cannot write the archive file %s!"), strPath));
        return false;
    }
    RememberArchiveFile(strPath);
    return true;
}

void PanelResult::Open() {
    const wxString strPath =
        wxFileSelector(_("Choice the file to load"), g_strXmlFile, wxEmptyString, wxT("*.xml"),
                       wxT("*.xml"), wxFD_OPEN, this);
    if (strPath.empty()) return;
    Snapshot before = TakeSnapshot();
    wxString strError;
    switch (LoadArchiveFile(strPath, strError)) {
        case archive::LoadStatus::kNoFile:
            break;
        case archive::LoadStatus::kFailed:
            ShowErrorBox(strError);
            break;
        case archive::LoadStatus::kLoaded:
            RememberArchiveFile(strPath);
            OfferUndo(std::move(before), _("An archive was opened."));
            break;
    }
}

void PanelResult::RememberArchiveFile(const wxString& strPath) {
    m_strArchiveFile = strPath;
    m_archiveContents = CollectContents();
}

bool PanelResult::IsChangedSinceArchive() {
    return m_strArchiveFile.empty() || CollectContents() != m_archiveContents;
}

// Every cell as it stands; the writer turns the tick column into "1" or
// empty, and a read starts from this exact copy.
archive::Contents PanelResult::CollectContents() {
    archive::Contents contents;
    CopyOut(m_pGridTable, contents.table);
    CopyOut(m_pManualGrid->GetTable(), contents.manualTable);
    const auto boxes = Boxes();
    for (int i = 0; i < archive::kBoxes; ++i) contents.boxes[i] = boxes[i]->GetValue();
    return contents;
}

void PanelResult::ApplyContents(const archive::Contents& contents) {
    // Whatever comes in, no fit of this panel made it.
    DropFit();
    CopyIn(contents.table, m_pGridTable);
    CopyIn(contents.manualTable, m_pManualGrid->GetTable());
    const auto boxes = Boxes();
    for (int i = 0; i < archive::kBoxes; ++i) boxes[i]->SetValue(contents.boxes[i]);
    // Cells written through the table raise no change events.
    m_nChosenCount = CountChosenRows();
    m_pGrid->Refresh(true);
    m_pManualGrid->Refresh(true);
}

bool PanelResult::SaveArchive(wxString strPath, wxString* pstrReason) {
    return archive::WriteArchiveFile(strPath, CollectContents(), g_nProgramMode, pstrReason);
}

wxString PanelResult::LastSavePath(const wxString& strDir) {
    return strDir + wxFILE_SEP_PATH + wxGetTranslation(wxT("varid_last_save.xml"));
}

wxString PanelResult::SessionEndPath() {
    return wxGetHomeDir() + wxFILE_SEP_PATH + wxT("varid_last_save_session_end.xml");
}

void PanelResult::LoadLastSession() {
    const wxString strLastSave = LastSavePath(g_strXmlFile);
    const wxString strSessionEnd = SessionEndPath();
    // The home folder's file was written only when the archive directory
    // could not take the last session; it wins while it is the newer one.
    bool bFromHome = strSessionEnd != strLastSave && wxFileExists(strSessionEnd);
    if (bFromHome && wxFileExists(strLastSave)) {
        wxLogNull noLog;
        bFromHome = wxFileModificationTime(strSessionEnd) > wxFileModificationTime(strLastSave);
    }
    if (!bFromHome) {
        LoadArchive(strLastSave);
        return;
    }
    wxString strError;
    if (LoadArchiveFile(strSessionEnd, strError) == archive::LoadStatus::kLoaded) {
        ShowNotice(wxString::Format(_("The last session was restored from %s, where it was saved "
                                      "when the desktop session ended."),
                                    strSessionEnd),
                   _("OK"), [] {});
    } else {
        MoveAside(strSessionEnd);
        LoadArchive(strLastSave);
    }
}

void PanelResult::LoadArchive(wxString strPath) {
    wxString strError;
    if (!LoadArchive(strPath, strError)) MoveAside(strPath);
}

bool PanelResult::LoadArchive(wxString strPath, wxString& strError) {
    return LoadArchiveFile(strPath, strError) != archive::LoadStatus::kFailed;
}

archive::LoadStatus PanelResult::LoadArchiveFile(const wxString& strPath, wxString& strError) {
    archive::Contents contents = CollectContents();
    const archive::LoadStatus status =
        archive::ReadArchiveFile(strPath, g_nProgramMode, contents, strError);
    if (status != archive::LoadStatus::kLoaded) return status;
    DismissNotice();
    ApplyContents(contents);
    NotifyChanged();
    return status;
}
