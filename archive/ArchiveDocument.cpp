#include "archive/ArchiveDocument.h"

#include <initializer_list>

#include <tinyxml.h>
#include <wx/file.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>

#include "archive/SafeFile.h"

namespace archive {

using panel::kBoxes;
using panel::kRows;

namespace {

// Archives are text files: their lines end as the platform's text files do.
#ifdef __WINDOWS__
const char kLineBreak[] = "\r\n";
#else
const char kLineBreak[] = "\n";
#endif

const char* FirstReadingName(int nProgramMode) { return nProgramMode == 0 ? "Fl" : "T1"; }
const char* SecondReadingName(int nProgramMode) { return nProgramMode == 0 ? "Fr" : "T2"; }

// Every element carries exactly one text child, so an empty value prints as a
// start tag followed by its end tag.
void AppendText(TiXmlElement* pParent, const char* szName, const std::string& strValue) {
    TiXmlElement* pElement = new TiXmlElement(szName);
    pElement->LinkEndChild(new TiXmlText(strValue));
    pParent->LinkEndChild(pElement);
}

TiXmlElement* BuildTable(const char* szName, const GridTable& table, int nProgramMode) {
    TiXmlElement* pTable = new TiXmlElement(szName);
    for (const auto& row : table) {
        TiXmlElement* pRow = new TiXmlElement("Row");
        AppendText(pRow, "ChooseValue", panel::IsTickedText(row[0]) ? "1" : "");
        AppendText(pRow, "RealP", FoldToAscii(row[1]));
        AppendText(pRow, FirstReadingName(nProgramMode), FoldToAscii(row[2]));
        AppendText(pRow, SecondReadingName(nProgramMode), FoldToAscii(row[3]));
        AppendText(pRow, "CorrectP", FoldToAscii(row[4]));
        AppendText(pRow, "Accuracy", FoldToAscii(row[5]));
        pTable->LinkEndChild(pRow);
    }
    return pTable;
}

wxString TextOf(const TiXmlElement* pElement) {
    const char* szText = pElement->GetText();
    return szText ? wxString::FromUTF8(szText) : wxString();
}

// A grid's or box's value as the condensing read gives it, with the blanks a
// second read would condense condensed already (the library drops a stray
// "&" and leaves the blanks around it), so that what is read is what the
// next read of the written file gives.
wxString CondensedTextOf(const TiXmlElement* pElement) {
    const wxString str = TextOf(pElement);
    if (str.find(wxT("  ")) == wxString::npos && !str.StartsWith(wxT(" ")) &&
        !str.EndsWith(wxT(" ")))
        return str;
    wxString out;
    for (wxUniChar ch : str) {
        if (ch == ' ' && (out.empty() || out.Last() == ' ')) continue;
        out += ch;
    }
    if (out.EndsWith(wxT(" "))) out.RemoveLast();
    return out;
}

wxString WrongFormat() { return _("Wrong format file"); }

// The record's texts go as UTF-8: folded, every Cyrillic name would be "_".
// The library writes line breaks as character references, and reads them
// back, even where it condenses blanks.
TiXmlElement* BuildDetails(const CalibrationDetails& details) {
    TiXmlElement* pDetails = new TiXmlElement("Details");
    for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields())
        AppendText(pDetails, info.pszName, details.Get(info.field).utf8_string());
    return pDetails;
}

// The XML library steps over a UTF-8 sequence by the length its lead byte
// announces, also when the text ends inside it, and then reads on: a truncated
// sequence at the end would make it read past the buffer. Zeros behind the
// terminator stop it there.
constexpr size_t kParsePadding = 8;

// The element's own text when its tags stand in the document just once, so
// that they can only be the element's: the second parse then reads just that.
std::string DetailsText(const std::string& strText) {
    const size_t nStart = strText.find("<Details");
    const size_t nEnd = strText.find("</Details>");
    const bool bOnce = nStart != std::string::npos && nEnd != std::string::npos && nStart < nEnd &&
                       strText.find("<Details", nStart + 1) == std::string::npos &&
                       strText.find("</Details>", nEnd + 1) == std::string::npos;
    const char chAfter = bOnce ? strText[nStart + 8] : '\0';
    if (!bOnce || !(chAfter == '>' || chAfter == ' ' || chAfter == '\t' || chAfter == '\n'))
        return strText;
    // Zeros behind it, as behind every text the library parses here.
    return strText.substr(nStart, nEnd + 10 - nStart) + std::string(kParsePadding, '\0');
}

// The library condenses runs of blanks by default, which the grids' and
// boxes' values have always been read with; the record's texts must come
// back exactly, so they are read from a second parse that keeps every blank.
// Another document's item fields never stay with this one's data; the
// laboratory fields it does not name keep their values.
void ReadDetails(const TiXmlElement* pArchive, const std::string& strText,
                 CalibrationDetails& details) {
    details.ClearItemFields();
    if (!pArchive->FirstChildElement("Details")) return;
    const std::string strDetails = DetailsText(strText);
    TiXmlBase::SetCondenseWhiteSpace(false);
    TiXmlDocument doc;
    doc.Parse(strDetails.c_str(), nullptr, TIXML_ENCODING_UTF8);
    TiXmlBase::SetCondenseWhiteSpace(true);
    const TiXmlElement* pDetails = doc.FirstChildElement("Details");
    if (!pDetails)
        if (const TiXmlElement* pExact = doc.FirstChildElement("Archive"))
            pDetails = pExact->FirstChildElement("Details");
    if (!pDetails) return;
    for (const CalibrationDetails::FieldInfo& info : CalibrationDetails::Fields()) {
        if (const TiXmlElement* pField = pDetails->FirstChildElement(info.pszName))
            details.Set(info.field, TextOf(pField));
    }
}

// The same line-end folding the XML library applies when it loads a file
// itself, so a file read from memory parses exactly as one read from disk.
std::string NormaliseLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size() + kParsePadding);
    for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    out.append(kParsePadding, '\0');
    return out;
}

// Why a read failed: its code and its message.
struct Failure {
    ReadFailure code;
    wxString strMessage;
};

// The document parsed once, whatever mode its rows are then read in.
struct Parsed {
    std::string strText;  // with normalised line ends, for the record's second parse
    TiXmlDocument doc;
};

// The walkers throw the format failure as its message alone.
void WalkDocument(const Parsed& parsed, int nProgramMode, Contents& work) {
    const TiXmlElement* pArchive = parsed.doc.FirstChildElement("Archive");
    if (!pArchive) throw WrongFormat();
    const TiXmlElement* pTable = pArchive->FirstChildElement("Table");
    if (!pTable) throw WrongFormat();
    LoadArchiveRows(pTable, nProgramMode, work.table);
    if (const TiXmlElement* pManual = pArchive->FirstChildElement("ManualTable"))
        LoadArchiveRows(pManual, nProgramMode, work.manualTable);
    const TiXmlElement* pCoefficients = pArchive->FirstChildElement("Coefficients");
    if (!pCoefficients) throw WrongFormat();
    for (int i = 0; i < kBoxes; ++i) {
        if (const TiXmlElement* pBox = pCoefficients->FirstChildElement(
                panel::ArchiveName(static_cast<panel::Box>(i)).c_str()))
            work.boxes[i] = CondensedTextOf(pBox);
    }
    ReadDetails(pArchive, parsed.strText, work.details);
}

bool Fail(const Failure& failure, wxString& strError, ReadFailure* pFailure) {
    strError = failure.strMessage;
    if (pFailure) *pFailure = failure.code;
    return false;
}

// Parses the text once and reads it in the first of the modes that reads it
// whole; a failure reports the first mode's message.
bool ReadTextInModes(const std::string& text, const wxString& strSource,
                     std::initializer_list<int> modes, Contents& io, int& nModeRead,
                     wxString& strError, ReadFailure* pFailure) {
    Parsed parsed;
    parsed.strText = NormaliseLineEnds(text);
    parsed.doc.Parse(parsed.strText.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (parsed.doc.Error())
        return Fail({parsed.doc.ErrorId() == TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY
                         ? ReadFailure::kEmpty
                         : ReadFailure::kBrokenXml,
                     wxString::Format(_("Cann't load file %s!"), strSource)},
                    strError, pFailure);
    wxString strFirstError;
    for (int nMode : modes) {
        Contents work = io;
        try {
            WalkDocument(parsed, nMode, work);
        } catch (const wxString& strMessage) {
            if (strFirstError.empty()) strFirstError = strMessage;
            continue;
        }
        io = work;
        nModeRead = nMode;
        if (pFailure) *pFailure = ReadFailure::kNone;
        return true;
    }
    return Fail({ReadFailure::kNotArchive, strFirstError}, strError, pFailure);
}

}  // namespace

std::string FoldToAscii(const wxString& text) {
    std::string out;
    out.reserve(text.length());
    for (wxUniChar ch : text) {
        wxUint32 code = ch.GetValue();
        if (code < 0x80)
            out += static_cast<char>(code);
        else if (code > 0xFFFF)
            out += "__";  // a surrogate pair: two units
        else
            out += '_';
    }
    return out;
}

std::string FormatArchive(const Contents& contents, int nProgramMode) {
    TiXmlDocument doc;
    doc.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
    TiXmlElement* pArchive = new TiXmlElement("Archive");
    doc.LinkEndChild(pArchive);
    pArchive->LinkEndChild(BuildTable("Table", contents.table, nProgramMode));
    pArchive->LinkEndChild(BuildTable("ManualTable", contents.manualTable, nProgramMode));
    TiXmlElement* pCoefficients = new TiXmlElement("Coefficients");
    for (int i = 0; i < kBoxes; ++i)
        AppendText(pCoefficients, panel::ArchiveName(static_cast<panel::Box>(i)).c_str(),
                   FoldToAscii(contents.boxes[i]));
    pArchive->LinkEndChild(pCoefficients);
    pArchive->LinkEndChild(BuildDetails(contents.details));

    TiXmlPrinter printer;
    printer.SetIndent("    ");
    printer.SetLineBreak(kLineBreak);
    doc.Accept(&printer);
    return printer.Str();
}

bool WriteArchiveFile(const wxString& strPath, const Contents& contents, int nProgramMode,
                      wxString* pstrReason) {
    return WriteFileReplacing(strPath, FormatArchive(contents, nProgramMode), pstrReason);
}

const char* FailureCode(ReadFailure failure) {
    switch (failure) {
        case ReadFailure::kBrokenXml:
            return "broken-xml";
        case ReadFailure::kNotArchive:
            return "not-archive";
        case ReadFailure::kEmpty:
            return "empty";
        case ReadFailure::kTooLarge:
            return "too-large";
        case ReadFailure::kUnreadable:
            return "unreadable";
        case ReadFailure::kNone:
            break;
    }
    return "";
}

bool ReadArchiveText(const std::string& text, const wxString& strSource, int nProgramMode,
                     Contents& io, wxString& strError, ReadFailure* pFailure) {
    int nModeRead = 0;
    return ReadTextInModes(text, strSource, {nProgramMode}, io, nModeRead, strError, pFailure);
}

namespace {

// The whole file, refused unread above the size limit.
LoadStatus ReadFileText(const wxString& strPath, std::string& text, wxString& strError,
                        ReadFailure* pFailure) {
    if (!wxFileExists(strPath)) return LoadStatus::kNoFile;
    wxLogNull noLog;
    wxFile file;
    bool bRead = file.Open(strPath);
    if (bRead) {
        const wxFileOffset nLength = file.Length();
        if (nLength > kMaxArchiveBytes) {
            Fail({ReadFailure::kTooLarge,
                  wxString::Format(
                      _("The file %s is larger than 16 MiB: it is not an archive of this program."),
                      strPath)},
                 strError, pFailure);
            return LoadStatus::kFailed;
        }
        bRead = nLength >= 0;
        if (bRead) {
            text.resize(static_cast<size_t>(nLength));
            bRead = text.empty() ||
                    file.Read(&text[0], text.size()) == static_cast<ssize_t>(text.size());
        }
    }
    if (!bRead) {
        Fail({ReadFailure::kUnreadable, wxString::Format(_("Cann't load file %s!"), strPath)},
             strError, pFailure);
        return LoadStatus::kFailed;
    }
    return LoadStatus::kLoaded;
}

LoadStatus ReadFileInModes(const wxString& strPath, std::initializer_list<int> modes, Contents& io,
                           int& nModeRead, wxString& strError, ReadFailure* pFailure) {
    std::string text;
    const LoadStatus status = ReadFileText(strPath, text, strError, pFailure);
    if (status != LoadStatus::kLoaded) return status;
    return ReadTextInModes(text, strPath, modes, io, nModeRead, strError, pFailure)
               ? LoadStatus::kLoaded
               : LoadStatus::kFailed;
}

}  // namespace

LoadStatus ReadArchiveFile(const wxString& strPath, int nProgramMode, Contents& io,
                           wxString& strError, ReadFailure* pFailure) {
    int nModeRead = 0;
    return ReadFileInModes(strPath, {nProgramMode}, io, nModeRead, strError, pFailure);
}

LoadStatus ReadArchiveFileOfAnyMode(const wxString& strPath, Contents& io, int& nProgramMode,
                                    wxString& strError, ReadFailure* pFailure) {
    // A document of the other mode fails at its first row in mode 0 and reads
    // in mode 1; anything else fails in both, with mode 0's message.
    return ReadFileInModes(strPath, {0, 1}, io, nProgramMode, strError, pFailure);
}

void LoadArchiveRows(const TiXmlElement* pTable, int nProgramMode, GridTable& table) {
    // Every child node is a row, whatever its name or kind.
    int nRow = 0;
    for (const TiXmlNode* pRow = pTable->FirstChild(); pRow && nRow < kRows;
         pRow = pRow->NextSibling(), ++nRow) {
        LoadArchiveCell(pRow, "ChooseValue", nRow, 0, table);
        LoadArchiveCell(pRow, "RealP", nRow, 1, table);
        LoadArchiveCell(pRow, FirstReadingName(nProgramMode), nRow, 2, table);
        const char* const optional[] = {SecondReadingName(nProgramMode), "CorrectP", "Accuracy"};
        for (int i = 0; i < 3; ++i) {
            if (pRow->FirstChildElement(optional[i]))
                LoadArchiveCell(pRow, optional[i], nRow, 3 + i, table);
        }
    }
}

void LoadArchiveCell(const TiXmlNode* pRow, const char* szName, int nRow, int nCol,
                     GridTable& table) {
    const TiXmlElement* pCell = pRow->FirstChildElement(szName);
    if (!pCell) throw WrongFormat();
    table[nRow][nCol] = CondensedTextOf(pCell);
}

}  // namespace archive
