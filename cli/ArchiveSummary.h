#ifndef VARID_CLI_ARCHIVESUMMARY_H
#define VARID_CLI_ARCHIVESUMMARY_H

#include <functional>
#include <string>
#include <vector>

#include <wx/datetime.h>
#include <wx/string.h>

#include "archive/ArchiveDocument.h"

// Many archives at once: one row per archive with its record, its results
// and manual values, the count of its complete rows and its largest
// deviation, and the files that could not be read with their reason. The
// engine's messages of a recount go to a recorder meanwhile, never to a
// window. Each file is read, summed up and let go, so memory grows with the
// rows only.
class ArchiveSummary {
public:
    // The columns, in order: Path, Modified, Mode, the record's item fields
    // and Operator, T, the five results and the five manual values,
    // CompleteRows, MaxAbsAccuracyPercent, Recount.
    static const std::vector<std::string>& ColumnNames();

    struct Row {
        std::vector<wxString> vecFields;  // in the order of ColumnNames()
        wxString strSerial;
        // CalibrationDate when it is a date, else the file's time.
        wxDateTime date;
        // The final set's dead time and Keff as their boxes show them: the
        // manual values once Set was used, else the Count's.
        wxString strDeadTime, strKeff;
    };
    struct Skipped {
        wxString strPath;
        archive::ReadFailure reason;
    };

    // The archives below each path (a file, or a folder searched through for
    // "*.xml" files, however its folders are named), each folder's in name
    // order. False when a path names nothing; strMissing holds it.
    static bool FindFiles(const std::vector<wxString>& vecPaths, std::vector<wxString>& vecFiles,
                          wxString& strMissing);

    // With bRecount each archive is counted again as the export's recount
    // does it, and its row says "agrees", "differs" or "refused".
    explicit ArchiveSummary(bool bRecount) : m_bRecount(bRecount) {}

    // Reads every file; fnProgress is told of each one done and may stop the
    // run by returning false (then Run returns false).
    using Progress = std::function<bool(size_t nDone, size_t nTotal)>;
    bool Run(const std::vector<wxString>& vecFiles, const Progress& fnProgress = Progress());
    void Add(const wxString& strPath);

    const std::vector<Row>& GetRows() const { return m_vecRows; }
    const std::vector<Skipped>& GetSkipped() const { return m_vecSkipped; }

    // The CSV: a header record and a record per archive, then a header
    // "Skipped,Reason" and a record per skipped file, all as wide as the
    // summary's header.
    std::string FormatCsv() const;

    // The summary into a file, a workbook when its name ends in ".xlsx" and
    // CSV otherwise, through the safe writer: false leaves an earlier file
    // whole.
    bool WriteFile(const wxString& strPath) const;

    // Each serial number's archives in date order, as indexes into GetRows().
    std::vector<std::vector<size_t>> HistoryBySerial() const;
    // Sheet names for serials: each of []:*?/\ and an apostrophe at either end
    // become "_", the name is cut to 31 characters, and a name that equals an
    // earlier one but for case gets " (2)", " (3)" ... within those 31.
    static std::vector<wxString> SheetNames(const std::vector<wxString>& vecSerials,
                                            const std::vector<wxString>& vecTaken);

private:
    bool m_bRecount;
    std::vector<Row> m_vecRows;
    std::vector<Skipped> m_vecSkipped;
};

#endif
