#include "archive/LastSession.h"

#include <wx/datetime.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/utils.h>

#include "archive/ArchiveDocument.h"

LastSession::LastSession(const wxString& strArchiveDir, int nProgramMode)
    : m_strLastSave(LastSavePath(strArchiveDir)), m_nProgramMode(nProgramMode) {}

wxString LastSession::LastSavePath(const wxString& strDir) {
    return strDir + wxFILE_SEP_PATH + wxGetTranslation(wxT("varid_last_save.xml"));
}

wxString LastSession::SessionEndPath() {
    return wxGetHomeDir() + wxFILE_SEP_PATH + wxT("varid_last_save_session_end.xml");
}

bool LastSession::Save(const panel::Contents& contents, wxString* pstrReason) const {
    return archive::WriteArchiveFile(m_strLastSave, contents, m_nProgramMode, pstrReason);
}

bool LastSession::SaveAtSessionEnd(const panel::Contents& contents) const {
    return archive::WriteArchiveFile(SessionEndPath(), contents, m_nProgramMode);
}

LastSession::Source LastSession::Load(panel::Contents& io) const {
    const wxString strSessionEnd = SessionEndPath();
    // The home folder's file was written only when the archive directory
    // could not take the last session; it wins while it is the newer one.
    bool bFromHome = strSessionEnd != m_strLastSave && wxFileExists(strSessionEnd);
    if (bFromHome && wxFileExists(m_strLastSave)) {
        wxLogNull noLog;
        bFromHome = wxFileModificationTime(strSessionEnd) > wxFileModificationTime(m_strLastSave);
    }
    if (bFromHome && LoadOrKeepAside(strSessionEnd, io)) return Source::kSessionEnd;
    return LoadOrKeepAside(m_strLastSave, io) ? Source::kLastSave : Source::kNone;
}

bool LastSession::LoadOrKeepAside(const wxString& strPath, panel::Contents& io) const {
    wxString strError;
    switch (archive::ReadArchiveFile(strPath, m_nProgramMode, io, strError)) {
        case archive::LoadStatus::kLoaded:
            return true;
        case archive::LoadStatus::kFailed:
            MoveAside(strPath);
            return false;
        case archive::LoadStatus::kNoFile:
            break;
    }
    return false;
}

void LastSession::MoveAside(const wxString& strPath) {
    wxLogNull noLog;
    const wxString strBase = strPath + ".bad-" + wxDateTime::Now().Format("%Y%m%d-%H%M%S");
    wxString strAside = strBase;
    for (int n = 1; wxFileExists(strAside) || wxDirExists(strAside); ++n)
        strAside = wxString::Format("%s-%d", strBase, n);
    wxRenameFile(strPath, strAside, false);
}
