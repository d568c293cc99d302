#ifndef VARID_ARCHIVE_SAFEFILE_H
#define VARID_ARCHIVE_SAFEFILE_H

#include <string>

#include <wx/string.h>

namespace archive {

// The safe replacement of any file the program writes (archives, CSV, the
// last session): a temporary file beside strPath, renamed over it only when
// all was written. False leaves any earlier file untouched and, given
// pstrReason, puts there the system's reason ("No such file or directory",
// "Not a directory", ...).
bool WriteFileReplacing(const wxString& strPath, const std::string& text,
                        wxString* pstrReason = nullptr);

}  // namespace archive

#endif
