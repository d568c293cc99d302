#include "ui/PanelResult.h"

#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/xrc/xmlres.h>

#include "app/Globals.h"
#include "archive/ArchiveDocument.h"
#include "grid/ResultFormat.h"
#include "ui/ErrorBox.h"
#include "ui/NoticeBar.h"

wxDEFINE_EVENT(EVT_PANEL_CHANGED, wxCommandEvent);

namespace {

const int kRows = archive::kRows;
const int kCols = archive::kCols;
const int kCheckCol = GridData::kCheckCol;
const int kRealPCol = GridData::kRealPCol;
const int kFirstReadingCol = GridData::kFirstReadingCol;
const int kSecondReadingCol = GridData::kSecondReadingCol;
const int kCorrectionCol = GridData::kCorrectionCol;
const int kAccuracyCol = GridData::kAccuracyCol;

}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(PanelResult, wxPanel)
    EVT_GRID_CELL_CHANGED(PanelResult::OnGridCellChange)
    EVT_BUTTON(XRCID("ID_BT_CHANGE_VALUE"), PanelResult::OnChangeValue)
    EVT_TEXT(XRCID("ID_T"), PanelResult::OnTextT)
wxEND_EVENT_TABLE();
// clang-format on

PanelResult::PanelResult(wxWindow* pParent)
    : wxPanel(),
      m_pGrid(nullptr),
      m_pManualGrid(nullptr),
      m_pGridTable(nullptr),
      m_calculator(),
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
      m_bSingleValueColumn(false),
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

    m_pTextRegistration->SetEditable(false);
    m_pTextDeadTime->SetEditable(false);
    m_pTextK1->SetEditable(false);
    m_pTextK2->SetEditable(false);
    m_pTextK3->SetEditable(false);

    m_nChosenCount = 0;

    InitGrid();
    InitManualGrid();
    m_pNotice = new NoticeBar(this);
    wxXmlResource::Get()->AttachUnknownControl(wxT("ID_NOTICE"), m_pNotice, this);
    m_pNotice->Dismiss();

    LoadArchive(g_strXmlFile + wxFILE_SEP_PATH + wxGetTranslation(wxT("varid_last_save.xml")));
}

PanelResult::~PanelResult() {}

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
        pGrid->SetColSize(nCol, 90);
        pGrid->SetColMinimalWidth(nCol, 90);
    }
    pGrid->ForceRefresh();
    pGrid->SetColFormatBool(kCheckCol);
    pGrid->SetGridLineColour(*wxBLACK);
    pGrid->SetMargins(0, 0);
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
        NotifyChanged();
    }
    event.Skip();
}

void PanelResult::OnTextT(wxCommandEvent& event) {
    DismissNotice();
    event.Skip();
}

void PanelResult::NotifyChanged() {
    wxCommandEvent event(EVT_PANEL_CHANGED, GetId());
    event.SetEventObject(this);
    ProcessWindowEvent(event);
}

void PanelResult::ShowNotice(const wxString& strText, const wxString& strButton,
                             std::function<void()> fnAction) {
    m_pNotice->ShowNotice(strText, strButton, std::move(fnAction));
}

void PanelResult::DismissNotice() { m_pNotice->Dismiss(); }

int PanelResult::CountChosenRows() {
    int nCount = 0;
    for (int nRow = 0; nRow < kRows; ++nRow) {
        if (IsCellChecked(nRow, kCheckCol)) ++nCount;
    }
    return nCount;
}

bool PanelResult::IsCellChecked(int nRow, int nCol) {
    return archive::IsTickedText(m_pGridTable->GetValue(nRow, nCol));
}

bool PanelResult::IsCellChecked(int nRow, int nCol, wxGrid* pGrid) {
    return archive::IsTickedText(pGrid->GetCellValue(nRow, nCol));
}

bool PanelResult::GetCellDouble(int nRow, int nCol, double& dOut) {
    return GridData::ReadNumber(m_pGridTable->GetValue(nRow, nCol), dOut);
}

void PanelResult::OnChangeValue(wxCommandEvent& WXUNUSED(event)) { SetManualValues(); }

bool PanelResult::IsTFilled() { return !m_pTextT->GetValue().empty(); }

bool PanelResult::CheckInput() {
    if (m_nChosenCount != 4) {
        ShowErrorBox(_("Choose wrong quantity values for calculate"));
        return false;
    }
    if (!IsTFilled()) {
        ShowErrorBox(_("Not all edit box fill"));
        return false;
    }
    // A T that reads only partly would silently become its leading number or 0.
    double dT = 0;
    if (!GridData::ReadNumber(m_pTextT->GetValue(), dT)) {
        ShowErrorBox(_("The value T is not a number"));
        return false;
    }
    return true;
}

void PanelResult::Count() {
    DismissNotice();
    if (!CheckInput()) return;
    if (!ReadGridData()) return;
    FillCalculator();
    if (!m_calculator.Calculate()) return;
    ShowResults();
    NotifyChanged();
}

bool PanelResult::PrepareSecondValueColumn() {
    if (GridData::IsSecondColumnInUse(CollectContents().table)) {
        m_bSingleValueColumn = false;
        return false;
    }
    for (int nRow = 0; nRow < kRows; ++nRow) {
        m_pGridTable->SetValue(nRow, kSecondReadingCol, wxEmptyString);
        m_pGrid->SetReadOnly(nRow, kSecondReadingCol);
    }
    m_pGrid->ForceRefresh();
    m_bSingleValueColumn = true;
    return true;
}

bool PanelResult::ReadGridData() {
    PrepareSecondValueColumn();
    if (m_gridData.Read(CollectContents().table, m_bSingleValueColumn) != GridData::Status::kOk) {
        ShowErrorBox(_("Enter wrong data or not all data in grid"));
        return false;
    }
    return true;
}

void PanelResult::FillCalculator() {
    double dT = 0;
    m_pTextT->GetValue().ToDouble(&dT);
    m_gridData.FillCalculator(m_calculator, dT);
}

void PanelResult::ShowResults() {
    // Each result goes beside the row its point came from, even when the
    // complete rows have gaps between them.
    const std::vector<int>& vecRows = m_gridData.m_vecGridRow;
    for (size_t k = 0; k < vecRows.size(); ++k) {
        const int n = static_cast<int>(k);
        ShowRowResult(m_pGrid, vecRows[k], m_calculator.GetCorrectP(n),
                      m_calculator.GetAccuracy(n));
    }

    const wxString strKeff = ResultFormat::FormatKeff(m_calculator.GetKeff());
    const wxString strDT = ResultFormat::FormatCoefficient(m_calculator.GetDT());
    const wxString strK1 = ResultFormat::FormatCoefficient(m_calculator.GetK1());
    const wxString strK2 = ResultFormat::FormatCoefficient(m_calculator.GetK2());
    const wxString strK3 = ResultFormat::FormatCoefficient(m_calculator.GetK3());

    m_pTextRegistration->SetValue(strKeff);
    m_pTextDeadTime->SetValue(strDT);
    m_pTextK1->SetValue(strK1);
    m_pTextK2->SetValue(strK2);
    m_pTextK3->SetValue(strK3);

    if (m_pTextManualK1->GetValue().empty()) {
        m_pTextManualRegistration->SetValue(strKeff);
        m_pTextManualK1->SetValue(strK1);
        m_pTextManualK2->SetValue(strK2);
        m_pTextManualK3->SetValue(strK3);
        m_pTextManualDeadTime->SetValue(strDT);
    }
}

wxString PanelResult::FormatCorrection(double v) { return ResultFormat::FormatCorrection(v); }

void PanelResult::ShowRowResult(wxGrid* pGrid, int nRow, double dCorrectP, double dAccuracy) {
    pGrid->SetCellValue(nRow, kCorrectionCol, ResultFormat::FormatCorrection(dCorrectP));
    pGrid->SetCellValue(nRow, kAccuracyCol, ResultFormat::FormatAccuracy(dAccuracy));
}

bool PanelResult::ReadManualBox(wxTextCtrl* pBox, const char* pszLabel, double& dOut) {
    const wxString str = pBox->GetValue();
    dOut = 0;
    // An empty box stands for 0; anything else must be a number as a whole.
    if (str.empty()) return true;
    if (GridData::ReadNumber(str, dOut)) return true;
    // The label is the layout's own text, translated in the layout's catalogue.
    ShowErrorBox(wxString::Format(_("Manual value \"%s\" is not a number"),
                                  wxGetTranslation(wxString::FromUTF8(pszLabel))));
    return false;
}

void PanelResult::SetManualValues() {
    DismissNotice();
    if (!CheckInput()) return;

    // All five boxes are checked before anything in the panel or the engine
    // changes, so a typing slip costs nothing.
    double dK1 = 0, dK2 = 0, dK3 = 0, dKeff = 0, dDT = 0;
    if (!ReadManualBox(m_pTextManualK1, "K1", dK1)) return;
    if (!ReadManualBox(m_pTextManualK2, "K2", dK2)) return;
    if (!ReadManualBox(m_pTextManualK3, "K3", dK3)) return;
    if (!ReadManualBox(m_pTextManualRegistration, "Efficacy registration", dKeff)) return;
    if (!ReadManualBox(m_pTextManualDeadTime, "Dead time", dDT)) return;

    if (!ReadGridData()) return;
    FillCalculator();

    m_calculator.SetManualK1(dK1);
    m_calculator.SetManualK2(dK2);
    m_calculator.SetManualK3(dK3);
    m_calculator.SetManualKeff(dKeff);
    m_calculator.SetManualDT(dDT);
    if (!m_calculator.CalculateManual()) return;

    const std::vector<int>& vecRows = m_gridData.m_vecGridRow;
    for (size_t k = 0; k < vecRows.size(); ++k) {
        const int nRow = vecRows[k];
        for (int nCol = kCheckCol; nCol <= kSecondReadingCol; ++nCol)
            m_pManualGrid->SetCellValue(nRow, nCol, m_pGrid->GetCellValue(nRow, nCol));
        const int n = static_cast<int>(k);
        ShowRowResult(m_pManualGrid, nRow, m_calculator.GetManualCorrectP(n),
                      m_calculator.GetManualAccuracy(n));
    }
    NotifyChanged();
}

void PanelResult::Clear() {
    DismissNotice();
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
    NotifyChanged();
}

void PanelResult::ChangeProgramMode() {
    UpdateColumnLabels();
    Clear();
    m_pGrid->ForceRefresh();
}
