#ifndef VARID_CLI_EXPORTCOMMAND_H
#define VARID_CLI_EXPORTCOMMAND_H

#include <cstdio>
#include <vector>

#include <wx/string.h>

#include "grid/PanelContents.h"

class CalibrationFit;

// varid-export ARCHIVE.xml [--recount] [--fit] [-o FILE]: an archive as CSV
// (to a FILE.xlsx as an Excel workbook), with --recount an audit of its
// stored results against a fresh Count (and Set), with --fit the Count and
// then the fit over every complete row.
// varid-export --summary PATH... [--recount] [-o FILE]: a summary of many
// archives, one row each.
class ExportCommand {
public:
    enum ExitStatus { kOk = 0, kRefused = 1, kBadFile = 2, kDifferent = 3, kSkipped = 4 };

    ExportCommand(FILE* pOut, FILE* pErr) : m_pOut(pOut), m_pErr(pErr) {}

    // The arguments after the program's name.
    int Run(const std::vector<wxString>& vecArgs);

    // Count from the archived points, ticks and T, then Set with the archived
    // manual values when the archive holds a Set. False when either is refused
    // or fails; the message is in strError, or already reported by the engine
    // when strError is empty. Readings are taken in nProgramMode.
    static bool Recount(panel::Contents& contents, int nProgramMode, wxString& strError);
    // What Count then Fit do in the panel: the manual boxes get the fit's set
    // and the manual grid its rows. A Count that fails in the engine (its K3
    // search, say) has reported its message and leaves the result boxes as
    // they were; the fit runs all the same, as the Fit button does. False as
    // Recount when Count's input checks or the fit refuse, or the fit fails.
    // *pbCounted, when given, says whether the Count itself was done.
    static bool CountAndFit(panel::Contents& contents, int nProgramMode, CalibrationFit& fit,
                            wxString& strError, bool* pbCounted = nullptr);
    // One line per displayed value that differs, naming it, old and new.
    static std::vector<wxString> ListDifferences(const panel::Contents& stored,
                                                 const panel::Contents& recounted);

private:
    // --summary PATH...: one row per archive below the paths.
    int RunSummary(const std::vector<wxString>& vecPaths, bool bRecount, const wxString& strOutput);
    // Standard output as UTF-8; a failure is said, and false.
    bool WriteToStandardOutput(const std::string& text);
    void Print(FILE* pFile, const wxString& str) const;
    void Fail(const wxString& strMessage) const;
    int FailUsage(const wxString& strMessage) const;

    FILE* m_pOut;
    FILE* m_pErr;
};

#endif
