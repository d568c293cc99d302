#include "archive/SafeFile.h"

#include <sys/stat.h>

#include <cerrno>

#include <wx/file.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

namespace archive {

namespace {

#ifdef __UNIX__
// A new file gets the mode a plain create would give it, a replaced file
// keeps its own, instead of the private mode of a temporary file.
void SetFinalMode(const wxString& strTemp, const wxString& strTarget) {
    struct stat st;
    mode_t mode;
    if (stat(strTarget.fn_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    chmod(strTemp.fn_str(), mode);
}
#endif

}  // namespace

bool WriteFileReplacing(const wxString& strPath, const std::string& text, wxString* pstrReason) {
    // The caller decides what the user sees; the toolkit's own log must stay quiet.
    wxLogNull noLog;
    // The system's word for the first step that failed, taken at once: later
    // calls (the clean-up included) may change errno.
    auto fail = [pstrReason](int nError) {
        if (pstrReason) *pstrReason = wxSysErrorMsgStr(nError ? nError : EIO);
        return false;
    };
    wxFile file;
    errno = 0;
    const wxString strTemp = wxFileName::CreateTempFileName(strPath, &file);
    if (strTemp.empty()) return fail(errno);
    errno = 0;
    bool bWritten = file.Write(text.data(), text.size()) == text.size() && file.Flush();
    int nError = errno;
    bWritten = file.Close() && bWritten;
    if (!nError) nError = errno;
    if (bWritten) {
#ifdef __UNIX__
        SetFinalMode(strTemp, strPath);
#endif
        // rename() replaces the target in one step: readers see the old or the new file.
        errno = 0;
        if (wxRenameFile(strTemp, strPath, true)) return true;
        nError = errno;
    }
    wxRemoveFile(strTemp);
    return fail(nError);
}

}  // namespace archive
