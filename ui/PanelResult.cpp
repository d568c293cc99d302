#include "ui/PanelResult.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/filefn.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/intl.h>
#include <wx/xrc/xmlres.h>

#include "app/Globals.h"
#include "archive/ArchiveDocument.h"
#include "calc/RootAdvice.h"
#include "grid/ResultFormat.h"
#include "ui/DetailsDialog.h"
#include "ui/ErrorBox.h"
#include "ui/GridClipboardHandler.h"
#include "ui/NoticeBar.h"

wxDEFINE_EVENT(EVT_PANEL_CHANGED, wxCommandEvent);
wxDEFINE_EVENT(EVT_PROGRAM_MODE_RESTORE, wxCommandEvent);

namespace {

const int kRows = panel::kRows;
const int kCols = panel::kCols;
const int kCheckCol = GridData::kCheckCol;
const int kRealPCol = GridData::kRealPCol;
const int kFirstReadingCol = GridData::kFirstReadingCol;
const int kSecondReadingCol = GridData::kSecondReadingCol;
const int kCorrectionCol = GridData::kCorrectionCol;
const int kAccuracyCol = GridData::kAccuracyCol;
const int kMinColumnWidth = 90;
const int kRowLabelWidth = 36;
const int kMinRowHeight = 22;  // the check box
// Room left and right of a column label, and of a box label.
const int kLabelMargin = 8;
const int kBoxLabelIndent = 8;

}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(PanelResult, wxPanel)
    EVT_GRID_CELL_CHANGED(PanelResult::OnGridCellChange)
    EVT_BUTTON(XRCID("ID_BT_CHANGE_VALUE"), PanelResult::OnChangeValue)
    EVT_BUTTON(XRCID("ID_DETAILS"), PanelResult::OnDetails)
    EVT_TEXT(XRCID("ID_T"), PanelResult::OnTextT)
    EVT_TEXT(XRCID("ID_MANUAL_DEAD_TIME"), PanelResult::OnTextManual)
    EVT_TEXT(XRCID("ID_MANUAL_REGISTRATION"), PanelResult::OnTextManual)
    EVT_TEXT(XRCID("ID_MANUAL_K1"), PanelResult::OnTextManual)
    EVT_TEXT(XRCID("ID_MANUAL_K2"), PanelResult::OnTextManual)
    EVT_TEXT(XRCID("ID_MANUAL_K3"), PanelResult::OnTextManual)
wxEND_EVENT_TABLE();
// clang-format on

PanelResult::PanelResult(wxWindow* pParent, const CalibrationDetails& lab)
    : wxPanel(),
      m_pGrid(nullptr),
      m_pManualGrid(nullptr),
      m_pGridTable(nullptr),
      m_calculator(),
      m_run(m_calculator),
      m_pTextRegistration(nullptr),
      m_pTextDeadTime(nullptr),
      m_pTextT(nullptr),
      m_pTextK1(nullptr),
      m_pTextK2(nullptr),
      m_pTextK3(nullptr),
      m_pTextManualDeadTime(nullptr),
      m_pTextManualRegistration(nullptr),
      m_pTextManualK1(nullptr),
      m_pTextManualK2(nullptr),
      m_pTextManualK3(nullptr),
      m_pBtChangeValue(nullptr),
      m_nChosenCount(0),
      m_pNotice(nullptr) {
    wxXmlResource::Get()->LoadPanel(this, pParent, wxT("ID_PANEL_RESULT"));

    m_pTextRegistration = XRCCTRL(*this, "ID_REGISTRATION", wxTextCtrl);
    m_pTextDeadTime = XRCCTRL(*this, "ID_DEAD_TIME", wxTextCtrl);
    m_pTextT = XRCCTRL(*this, "ID_T", wxTextCtrl);
    m_pTextK1 = XRCCTRL(*this, "ID_K1", wxTextCtrl);
    m_pTextK2 = XRCCTRL(*this, "ID_K2", wxTextCtrl);
    m_pTextK3 = XRCCTRL(*this, "ID_K3", wxTextCtrl);
    m_pTextManualRegistration = XRCCTRL(*this, "ID_MANUAL_REGISTRATION", wxTextCtrl);
    m_pTextManualK1 = XRCCTRL(*this, "ID_MANUAL_K1", wxTextCtrl);
    m_pTextManualK2 = XRCCTRL(*this, "ID_MANUAL_K2", wxTextCtrl);
    m_pTextManualK3 = XRCCTRL(*this, "ID_MANUAL_K3", wxTextCtrl);
    m_pTextManualDeadTime = XRCCTRL(*this, "ID_MANUAL_DEAD_TIME", wxTextCtrl);
    m_pBtChangeValue = XRCCTRL(*this, "ID_BT_CHANGE_VALUE", wxButton);
    m_pTextDetailsSummary = XRCCTRL(*this, "ID_DETAILS_SUMMARY", wxStaticText);
    m_details.TakeLaboratoryFields(lab);
    m_arrLabelU = {XRCCTRL(*this, "ID_MANUAL_DEAD_TIME_U", wxStaticText),
                   XRCCTRL(*this, "ID_MANUAL_REGISTRATION_U", wxStaticText),
                   XRCCTRL(*this, "ID_MANUAL_K1_U", wxStaticText),
                   XRCCTRL(*this, "ID_MANUAL_K2_U", wxStaticText),
                   XRCCTRL(*this, "ID_MANUAL_K3_U", wxStaticText)};
    for (wxStaticText* pLabel : m_arrLabelU) {
        pLabel->SetFont(pLabel->GetFont().Smaller());
        // A line's height from the start, empty as it is: the label is never
        // cut, and the boxes stay where they are when a fit's U appears.
        pLabel->SetMinSize(wxSize(-1, pLabel->GetTextExtent(wxT("\u00B1 0.0")).y));
    }

    m_pTextRegistration->SetEditable(false);
    m_pTextDeadTime->SetEditable(false);
    m_pTextK1->SetEditable(false);
    m_pTextK2->SetEditable(false);
    m_pTextK3->SetEditable(false);

    m_nChosenCount = 0;

    InitGrid();
    InitManualGrid();
    // Key events do not travel up the window tree: each grid gets its own
    // clipboard handler.
    m_pGrid->PushEventHandler(new GridClipboardHandler(m_pGrid, this, true));
    m_pManualGrid->PushEventHandler(new GridClipboardHandler(m_pManualGrid, this, false));
    FitColumnsToLabels();
    if (GetSizer()) FitBoxesToLabels(GetSizer());
    m_pNotice = new NoticeBar(this);
    wxXmlResource::Get()->AttachUnknownControl(wxT("ID_NOTICE"), m_pNotice, this);
    m_pNotice->Dismiss();
    m_pUndo = std::make_unique<UndoOffer>(
        m_pNotice, [this](const Snapshot& snapshot) { RestoreSnapshot(snapshot); });

    ShowDetailsSummary();
    LoadLastSession();
}

PanelResult::~PanelResult() {
    m_pGrid->PopEventHandler(true);
    m_pManualGrid->PopEventHandler(true);
}

void PanelResult::InitGrid() {
    m_pGrid =
        new wxGrid(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS, wxT("grid"));
    wxXmlResource::Get()->AttachUnknownControl(wxT("ID_GRID"), m_pGrid, this);
    m_pGrid->CreateGrid(kRows, kCols, wxGrid::wxGridSelectCells);

    m_pGrid->SetColLabelValue(kCheckCol, wxEmptyString);
    m_pGrid->SetColLabelValue(kRealPCol, _("Real P0"));
    UpdateColumnLabels();
    m_pGrid->SetColLabelValue(kCorrectionCol, _("Correction P0"));
    m_pGrid->SetColLabelValue(kAccuracyCol, _("Accuracy"));

    FormatGrid(m_pGrid);

    for (int nRow = 0; nRow < kRows; ++nRow) {
        m_pGrid->SetCellValue(nRow, kCheckCol, wxEmptyString);
        m_pGrid->SetCellEditor(nRow, kCheckCol, new wxGridCellBoolEditor);
        m_pGrid->SetCellValue(nRow, kRealPCol, wxEmptyString);
        m_pGrid->SetCellValue(nRow, kFirstReadingCol, wxEmptyString);
        m_pGrid->SetCellValue(nRow, kSecondReadingCol, wxEmptyString);
        m_pGrid->SetReadOnly(nRow, kCorrectionCol);
        m_pGrid->SetReadOnly(nRow, kAccuracyCol);
    }

    m_pGridTable = m_pGrid->GetTable();
}

void PanelResult::InitManualGrid() {
    m_pManualGrid =
        new wxGrid(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS, wxT("grid"));
    wxXmlResource::Get()->AttachUnknownControl(wxT("ID_MANUAL_GRID"), m_pManualGrid, this);
    m_pManualGrid->CreateGrid(kRows, kCols, wxGrid::wxGridSelectCells);

    FormatGrid(m_pManualGrid);
    m_pManualGrid->SetColLabelSize(0);

    for (int nRow = 0; nRow < kRows; ++nRow) {
        for (int nCol = 0; nCol < kCols; ++nCol) {
            m_pManualGrid->SetCellValue(nRow, nCol, wxEmptyString);
            m_pManualGrid->SetReadOnly(nRow, nCol);
        }
    }
}

void PanelResult::FormatGrid(wxGrid* pGrid) {
    pGrid->SetColSize(kCheckCol, 25);
    pGrid->SetColMinimalWidth(kCheckCol, 25);
    for (int nCol = 1; nCol < kCols; ++nCol) {
        pGrid->SetColSize(nCol, kMinColumnWidth);
        pGrid->SetColMinimalWidth(nCol, kMinColumnWidth);
    }
    // Row numbers up to 11 need far less than the toolkit's default, and a
    // row no more than its text: all 22 rows show without scrolling.
    pGrid->SetRowLabelSize(kRowLabelWidth);
    pGrid->SetDefaultRowSize(std::max(kMinRowHeight, pGrid->GetCharHeight() + 6), true);
    pGrid->ForceRefresh();
    pGrid->SetColFormatBool(kCheckCol);
    pGrid->SetGridLineColour(*wxBLACK);
    pGrid->SetMargins(0, 0);
}

void PanelResult::FitColumnsToLabels() {
    // A column is at least as wide as its label in the label font, so every
    // header reads in full in every language; the manual grid, which shows no
    // labels, keeps the same widths to stand under the measurement grid.
    wxClientDC dc(m_pGrid->GetGridColLabelWindow());
    dc.SetFont(m_pGrid->GetLabelFont());
    for (int nCol = kRealPCol; nCol < kCols; ++nCol) {
        const int nLabel = dc.GetTextExtent(m_pGrid->GetColLabelValue(nCol)).x + 2 * kLabelMargin;
        const int nWidth = std::max(kMinColumnWidth, nLabel);
        for (wxGrid* pGrid : {m_pGrid, m_pManualGrid}) {
            pGrid->SetColMinimalWidth(nCol, nWidth);
            pGrid->SetColSize(nCol, nWidth);
            pGrid->InvalidateBestSize();
        }
    }
}

void PanelResult::FitBoxesToLabels(wxSizer* pSizer) {
    // The toolkit sizes a labelled box by its content alone before it is
    // shown, so a long label (as in some translations) would be cut.
    if (wxStaticBoxSizer* pBoxSizer = wxDynamicCast(pSizer, wxStaticBoxSizer)) {
        wxStaticBox* pBox = pBoxSizer->GetStaticBox();
        const int nWidth = pBox->GetTextExtent(pBox->GetLabel()).x + 2 * kBoxLabelIndent;
        pBoxSizer->SetMinSize(wxSize(nWidth, 0));
        m_vecBoxes.push_back(pBox);
    }
    for (wxSizerItem* pItem : pSizer->GetChildren())
        if (pItem->IsSizer()) FitBoxesToLabels(pItem->GetSizer());
}

bool PanelResult::Layout() {
    // Once shown, GTK reports a box holding controls as needing the room it
    // has now, so the boxes would never shrink again with the window; their
    // label and content decide (the box sizers' minimum sizes).
    for (wxStaticBox* pBox : m_vecBoxes) pBox->CacheBestSize(wxSize(1, 1));
    return wxPanel::Layout();
}

void PanelResult::UpdateColumnLabels() {
    if (g_nProgramMode == 0) {
        m_pGrid->SetColLabelValue(kFirstReadingCol, _("Fl"));
        m_pGrid->SetColLabelValue(kSecondReadingCol, _("Fr"));
    } else {
        m_pGrid->SetColLabelValue(kFirstReadingCol, _("T1"));
        m_pGrid->SetColLabelValue(kSecondReadingCol, _("T2"));
    }
}

void PanelResult::OnGridCellChange(wxGridEvent& event) {
    // Only the measurement grid's tick column feeds the count; the manual grid
    // is read-only and has nothing to count.
    if (event.GetCol() == kCheckCol && event.GetEventObject() == m_pGrid) {
        const int nRow = event.GetRow();
        if (IsCellChecked(nRow, kCheckCol)) {
            if (m_nChosenCount == 4) {
                ShowErrorBox(_("Choose wrong quantity values for calculate"));
                m_pGridTable->SetValue(nRow, kCheckCol, wxEmptyString);
                m_pGrid->ForceRefresh();
            } else {
                ++m_nChosenCount;
            }
        } else {
            --m_nChosenCount;
        }
    }
    if (event.GetEventObject() == m_pGrid) {
        DismissNotice();
        // The fit described the rows as they were.
        DropFit();
        NotifyChanged();
    }
    event.Skip();
}

void PanelResult::OnTextT(wxCommandEvent& event) {
    DismissNotice();
    event.Skip();
}

void PanelResult::OnTextManual(wxCommandEvent& event) {
    const bool bHadFit = m_pFit != nullptr;
    DropFit();
    // The plot's band goes with the fit.
    if (bHadFit) NotifyChanged();
    event.Skip();
}

void PanelResult::DropFit() {
    m_pFit.reset();
    for (wxStaticText* pLabel : m_arrLabelU)
        if (pLabel && !pLabel->GetLabel().empty()) pLabel->SetLabel(wxEmptyString);
}

void PanelResult::NotifyChanged() {
    wxCommandEvent event(EVT_PANEL_CHANGED, GetId());
    event.SetEventObject(this);
    ProcessWindowEvent(event);
}

void PanelResult::ShowNotice(const wxString& strText, const wxString& strButton,
                             std::function<void()> fnAction, NoticeBar::NoticeId nId) {
    m_pNotice->ShowNotice(nId, strText, strButton, std::move(fnAction));
}

void PanelResult::DismissNotice() { m_pNotice->Dismiss(); }

PanelResult::Snapshot PanelResult::TakeSnapshot() {
    Snapshot snapshot;
    snapshot.contents = CollectContents();
    snapshot.nProgramMode = g_nProgramMode;
    return snapshot;
}

void PanelResult::RestoreSnapshot(const Snapshot& snapshot) {
    if (snapshot.nProgramMode != g_nProgramMode) {
        wxCommandEvent event(EVT_PROGRAM_MODE_RESTORE, GetId());
        event.SetEventObject(this);
        event.SetInt(snapshot.nProgramMode);
        ProcessWindowEvent(event);
    }
    UpdateColumnLabels();
    ApplyContents(snapshot.contents);
    // The engine holds nothing that the restored texts came from; the next
    // Count or Set refills it from the grid.
    m_calculator.Clear();
    NotifyChanged();
}

int PanelResult::CountChosenRows() { return GridData::CountChosenRows(CollectContents().table); }

bool PanelResult::IsCellChecked(int nRow, int nCol) {
    return panel::IsTickedText(m_pGridTable->GetValue(nRow, nCol));
}

bool PanelResult::IsCellChecked(int nRow, int nCol, wxGrid* pGrid) {
    return panel::IsTickedText(pGrid->GetCellValue(nRow, nCol));
}

bool PanelResult::GetCellDouble(int nRow, int nCol, double& dOut) {
    return GridData::ReadNumber(m_pGridTable->GetValue(nRow, nCol), dOut);
}

void PanelResult::OnChangeValue(wxCommandEvent& WXUNUSED(event)) { SetManualValues(); }

void PanelResult::OnDetails(wxCommandEvent& WXUNUSED(event)) { EditDetails(); }

bool PanelResult::EditDetails() {
    FinishCellEdit();
    DetailsDialog dlg(this, m_details);
    if (dlg.ShowModal() != wxID_OK || dlg.GetDetails() == m_details) return false;
    // An edit like any other: the notice of an earlier action goes.
    DismissNotice();
    m_details = dlg.GetDetails();
    ShowDetailsSummary();
    // The reference's uncertainty is part of Keff's.
    if (m_pFit) ShowFitUncertainties(UncertaintyStatement(CollectContents(), m_pFit.get()));
    NotifyChanged();
    return true;
}

void PanelResult::ShowFitUncertainties(const UncertaintyStatement& statement) {
    // Each value's U from its budget; none without one.
    const CalibrationBudget* pBudget = statement.GetBudget();
    for (int j = 0; j < CalibrationFit::kValues; ++j)
        m_arrLabelU[j]->SetLabel(pBudget ? wxT("\u00B1 ") +
                                               ResultFormat::FormatUncertainty(
                                                   pBudget->GetValueBudgets()[j].GetExpanded())
                                         : wxString());
    Layout();
}

void PanelResult::ShowDetailsSummary() {
    if (!m_pTextDetailsSummary) return;
    const wxString str = m_details.Summary();
    if (m_pTextDetailsSummary->GetLabel() == str) return;
    m_pTextDetailsSummary->SetLabel(str);
    m_pTextDetailsSummary->SetToolTip(str);
}

bool PanelResult::IsTFilled() { return !m_pTextT->GetValue().empty(); }

void PanelResult::Count() {
    DismissNotice();
    panel::Contents contents = CollectContents();
    const CalibrationRun::Outcome outcome = m_run.Count(contents, m_nChosenCount);
    if (outcome == CalibrationRun::Outcome::kDone) DropFit();
    if (ShowRun(contents, outcome)) OfferBetterRoot();
}

void PanelResult::Fit() {
    DismissNotice();
    Snapshot before = TakeSnapshot();
    panel::Contents contents = CollectContents();
    auto pFit = std::make_unique<CalibrationFit>();
    const CalibrationFit& fit = *pFit;
    // Filling the manual boxes takes any earlier fit and labels away; the
    // new ones come after.
    if (!ShowRun(contents, m_run.Fit(contents, m_nChosenCount, *pFit))) return;
    const UncertaintyStatement statement(contents, pFit.get());
    m_pFit = std::move(pFit);
    ShowFitUncertainties(statement);
    // Now with the fit, for the plot's band.
    NotifyChanged();
    OfferUndo(
        std::move(before),
        // The text holds a character beyond ASCII: read as UTF-8, not by the
        // locale the program runs in.
        wxString::Format(wxGetTranslation(wxString::FromUTF8(
                             wxTRANSLATE("Fit over %d rows: residual %s %%, %d degrees of freedom. "
                                         "\u00B1 are 95 %% intervals."))),
                         fit.GetRows(), ResultFormat::FormatUncertainty(fit.GetResidualPercent()),
                         fit.GetDegreesOfFreedom()) +
            wxT(" ") + statement.DescribeBudget());
}

void PanelResult::OfferBetterRoot() {
    // Dead time and Keff as the Count shows them, which is how "Try it" puts
    // them into the manual boxes.
    const wxString strKeff = m_pTextRegistration->GetValue();
    const wxString strDT = m_pTextDeadTime->GetValue();
    double dKeff = 0, dDT = 0;
    strKeff.ToDouble(&dKeff);
    strDT.ToDouble(&dDT);
    RootAdvice advice;
    if (!advice.Find(m_calculator, m_run.GetGridData().m_vecGridChoose, dDT, dKeff)) return;

    const wxString strText = wxString::Format(
        _("K3 = %s also fits the four calibration points and fits the other rows better "
          "(largest deviation %s %% instead of %s %%)."),
        ResultFormat::FormatCoefficient(advice.m_dK3),
        ResultFormat::FormatAccuracy(advice.m_dRootDeviation),
        ResultFormat::FormatAccuracy(advice.m_dCountDeviation));
    ShowNotice(
        strText, _("Try it"),
        [this, advice, strKeff, strDT]() {
            m_pTextManualRegistration->SetValue(strKeff);
            m_pTextManualDeadTime->SetValue(strDT);
            m_pTextManualK1->SetValue(ResultFormat::FormatCoefficient(advice.m_dK1));
            m_pTextManualK2->SetValue(ResultFormat::FormatCoefficient(advice.m_dK2));
            m_pTextManualK3->SetValue(ResultFormat::FormatCoefficient(advice.m_dK3));
            SetManualValues();
        },
        NoticeBar::kNoticeBetterRoot);
}

bool PanelResult::ReadGridData() {
    panel::Contents contents = CollectContents();
    const bool bRead = m_run.ReadGrid(contents);
    ShowContents(contents);
    if (!bRead) ShowErrorBox(m_run.GetError());
    return bRead;
}

bool PanelResult::ShowRun(const panel::Contents& contents, CalibrationRun::Outcome outcome) {
    ShowContents(contents);
    if (outcome == CalibrationRun::Outcome::kRefused) ShowErrorBox(m_run.GetError());
    if (outcome != CalibrationRun::Outcome::kDone) return false;
    NotifyChanged();
    return true;
}

void PanelResult::ShowContents(const panel::Contents& contents) {
    // A reading that found no second readings has emptied column 3; the
    // column then stays locked for the life of the panel.
    if (m_run.IsSingleValueColumn()) {
        for (int nRow = 0; nRow < kRows; ++nRow) m_pGrid->SetReadOnly(nRow, kSecondReadingCol);
    }
    // Only what changed is written, so no box sends a needless change event.
    const panel::Contents shown = CollectContents();
    for (int nRow = 0; nRow < kRows; ++nRow) {
        for (int nCol = 0; nCol < kCols; ++nCol) {
            if (contents.table[nRow][nCol] != shown.table[nRow][nCol])
                m_pGrid->SetCellValue(nRow, nCol, contents.table[nRow][nCol]);
            if (contents.manualTable[nRow][nCol] != shown.manualTable[nRow][nCol])
                m_pManualGrid->SetCellValue(nRow, nCol, contents.manualTable[nRow][nCol]);
        }
    }
    const auto boxes = Boxes();
    for (int i = 0; i < panel::kBoxes; ++i) {
        if (contents.boxes[i] != shown.boxes[i]) boxes[i]->SetValue(contents.boxes[i]);
    }
    if (m_run.IsSingleValueColumn()) m_pGrid->ForceRefresh();
}

std::array<wxTextCtrl*, panel::kBoxes> PanelResult::Boxes() const {
    // In the order of panel::Box.
    return {m_pTextT,        m_pTextRegistration, m_pTextDeadTime,       m_pTextK1,
            m_pTextK2,       m_pTextK3,           m_pTextManualDeadTime, m_pTextManualRegistration,
            m_pTextManualK1, m_pTextManualK2,     m_pTextManualK3};
}

wxString PanelResult::FormatCorrection(double v) { return ResultFormat::FormatCorrection(v); }

void PanelResult::SetManualValues() {
    DismissNotice();
    panel::Contents contents = CollectContents();
    ShowRun(contents, m_run.Set(contents, m_nChosenCount));
}

void PanelResult::Clear() {
    DismissNotice();
    DropFit();
    m_strArchiveFile.clear();
    m_nChosenCount = 0;
    m_pTextT->SetValue(wxEmptyString);
    m_pTextRegistration->SetValue(wxEmptyString);
    m_pTextDeadTime->SetValue(wxEmptyString);
    m_pTextK1->SetValue(wxEmptyString);
    m_pTextK2->SetValue(wxEmptyString);
    m_pTextK3->SetValue(wxEmptyString);
    m_pGridTable->Clear();
    m_calculator.Clear();
    m_pGrid->ForceRefresh();
    m_pTextManualRegistration->SetValue(wxEmptyString);
    m_pTextManualK1->SetValue(wxEmptyString);
    m_pTextManualK2->SetValue(wxEmptyString);
    m_pTextManualK3->SetValue(wxEmptyString);
    m_pTextManualDeadTime->SetValue(wxEmptyString);
    m_pManualGrid->GetTable()->Clear();
    m_pManualGrid->ForceRefresh();
    m_details.ClearItemFields();
    ShowDetailsSummary();
    NotifyChanged();
}

void PanelResult::ChangeProgramMode() {
    UpdateColumnLabels();
    Clear();
    m_pGrid->ForceRefresh();
}
