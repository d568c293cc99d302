#ifndef VARID_ARCHIVE_ARCHIVEDOCUMENT_H
#define VARID_ARCHIVE_ARCHIVEDOCUMENT_H

#include <string>

#include <wx/string.h>

#include "grid/PanelContents.h"

class TiXmlElement;
class TiXmlNode;

// The archive document without any window: what the panel shows, written
// and read back. The root "Archive" holds "Table" and "ManualTable" (eleven
// "Row" elements each), "Coefficients" (the eleven boxes) and, after them,
// "Details": the calibration's record, one child per field named as
// CalibrationDetails names them. The grids' and boxes' values are folded to
// ASCII; the record's texts are written as UTF-8 and read back exactly, line
// breaks and runs of blanks included. Earlier builds ignore "Details". A file
// without it, or without some of its item fields, empties those item fields;
// the laboratory fields it lacks keep their values.
namespace archive {

using panel::Contents;
using panel::GridTable;

// Every character above U+007F becomes one "_" per UTF-16 unit.
std::string FoldToAscii(const wxString& text);

// The printed document (declaration, four-space indentation, "\n" line ends).
std::string FormatArchive(const Contents& contents, int nProgramMode);

// Writes to a temporary file beside strPath and renames it over strPath only
// when everything was written; false leaves any earlier file untouched and,
// given pstrReason, puts there the system's reason ("No such file or
// directory", "Not a directory", ...).
bool WriteArchiveFile(const wxString& strPath, const Contents& contents, int nProgramMode,
                      wxString* pstrReason = nullptr);

// Why a file is no readable archive, beside the message, for tools that sort
// files by it.
enum class ReadFailure { kNone, kBrokenXml, kNotArchive, kEmpty, kTooLarge, kUnreadable };
// "broken-xml", "not-archive", "empty", "too-large", "unreadable"; "" for kNone.
const char* FailureCode(ReadFailure failure);

// Reads a whole document (strSource names it in the load failure message).
// On failure returns false with the translated message (and the reason in
// pFailure when given) and leaves io exactly as it was; on success every
// value the document lacks keeps io's value.
bool ReadArchiveText(const std::string& text, const wxString& strSource, int nProgramMode,
                     Contents& io, wxString& strError, ReadFailure* pFailure = nullptr);

enum class LoadStatus { kNoFile, kLoaded, kFailed };

// No archive of this program comes near this size; a larger file is refused
// before it is read, so that a stray huge file cannot take the memory.
constexpr long long kMaxArchiveBytes = 16LL * 1024 * 1024;

// kNoFile (nothing changed) when strPath names no file or a directory; a
// file above kMaxArchiveBytes fails without being read.
LoadStatus ReadArchiveFile(const wxString& strPath, int nProgramMode, Contents& io,
                           wxString& strError, ReadFailure* pFailure = nullptr);

// For readers that do not know the mode (the export command): the document's
// own row element names decide it, Fl/Fr giving 0 and T1/T2 giving 1. On
// success nProgramMode holds the mode; a failure reports the message a read in
// mode 0 gives.
LoadStatus ReadArchiveFileOfAnyMode(const wxString& strPath, Contents& io, int& nProgramMode,
                                    wxString& strError, ReadFailure* pFailure = nullptr);

// The tree walkers; both throw the translated failure message as a wxString.
void LoadArchiveRows(const TiXmlElement* pTable, int nProgramMode, GridTable& table);
void LoadArchiveCell(const TiXmlNode* pRow, const char* szName, int nRow, int nCol,
                     GridTable& table);

}  // namespace archive

#endif
