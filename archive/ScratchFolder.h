#ifndef VARID_ARCHIVE_SCRATCHFOLDER_H
#define VARID_ARCHIVE_SCRATCHFOLDER_H

#include <string>
#include <vector>

#include <wx/string.h>

namespace archive {

// A fresh folder for a library that opens its files by narrow names: on
// Windows those go through the system's code page, which loses every letter
// it lacks, so the folder's whole path is plain ASCII. Made in the user's
// temporary folder when its path is ASCII, else in one of the system's;
// removed with all it holds when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // False when no candidate folder would take a new folder.
    bool IsOk() const { return !m_strPath.empty(); }
    // ASCII: the same bytes in UTF-8 and in any code page.
    const std::string& GetPath() const { return m_strPath; }
    std::string PathOf(const std::string& strName) const;

    // Where a scratch folder may be made, most wanted first; some may have
    // other letters or not exist.
    static std::vector<wxString> Candidates();
    static bool IsPlainAscii(const wxString& str);

private:
    std::string m_strPath;
};

}  // namespace archive

#endif
