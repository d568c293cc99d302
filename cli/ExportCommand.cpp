#include "cli/ExportCommand.h"

#include <wx/intl.h>

#include "archive/ArchiveDocument.h"
#include "calc/CalibrationFit.h"
#include "calc/Calculator.h"
#include "cli/ArchiveSummary.h"
#include "cli/ConsoleStream.h"
#include "cli/SummaryProgress.h"
#include "grid/CalibrationRun.h"
#include "grid/GridData.h"
#include "report/CsvExport.h"
#include "report/ExportFile.h"

#ifndef VARID_VERSION
#define VARID_VERSION "unknown"
#endif

using panel::Contents;

namespace {

const char kName[] = "varid-export";

wxString Usage() {
    return wxString::Format(
        _("Usage: %s ARCHIVE.xml [--recount] [--fit] [-o FILE]\n"
          "       %s --summary PATH... [--recount] [-o FILE]\n"
          "Writes the data of an archive as CSV (UTF-8, comma-separated, decimal\n"
          "points) to standard output or to FILE.\n"
          "\n"
          "  --recount          recompute Count, and Set when the archive holds a Set,\n"
          "                     from the archived points, ticks, T and manual values;\n"
          "                     export the recomputed values and list on standard error\n"
          "                     every value that differs from the archived one\n"
          "  --fit              Count, then fit the five values to every complete row;\n"
          "                     the manual values and rows become the fit's, and its\n"
          "                     values, uncertainties and residual follow as records\n"
          "  --summary PATH...  one row per archive instead: each PATH is an archive\n"
          "                     or a folder searched through for *.xml files; files\n"
          "                     that cannot be read are listed with their reason\n"
          "  -o, --output FILE  write to FILE instead of standard output\n"
          "  --help             show this help and exit\n"
          "  --version          show the version and exit\n"
          "\n"
          "Exit status: 0 success; 1 Count, Set or the fit refused or failed; 2 a\n"
          "file that cannot be read or written or is no archive, or wrong usage; 3 the\n"
          "recount found differences; 4 a summary skipped files it could not read.\n"),
        kName, kName);
}

// Kept apart from the usage above, whose translations stand as they are.
wxString WorkbookNote() {
    return _(
        "\n"
        "A FILE whose name ends in .xlsx gets an Excel workbook instead: the same\n"
        "records on the sheets \"Calibration\" and \"Points\", labelled in the\n"
        "interface language, numbers as numbers.\n");
}

}  // namespace

void ExportCommand::Print(FILE* pFile, const wxString& str) const {
    ConsoleStream::Write(pFile, str);
}

void ExportCommand::Fail(const wxString& strMessage) const {
    Print(m_pErr, wxString(kName) + ": " + strMessage + "\n");
}

int ExportCommand::FailUsage(const wxString& strMessage) const {
    Fail(strMessage);
    Print(m_pErr, wxString::Format(_("Try \"%s --help\" for more information."), kName) + "\n");
    return kBadFile;
}

int ExportCommand::Run(const std::vector<wxString>& vecArgs) {
    bool bRecount = false;
    bool bFit = false;
    bool bSummary = false;
    bool bOptions = true;
    wxString strOutput;
    std::vector<wxString> vecFiles;
    for (size_t i = 0; i < vecArgs.size(); ++i) {
        const wxString& strArg = vecArgs[i];
        if (!bOptions || strArg == "-" || !strArg.StartsWith("-")) {
            vecFiles.push_back(strArg);
        } else if (strArg == "--") {
            bOptions = false;
        } else if (strArg == "--help" || strArg == "-h") {
            Print(m_pOut, Usage() + WorkbookNote());
            return kOk;
        } else if (strArg == "--version") {
            Print(m_pOut, wxString::Format("%s %s\n", kName, VARID_VERSION));
            return kOk;
        } else if (strArg == "--recount") {
            bRecount = true;
        } else if (strArg == "--fit") {
            bFit = true;
        } else if (strArg == "--summary") {
            bSummary = true;
        } else if (strArg == "-o" || strArg == "--output") {
            if (i + 1 >= vecArgs.size())
                return FailUsage(wxString::Format(_("option %s needs a file name"), strArg));
            strOutput = vecArgs[++i];
        } else if (strArg.StartsWith("--output=", &strOutput)) {
            // the file name is what follows the "="
        } else {
            return FailUsage(wxString::Format(_("unknown option %s"), strArg));
        }
    }
    if (bSummary) {
        if (bFit) return FailUsage(_("--fit does not go with --summary"));
        if (vecFiles.empty()) return FailUsage(_("--summary needs at least one archive or folder"));
        return RunSummary(vecFiles, bRecount, strOutput);
    }
    if (vecFiles.size() != 1) return FailUsage(_("exactly one archive must be given"));

    const wxString& strPath = vecFiles[0];
    Contents contents;
    int nMode = 0;
    wxString strError;
    switch (archive::ReadArchiveFileOfAnyMode(strPath, contents, nMode, strError)) {
        case archive::LoadStatus::kNoFile:
            Fail(wxString::Format(_("Cann't load file %s!"), strPath));
            return kBadFile;
        case archive::LoadStatus::kFailed:
            Fail(strError);
            return kBadFile;
        case archive::LoadStatus::kLoaded:
            break;
    }

    int nStatus = kOk;
    if (bRecount) {
        const Contents stored = contents;
        if (!Recount(contents, nMode, strError)) {
            if (!strError.empty()) Fail(strError);
            return kRefused;
        }
        for (const wxString& strLine : ListDifferences(stored, contents)) {
            Print(m_pErr, strLine + "\n");
            nStatus = kDifferent;
        }
    }

    CalibrationFit fit;
    if (bFit) {
        bool bCounted = false;
        if (!CountAndFit(contents, nMode, fit, strError, &bCounted)) {
            if (!strError.empty()) Fail(strError);
            return kRefused;
        }
        // After the engine's own message: the CSV is complete all the same.
        if (!bCounted)
            Fail(
                _("The Count failed, so the result values are the archived ones; the fit was "
                  "made without it."));
    }

    const CalibrationFit* pFit = bFit ? &fit : nullptr;
    if (strOutput.empty())
        return WriteToStandardOutput(CsvExport::Format(contents, nMode, pFit))
                   ? nStatus
                   : static_cast<int>(kBadFile);
    if (!ExportFile::Write(strOutput, ExportFile::FormatOf(strOutput, ExportFile::Format::kCsv),
                           contents, nMode, pFit)) {
        Fail(wxString::Format(_("Cannot write the file %s!"), strOutput));
        return kBadFile;
    }
    return nStatus;
}

bool ExportCommand::WriteToStandardOutput(const std::string& text) {
    if (ConsoleStream::WriteUtf8(m_pOut, text)) return true;
    Fail(_("Cannot write to standard output"));
    return false;
}

int ExportCommand::RunSummary(const std::vector<wxString>& vecPaths, bool bRecount,
                              const wxString& strOutput) {
    std::vector<wxString> vecFiles;
    wxString strMissing;
    if (!ArchiveSummary::FindFiles(vecPaths, vecFiles, strMissing)) {
        Fail(wxString::Format(_("No such file or folder: %s"), strMissing));
        return kBadFile;
    }
    ArchiveSummary summary(bRecount);
    SummaryProgress progress(m_pErr);
    summary.Run(vecFiles, [&progress](size_t nDone, size_t nTotal) {
        progress.Show(nDone, nTotal);
        return true;
    });
    progress.Finish();
    if (strOutput.empty()) {
        if (!WriteToStandardOutput(summary.FormatCsv())) return kBadFile;
    } else if (!summary.WriteFile(strOutput)) {
        Fail(wxString::Format(_("Cannot write the file %s!"), strOutput));
        return kBadFile;
    }
    return summary.GetSkipped().empty() ? kOk : kSkipped;
}

bool ExportCommand::Recount(Contents& contents, int nProgramMode, wxString& strError) {
    const Contents stored = contents;
    // Readings are converted to periods by the archive's mode.
    Calculator calculator;
    calculator.UseProgramMode(nProgramMode);
    CalibrationRun run(calculator);
    const int nChosen = GridData::CountChosenRows(contents.table);
    if (run.Count(contents, nChosen) != CalibrationRun::Outcome::kDone) {
        strError = run.GetError();
        return false;
    }
    if (GridData::ShowsResults(stored.manualTable)) {
        // The Set is made with the values it was made with, not with what
        // the Count would have put into empty boxes.
        for (const panel::ResultBox& r : panel::kResultBoxes)
            contents.boxes[r.manual] = stored.boxes[r.manual];
        if (run.Set(contents, nChosen) != CalibrationRun::Outcome::kDone) {
            strError = run.GetError();
            return false;
        }
    }
    return true;
}

bool ExportCommand::CountAndFit(Contents& contents, int nProgramMode, CalibrationFit& fit,
                                wxString& strError, bool* pbCounted) {
    // Readings are converted to periods by the archive's mode.
    Calculator calculator;
    calculator.UseProgramMode(nProgramMode);
    CalibrationRun run(calculator);
    const int nChosen = GridData::CountChosenRows(contents.table);
    // As the Fit button: Count's input checks must pass, its K3 search need
    // not; a failed Count leaves the result boxes as they were.
    const CalibrationRun::Outcome counted = run.Count(contents, nChosen);
    if (pbCounted) *pbCounted = counted == CalibrationRun::Outcome::kDone;
    if (counted == CalibrationRun::Outcome::kRefused ||
        run.Fit(contents, nChosen, fit) != CalibrationRun::Outcome::kDone) {
        strError = run.GetError();
        return false;
    }
    return true;
}

std::vector<wxString> ExportCommand::ListDifferences(const Contents& stored,
                                                     const Contents& recounted) {
    std::vector<wxString> vecLines;
    auto differ = [&](const wxString& strName, const wxString& strOld, const wxString& strNew) {
        if (strOld != strNew)
            vecLines.push_back(wxString::Format(_("%s: archived \"%s\", recounted \"%s\""), strName,
                                                strOld, strNew));
    };
    // Named as in the CSV schema.
    for (int i = 0; i < panel::kBoxes; ++i)
        differ(CsvExport::BoxName(static_cast<panel::Box>(i)), stored.boxes[i], recounted.boxes[i]);
    for (int r = 0; r < panel::kRows; ++r)
        for (int c = 0; c < panel::kCols; ++c)
            differ(wxString::Format("Row %d %s", r + 1, CsvExport::ColumnName(c)),
                   stored.table[r][c], recounted.table[r][c]);
    for (int r = 0; r < panel::kRows; ++r)
        for (int c = 0; c < panel::kCols; ++c)
            differ(wxString::Format("Row %d Manual%s", r + 1, CsvExport::ColumnName(c)),
                   stored.manualTable[r][c], recounted.manualTable[r][c]);
    return vecLines;
}
