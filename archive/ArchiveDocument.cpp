#include "archive/ArchiveDocument.h"

namespace archive {

bool IsTickedText(const wxString& text) {
    return !(text.empty() || text == "0" || text == "f" || text == "false");
}
std::string FoldToAscii(const wxString&) { return std::string(); }
std::string FormatArchive(const Contents&, int) { return std::string(); }
bool WriteArchiveFile(const wxString&, const Contents&, int) { return false; }
bool ReadArchiveText(const std::string&, int, Contents&, wxString&) { return false; }
LoadStatus ReadArchiveFile(const wxString&, int, Contents&, wxString&) {
    return LoadStatus::kNoFile;
}
void LoadArchiveRows(const TiXmlElement*, int, GridTable&) {}
void LoadArchiveCell(const TiXmlNode*, const char*, int, int, GridTable&) {}

}  // namespace archive
