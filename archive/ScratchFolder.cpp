#include "archive/ScratchFolder.h"

#include <chrono>
#include <random>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>
#ifdef __WINDOWS__
#include <wx/msw/wrapwin.h>
#endif

namespace archive {

namespace {

#ifdef __WINDOWS__
// The 8.3 form of a folder is ASCII where the volume keeps such names.
wxString ShortForm(const wxString& strPath) {
    wchar_t szShort[MAX_PATH];
    const DWORD n = ::GetShortPathNameW(strPath.wc_str(), szShort, MAX_PATH);
    return n > 0 && n < MAX_PATH ? wxString(szShort, n) : wxString();
}
#endif

wxString WithoutTrailingSeparator(wxString str) {
    while (str.length() > 1 && wxFileName::IsPathSeparator(str.Last())) str.RemoveLast();
    return str;
}

}  // namespace

bool ScratchFolder::IsPlainAscii(const wxString& str) {
    for (wxUniChar ch : str)
        if (ch.GetValue() < 0x20 || ch.GetValue() > 0x7E) return false;
    return true;
}

std::vector<wxString> ScratchFolder::Candidates() {
    std::vector<wxString> vecFolders = {wxFileName::GetTempDir()};
#ifdef __WINDOWS__
    vecFolders.push_back(ShortForm(vecFolders[0]));
    // Folders every user may make folders in, whatever their name.
    wxString str;
    if (wxGetEnv(wxT("ProgramData"), &str)) vecFolders.push_back(str);
    if (wxGetEnv(wxT("PUBLIC"), &str)) vecFolders.push_back(str);
    if (wxGetEnv(wxT("SystemRoot"), &str)) vecFolders.push_back(str + wxT("\\Temp"));
#else
    vecFolders.push_back(wxT("/tmp"));
    vecFolders.push_back(wxT("/var/tmp"));
#endif
    return vecFolders;
}

ScratchFolder::ScratchFolder() {
    wxLogNull noLog;
    std::mt19937 random(
        std::random_device{}() ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (const wxString& strCandidate : Candidates()) {
        const wxString strBase = WithoutTrailingSeparator(strCandidate);
        if (strBase.empty() || !IsPlainAscii(strBase) || !wxDirExists(strBase)) continue;
        for (int nTry = 0; nTry < 10; ++nTry) {
            const wxString strPath = strBase + wxFILE_SEP_PATH +
                                     wxString::Format(wxT("varid-%lu-%08x"), wxGetProcessId(),
                                                      static_cast<unsigned>(random()));
            if (wxMkdir(strPath, 0700)) {
                m_strPath = strPath.ToStdString();
                return;
            }
        }
    }
}

ScratchFolder::~ScratchFolder() {
    if (m_strPath.empty()) return;
    wxLogNull noLog;
    wxFileName::Rmdir(wxString(m_strPath), wxPATH_RMDIR_RECURSIVE);
}

std::string ScratchFolder::PathOf(const std::string& strName) const {
    return m_strPath + static_cast<char>(wxFILE_SEP_PATH) + strName;
}

}  // namespace archive
