#include "archive/SafeFile.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cerrno>

#include <wx/file.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#ifdef __WINDOWS__
#include <wx/msw/wrapwin.h>
#endif

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

// The code of the last failed system call, as wxSysErrorMsgStr reads it: the
// C runtime's errno on Unix, the system's own on Windows (errno's numbers
// would name other errors there).
int LastError() {
#ifdef __WINDOWS__
    return static_cast<int>(::GetLastError());
#else
    return errno;
#endif
}

#ifdef __WINDOWS__
const int kUnknownError = ERROR_WRITE_FAULT;
#else
const int kUnknownError = EIO;
#endif

void ClearLastError() {
#ifdef __WINDOWS__
    ::SetLastError(0);
#endif
    errno = 0;
}

// Puts the written temporary file in the target's place in one step: readers
// see the old or the new file, never a part of either.
bool ReplaceFile(const wxString& strTemp, const wxString& strTarget) {
#ifdef __WINDOWS__
    // rename() refuses an existing target there, and the toolkit then copies.
    return ::MoveFileExW(strTemp.wc_str(), strTarget.wc_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return wxRenameFile(strTemp, strTarget, true);
#endif
}

}  // namespace

bool WriteFileReplacing(const wxString& strPath, const std::string& text, wxString* pstrReason) {
    // The caller decides what the user sees; the toolkit's own log must stay quiet.
    wxLogNull noLog;
    // The system's word for the first step that failed, taken at once: later
    // calls (the clean-up included) may change the error code.
    auto fail = [pstrReason](int nError) {
        if (pstrReason) {
            *pstrReason = wxSysErrorMsgStr(nError ? nError : kUnknownError);
            // Windows' words end with a full stop; the callers add their own.
            if (pstrReason->EndsWith(".")) pstrReason->RemoveLast();
        }
        return false;
    };
    wxFile file;
    ClearLastError();
    const wxString strTemp = wxFileName::CreateTempFileName(strPath, &file);
    if (strTemp.empty()) return fail(LastError());
    ClearLastError();
    bool bWritten = file.Write(text.data(), text.size()) == text.size() && file.Flush();
    int nError = LastError();
    bWritten = file.Close() && bWritten;
    if (!nError) nError = LastError();
    if (bWritten) {
#ifdef __UNIX__
        SetFinalMode(strTemp, strPath);
#endif
        ClearLastError();
        if (ReplaceFile(strTemp, strPath)) return true;
        nError = LastError();
    }
    wxRemoveFile(strTemp);
    return fail(nError);
}

}  // namespace archive
