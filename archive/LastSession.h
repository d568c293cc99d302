#ifndef VARID_ARCHIVE_LASTSESSION_H
#define VARID_ARCHIVE_LASTSESSION_H

#include <wx/string.h>

#include "grid/PanelContents.h"

// The panel's contents carried from one run to the next, without a window:
// the last-save file in the archive directory, written at every close, and
// the session-end file in the home folder, written only when the desktop
// session ends and the archive directory cannot take it. A file that cannot
// be read back (damaged, of the other mode, above the archive size limit) is
// renamed aside, so that the next close cannot overwrite it.
class LastSession {
public:
    LastSession(const wxString& strArchiveDir, int nProgramMode);

    // The last-save file of an archive directory.
    static wxString LastSavePath(const wxString& strDir);
    // The home folder's file, under a name of its own.
    static wxString SessionEndPath();
    const wxString& GetLastSavePath() const { return m_strLastSave; }

    // Writes the last-save file; false leaves an earlier one intact, with the
    // system's reason in pstrReason when given.
    bool Save(const panel::Contents& contents, wxString* pstrReason = nullptr) const;
    // Nobody can be asked at the end of a desktop session: the home folder.
    bool SaveAtSessionEnd(const panel::Contents& contents) const;

    enum class Source { kNone, kLastSave, kSessionEnd };
    // The session-end file while it is newer than the last-save file, else
    // the last-save file, into io. kNone leaves io as it was: no file, or a
    // file that was kept aside.
    Source Load(panel::Contents& io) const;
    // One last-save file into io; false when there is none or it was kept
    // aside.
    bool LoadOrKeepAside(const wxString& strPath, panel::Contents& io) const;

    // Renames a file to <path>.bad-<date>-<time>, numbered when that exists.
    static void MoveAside(const wxString& strPath);

private:
    wxString m_strLastSave;
    int m_nProgramMode;
};

#endif
