#ifndef VARID_CLI_SUMMARYWORKBOOK_H
#define VARID_CLI_SUMMARYWORKBOOK_H

#include <string>

class ArchiveSummary;

// A summary as an Excel workbook: the sheet "Summary" with a row per archive,
// the sheet "Skipped" with the files that could not be read, and a sheet per
// serial number with that instrument's calibrations in date order and two
// charts of its final values, dead time and Keff, over the date. Column names
// are the summary's English ones; what the panel reads as a number is a
// number, dates are dates.
class SummaryWorkbook {
public:
    // Into strFile (a narrow, plain ASCII path), the library's temporary files
    // in strScratch. False when the library fails.
    static bool Write(const ArchiveSummary& summary, const std::string& strFile,
                      const std::string& strScratch);
};

#endif
