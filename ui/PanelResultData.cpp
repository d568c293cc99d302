// The panel's data in and out: paste from spreadsheets, export as a workbook
// or CSV. The rules live in ClipboardBlock and ExportFile, the grids'
// clipboard and keys in GridClipboardHandler; these members only move texts
// between them and the widgets.
#include <wx/datetime.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/dirdlg.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/translation.h>

#include "app/Globals.h"
#include "cli/ArchiveSummary.h"
#include "grid/ClipboardBlock.h"
#include "report/ExportFile.h"
#include "ui/ErrorBox.h"
#include "ui/GridClipboardHandler.h"
#include "ui/PanelResult.h"

void PanelResult::FinishCellEdit() {
    for (wxGrid* pGrid : {m_pGrid, m_pManualGrid})
        if (pGrid->IsCellEditControlEnabled()) pGrid->DisableCellEditControl();
}

bool PanelResult::PasteText(const wxString& strText) {
    const ClipboardBlock block(strText);
    if (block.IsEmpty()) return false;
    Snapshot undo = TakeSnapshot();
    const GridClipboardHandler::CellBox box = GridClipboardHandler::SelectionOf(m_pGrid);
    panel::Contents contents = undo.contents;
    // Column 3 locked by a Count of single readings stays empty.
    const bool bLocked = m_pGrid->IsReadOnly(0, GridData::kSecondReadingCol);
    const ClipboardBlock::Outcome outcome =
        block.ApplyTo(contents.table, box.nTop, box.nLeft, bLocked);
    if (outcome.bTooManyTicks) {
        ShowErrorBox(_("Choose wrong quantity values for calculate"));
        return false;
    }

    if (outcome.nWritten > 0) {
        // A paste is an edit of the grid: the notice of an earlier action goes.
        DismissNotice();
        DropFit();
        ShowContents(contents);
        m_nChosenCount = CountChosenRows();
        m_pGrid->ForceRefresh();
    }

    // Nothing is dropped without a word.
    wxString strLeftOut;
    if (outcome.nOutside > 0)
        strLeftOut += wxString::Format(
            wxPLURAL("%d cell lies outside the grid and was left out.",
                     "%d cells lie outside the grid and were left out.", outcome.nOutside),
            outcome.nOutside);
    if (outcome.nLocked > 0) {
        if (!strLeftOut.empty()) strLeftOut += wxT("\n");
        strLeftOut += wxString::Format(
            wxPLURAL("%d cell was left out: column %s is locked for single readings.",
                     "%d cells were left out: column %s is locked for single readings.",
                     outcome.nLocked),
            outcome.nLocked, m_pGrid->GetColLabelValue(GridData::kSecondReadingCol));
    }
    if (!strLeftOut.empty()) wxMessageBox(strLeftOut, _("Paste"), wxOK | wxICON_WARNING);

    if (outcome.nWritten == 0) return false;
    NotifyChanged();
    OfferUndo(std::move(undo), _("Cells were pasted."));
    return true;
}

wxString PanelResult::ChooseExportPath(const wxString& strTitle, const wxString& strName) {
    using Format = ExportFile::Format;
    // The workbook first: spreadsheets in any locale read its numbers.
    const Format formats[] = {Format::kWorkbook, Format::kCsv};
    const wxString strWildcard =
        _("Excel workbook (*.xlsx)") + wxT("|*.xlsx|") + _("CSV file (*.csv)") + wxT("|*.csv");
    wxFileDialog dialog(this, strTitle, g_strXmlFile, strName, strWildcard,
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return wxString();
    const int nType = dialog.GetFilterIndex();
    const Format format = ExportFile::FormatOf(dialog.GetPath(), formats[nType == 1 ? 1 : 0]);
    const wxString strPath = ExportFile::WithExtension(dialog.GetPath(), format);
    // The dialog asked about the name as typed, not about the one completed.
    if (strPath != dialog.GetPath() && wxFileExists(strPath) &&
        wxMessageBox(wxString::Format(_("The file %s already exists. Replace it?"), strPath),
                     _("Export"), wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION, this) != wxYES)
        return wxString();
    return strPath;
}

void PanelResult::Export() {
    const wxString strPath =
        ChooseExportPath(_("Choose the file to export to"),
                         wxDateTime::Now().Format(_("Varid_%Y_%m_%d_%H_%M_%S")) + wxT(".xlsx"));
    if (strPath.empty()) return;
    // The archive directory stays where Save put it.
    if (!ExportFile::Write(strPath, ExportFile::FormatOf(strPath, ExportFile::Format::kCsv),
                           CollectContents(), g_nProgramMode, GetFit()))
        ShowErrorBox(wxString::Format(_("Cannot write the file %s!"), strPath));
}

void PanelResult::ExportSummary() {
    const wxString strDir = wxDirSelector(_("Choose the folder of archives to summarise"),
                                          g_strXmlFile, 0, wxDefaultPosition, this);
    if (strDir.empty()) return;
    const wxString strPath =
        ChooseExportPath(_("Choose the file to write the summary to"),
                         wxDateTime::Now().Format(_("Varid_summary_%Y_%m_%d.xlsx")));
    if (strPath.empty()) return;
    WriteSummary(strDir, strPath);
}

bool PanelResult::WriteSummary(const wxString& strDir, const wxString& strPath) {
    std::vector<wxString> vecFiles;
    wxString strMissing;
    if (!ArchiveSummary::FindFiles({strDir}, vecFiles, strMissing)) {
        ShowErrorBox(wxString::Format(_("No such file or folder: %s"), strMissing));
        return false;
    }
    ArchiveSummary summary(false);
    bool bDone = true;
    {
        wxProgressDialog progress(
            _("Summary of a folder"),
            wxString::Format(_("Reading %d archives..."), static_cast<int>(vecFiles.size())),
            std::max<int>(1, static_cast<int>(vecFiles.size())), this,
            wxPD_APP_MODAL | wxPD_CAN_ABORT | wxPD_AUTO_HIDE | wxPD_ELAPSED_TIME |
                wxPD_REMAINING_TIME);
        bDone = summary.Run(vecFiles, [&progress](size_t nDone, size_t) {
            return progress.Update(static_cast<int>(nDone));
        });
    }
    if (!bDone) return false;
    if (!summary.WriteFile(strPath)) {
        ShowErrorBox(wxString::Format(_("Cannot write the file %s!"), strPath));
        return false;
    }
    const int nRows = static_cast<int>(summary.GetRows().size());
    const int nSkipped = static_cast<int>(summary.GetSkipped().size());
    wxString strText =
        wxString::Format(wxPLURAL("The summary of %d archive was written to %s.",
                                  "The summary of %d archives was written to %s.", nRows),
                         nRows, strPath);
    if (nSkipped > 0)
        strText +=
            wxT(" ") +
            wxString::Format(wxPLURAL("%d file could not be read: see \"Skipped\".",
                                      "%d files could not be read: see \"Skipped\".", nSkipped),
                             nSkipped);
    ShowNotice(strText, _("OK"), [] {});
    return true;
}
