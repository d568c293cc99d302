#include "cli/ArchiveSummary.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include "archive/SafeFile.h"
#include "calc/ErrorReport.h"
#include "cli/ExportCommand.h"
#include "cli/SummaryWorkbook.h"
#include "grid/GridData.h"
#include "report/CsvExport.h"
#include "report/ExportFile.h"
#include "report/WorkbookExport.h"

using F = CalibrationDetails::Field;

namespace {

const size_t kMaxSheetName = 31;

// The recount's own messages are what its row says; the engine's are kept
// from any window while the summary runs.
void RecordEngineMessage(const wxString&) {}

struct EngineMessagesRecorded {
    EngineMessagesRecorded() : previous(SetErrorReportHandler(RecordEngineMessage)) {}
    ~EngineMessagesRecorded() { SetErrorReportHandler(previous); }
    ErrorReportHandler previous;
};

// Absolute, so a row names its file wherever the summary is read.
wxString Absolute(const wxString& strPath) {
    wxFileName name(strPath);
    name.MakeAbsolute();
    return name.GetFullPath();
}

void FindBelow(const wxString& strDir, std::vector<wxString>& vecFiles) {
    wxDir dir(strDir);
    if (!dir.IsOpened()) return;
    std::vector<wxString> vecNames, vecDirs;
    wxString strName;
    for (bool b = dir.GetFirst(&strName, wxEmptyString, wxDIR_FILES | wxDIR_DIRS | wxDIR_HIDDEN); b;
         b = dir.GetNext(&strName)) {
        const wxString strPath = strDir + wxFILE_SEP_PATH + strName;
        // A folder named "x.xml" is searched like any folder.
        if (wxDirExists(strPath))
            vecDirs.push_back(strPath);
        else if (strName.Lower().EndsWith(wxT(".xml")))
            vecNames.push_back(strPath);
    }
    std::sort(vecNames.begin(), vecNames.end());
    std::sort(vecDirs.begin(), vecDirs.end());
    vecFiles.insert(vecFiles.end(), vecNames.begin(), vecNames.end());
    for (const wxString& strSub : vecDirs) FindBelow(strSub, vecFiles);
}

// The largest deviation of the final set, as its grid shows it: the manual
// grid once Set was used, else the measurement grid, over its complete rows.
wxString MaxAbsAccuracy(const panel::Contents& c, const GridData& grid) {
    const panel::GridTable& table = GridData::FinalTable(c);
    double dMax = -1;
    wxString strMax;
    for (int nRow : grid.m_vecGridRow) {
        const wxString& str = table[nRow][GridData::kAccuracyCol];
        double d = 0;
        if (!GridData::ReadNumber(str, d) || !std::isfinite(d) || std::fabs(d) <= dMax) continue;
        dMax = std::fabs(d);
        // The grid's own digits, without the sign.
        strMax = str.StartsWith(wxT("-")) ? str.Mid(1) : str;
    }
    return strMax;
}

}  // namespace

const std::vector<std::string>& ArchiveSummary::ColumnNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v = {"Path", "Modified", "Mode"};
        for (int i = 0; i < CalibrationDetails::kItemFields; ++i)
            v.push_back(CalibrationDetails::InfoOf(static_cast<F>(i)).pszName);
        v.push_back(CalibrationDetails::InfoOf(F::kOperator).pszName);
        v.push_back(CsvExport::BoxName(panel::kBoxT));
        for (const panel::ResultBox& r : panel::kResultBoxes)
            v.push_back(CsvExport::BoxName(r.result));
        for (const panel::ResultBox& r : panel::kResultBoxes)
            v.push_back(CsvExport::BoxName(r.manual));
        v.push_back("CompleteRows");
        v.push_back("MaxAbsAccuracyPercent");
        v.push_back("Recount");
        return v;
    }();
    return names;
}

bool ArchiveSummary::FindFiles(const std::vector<wxString>& vecPaths,
                               std::vector<wxString>& vecFiles, wxString& strMissing) {
    for (const wxString& strPath : vecPaths) {
        if (wxDirExists(strPath)) {
            FindBelow(Absolute(strPath), vecFiles);
        } else if (wxFileExists(strPath)) {
            vecFiles.push_back(Absolute(strPath));
        } else {
            strMissing = strPath;
            return false;
        }
    }
    return true;
}

bool ArchiveSummary::Run(const std::vector<wxString>& vecFiles, const Progress& fnProgress) {
    const EngineMessagesRecorded recorded;
    for (size_t i = 0; i < vecFiles.size(); ++i) {
        Add(vecFiles[i]);
        if (fnProgress && !fnProgress(i + 1, vecFiles.size())) return false;
    }
    return true;
}

void ArchiveSummary::Add(const wxString& strPath) {
    panel::Contents c;
    int nMode = 0;
    wxString strError;
    archive::ReadFailure reason = archive::ReadFailure::kNone;
    const archive::LoadStatus status =
        archive::ReadArchiveFileOfAnyMode(strPath, c, nMode, strError, &reason);
    if (status != archive::LoadStatus::kLoaded) {
        // A file gone since the search cannot be read either.
        m_vecSkipped.push_back({strPath, status == archive::LoadStatus::kNoFile
                                             ? archive::ReadFailure::kUnreadable
                                             : reason});
        return;
    }

    Row row;
    const CalibrationDetails& d = c.details;
    const wxDateTime modified = wxFileName(strPath).GetModificationTime();
    row.vecFields.push_back(strPath);
    row.vecFields.push_back(modified.IsValid() ? modified.FormatISOCombined() : wxString());
    row.vecFields.push_back(CsvExport::ModeName(nMode));
    for (int i = 0; i < CalibrationDetails::kItemFields; ++i)
        row.vecFields.push_back(d.Get(static_cast<F>(i)));
    row.vecFields.push_back(d.Get(F::kOperator));
    row.vecFields.push_back(c.boxes[panel::kBoxT]);
    for (const panel::ResultBox& r : panel::kResultBoxes)
        row.vecFields.push_back(c.boxes[r.result]);
    for (const panel::ResultBox& r : panel::kResultBoxes)
        row.vecFields.push_back(c.boxes[r.manual]);
    GridData grid;
    grid.Read(c.table, !GridData::IsSecondColumnInUse(c.table));
    row.vecFields.push_back(
        wxString::Format(wxT("%d"), static_cast<int>(grid.m_vecGridRow.size())));
    row.vecFields.push_back(MaxAbsAccuracy(c, grid));
    wxString strRecount;
    if (m_bRecount) {
        panel::Contents recounted = c;
        wxString strRefusal;
        if (!ExportCommand::Recount(recounted, nMode, strRefusal))
            strRecount = wxT("refused");
        else
            strRecount = ExportCommand::ListDifferences(c, recounted).empty() ? wxT("agrees")
                                                                              : wxT("differs");
    }
    row.vecFields.push_back(strRecount);

    row.strSerial = d.Get(F::kSerialNumber);
    wxDateTime date;
    const wxString& strDate = d.Get(F::kCalibrationDate);
    row.date = CalibrationDetails::IsDate(strDate) && date.ParseISODate(strDate) ? date : modified;
    // The final set: the manual values once Set was used, else the Count's.
    const bool bManual = GridData::ShowsResults(c.manualTable);
    const panel::ResultBox& dt = panel::kResultBoxes[panel::kResultDeadTime];
    const panel::ResultBox& keff = panel::kResultBoxes[panel::kResultKeff];
    row.strDeadTime = c.boxes[bManual ? dt.manual : dt.result];
    row.strKeff = c.boxes[bManual ? keff.manual : keff.result];
    m_vecRows.push_back(std::move(row));
}

std::string ArchiveSummary::FormatCsv() const {
    const size_t nWidth = ColumnNames().size();
    std::string out = CsvExport::kByteOrderMark;
    out += CsvExport::Join(ColumnNames(), nWidth);
    for (const Row& row : m_vecRows) {
        std::vector<std::string> fields;
        for (const wxString& str : row.vecFields) fields.push_back(str.utf8_string());
        out += CsvExport::Join(fields, nWidth);
    }
    out += CsvExport::Join({"Skipped", "Reason"}, nWidth);
    for (const Skipped& s : m_vecSkipped)
        out += CsvExport::Join({s.strPath.utf8_string(), archive::FailureCode(s.reason)}, nWidth);
    return out;
}

bool ArchiveSummary::WriteFile(const wxString& strPath) const {
    if (ExportFile::FormatOf(strPath, ExportFile::Format::kCsv) == ExportFile::Format::kCsv)
        return archive::WriteFileReplacing(strPath, FormatCsv());
    return WorkbookExport::PlaceWorkbook(
        strPath, [this](const std::string& strFile, const std::string& strScratch) {
            return SummaryWorkbook::Write(*this, strFile, strScratch);
        });
}

std::vector<std::vector<size_t>> ArchiveSummary::HistoryBySerial() const {
    std::map<wxString, std::vector<size_t>> bySerial;
    std::vector<wxString> vecOrder;  // serials in order of their first archive
    for (size_t i = 0; i < m_vecRows.size(); ++i) {
        const wxString& strSerial = m_vecRows[i].strSerial;
        if (strSerial.empty()) continue;
        auto& vec = bySerial[strSerial];
        if (vec.empty()) vecOrder.push_back(strSerial);
        vec.push_back(i);
    }
    std::vector<std::vector<size_t>> out;
    for (const wxString& strSerial : vecOrder) {
        std::vector<size_t> vec = bySerial[strSerial];
        std::stable_sort(vec.begin(), vec.end(), [this](size_t a, size_t b) {
            const wxDateTime &da = m_vecRows[a].date, &db = m_vecRows[b].date;
            if (!da.IsValid() || !db.IsValid()) return da.IsValid() && !db.IsValid();
            return da < db;
        });
        out.push_back(std::move(vec));
    }
    return out;
}

namespace {

// Case folded without the C library's locale, which knows no Cyrillic in the
// "C" locale the command runs in: the letters of the languages in use.
wxString Folded(const wxString& str) {
    wxString out;
    for (wxUniChar ch : str) {
        wxUint32 c = ch.GetValue();
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
            (c >= 0x391 && c <= 0x3A9) || (c >= 0x410 && c <= 0x42F))
            c += 0x20;
        else if (c >= 0x400 && c <= 0x40F)
            c += 0x50;
        else if (c >= 0x460 && c <= 0x4FF && c % 2 == 0)
            c += 1;
        out += wxUniChar(c);
    }
    return out;
}

}  // namespace

std::vector<wxString> ArchiveSummary::SheetNames(const std::vector<wxString>& vecSerials,
                                                 const std::vector<wxString>& vecTaken) {
    std::vector<wxString> vecLower;
    for (const wxString& str : vecTaken) vecLower.push_back(Folded(str));
    auto taken = [&vecLower](const wxString& str) {
        return std::find(vecLower.begin(), vecLower.end(), Folded(str)) != vecLower.end();
    };
    std::vector<wxString> out;
    for (const wxString& strSerial : vecSerials) {
        wxString strBase;
        for (wxUniChar ch : strSerial)
            strBase += wxString(wxT("[]:*?/\\")).Find(ch) != wxNOT_FOUND ? wxUniChar('_') : ch;
        // The spreadsheet refuses an apostrophe at either end of a name.
        if (strBase.StartsWith(wxT("'"))) strBase[0] = '_';
        if (strBase.EndsWith(wxT("'"))) strBase[strBase.length() - 1] = '_';
        if (strBase.length() > kMaxSheetName) strBase.Truncate(kMaxSheetName);
        wxString strName = strBase;
        for (int n = 2; taken(strName); ++n) {
            const wxString strSuffix = wxString::Format(wxT(" (%d)"), n);
            strName = strBase.Left(kMaxSheetName - strSuffix.length()) + strSuffix;
        }
        out.push_back(strName);
        vecLower.push_back(Folded(strName));
    }
    return out;
}
