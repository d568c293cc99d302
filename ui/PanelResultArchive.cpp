// The panel's archive members: they copy the widgets into the headless
// document tables and back and ask the operator; the file format lives in
// ArchiveDocument, the last session's rules in LastSession.
#include "ui/PanelResult.h"

#include <wx/datetime.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/utils.h>

#include "app/Globals.h"
#include "archive/ArchiveDocument.h"
#include "archive/LastSession.h"
#include "ui/ErrorBox.h"

namespace {

void CopyOut(wxGridTableBase* pTable, panel::GridTable& table) {
    for (int r = 0; r < panel::kRows; ++r)
        for (int c = 0; c < panel::kCols; ++c) table[r][c] = pTable->GetValue(r, c);
}

void CopyIn(const panel::GridTable& table, wxGridTableBase* pTable) {
    for (int r = 0; r < panel::kRows; ++r)
        for (int c = 0; c < panel::kCols; ++c) pTable->SetValue(r, c, table[r][c]);
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
panel::Contents PanelResult::CollectContents() {
    panel::Contents contents;
    CopyOut(m_pGridTable, contents.table);
    CopyOut(m_pManualGrid->GetTable(), contents.manualTable);
    const auto boxes = Boxes();
    for (int i = 0; i < panel::kBoxes; ++i) contents.boxes[i] = boxes[i]->GetValue();
    contents.details = m_details;
    return contents;
}

void PanelResult::ApplyContents(const panel::Contents& contents) {
    // Whatever comes in, no fit of this panel made it.
    DropFit();
    CopyIn(contents.table, m_pGridTable);
    CopyIn(contents.manualTable, m_pManualGrid->GetTable());
    const auto boxes = Boxes();
    for (int i = 0; i < panel::kBoxes; ++i) boxes[i]->SetValue(contents.boxes[i]);
    m_details = contents.details;
    ShowDetailsSummary();
    // Cells written through the table raise no change events.
    m_nChosenCount = CountChosenRows();
    m_pGrid->Refresh(true);
    m_pManualGrid->Refresh(true);
}

bool PanelResult::SaveArchive(wxString strPath, wxString* pstrReason) {
    return archive::WriteArchiveFile(strPath, CollectContents(), g_nProgramMode, pstrReason);
}

void PanelResult::LoadLastSession() {
    panel::Contents contents = CollectContents();
    const LastSession::Source source = LastSession(g_strXmlFile, g_nProgramMode).Load(contents);
    if (source == LastSession::Source::kNone) return;
    ShowLoaded(contents);
    if (source == LastSession::Source::kSessionEnd)
        ShowNotice(
            wxString::Format(_("The last session was restored from %s, where it was saved "
                               "when the desktop session ended."),
                             LastSession::SessionEndPath()),
            _("OK"), [] {}, NoticeBar::kNoticeSessionRestored);
}

void PanelResult::LoadArchive(wxString strPath) {
    wxString strError;
    if (!LoadArchive(strPath, strError)) LastSession::MoveAside(strPath);
}

bool PanelResult::LoadArchive(wxString strPath, wxString& strError) {
    return LoadArchiveFile(strPath, strError) != archive::LoadStatus::kFailed;
}

archive::LoadStatus PanelResult::LoadArchiveFile(const wxString& strPath, wxString& strError) {
    panel::Contents contents = CollectContents();
    const archive::LoadStatus status =
        archive::ReadArchiveFile(strPath, g_nProgramMode, contents, strError);
    if (status == archive::LoadStatus::kLoaded) ShowLoaded(contents);
    return status;
}

void PanelResult::ShowLoaded(const panel::Contents& contents) {
    DismissNotice();
    ApplyContents(contents);
    NotifyChanged();
}
