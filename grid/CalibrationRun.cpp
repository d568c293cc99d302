#include "grid/CalibrationRun.h"

#include <wx/intl.h>

#include "calc/CalibrationFit.h"
#include "calc/Calculator.h"
#include "grid/ResultFormat.h"

using panel::Contents;

CalibrationRun::CalibrationRun(Calculator& calc)
    : m_calculator(calc), m_bSingleValueColumn(false) {}

bool CalibrationRun::Refuse(const wxString& strMessage) {
    m_strError = strMessage;
    return false;
}

bool CalibrationRun::CheckInput(const Contents& contents, int nChosenCount) {
    if (nChosenCount != 4) return Refuse(_("Choose wrong quantity values for calculate"));
    const wxString& strT = contents.boxes[panel::kBoxT];
    if (strT.empty()) return Refuse(_("Not all edit box fill"));
    // A T that reads only partly would silently become its leading number or 0.
    double dT = 0;
    if (!GridData::ReadNumber(strT, dT)) return Refuse(_("The value T is not a number"));
    return true;
}

bool CalibrationRun::ReadGrid(Contents& contents) {
    m_strError.clear();
    m_bSingleValueColumn = !GridData::IsSecondColumnInUse(contents.table);
    if (m_bSingleValueColumn) {
        for (auto& row : contents.table) row[GridData::kSecondReadingCol].clear();
    }
    if (!m_gridData.Read(contents.table, m_bSingleValueColumn))
        return Refuse(_("Enter wrong data or not all data in grid"));
    return true;
}

bool CalibrationRun::ReadManualBox(const wxString& str, const char* pszLabel, double& dOut) {
    dOut = 0;
    // An empty box stands for 0; anything else must be a number as a whole.
    if (str.empty()) return true;
    if (GridData::ReadNumber(str, dOut)) return true;
    // The label is the layout's own text, translated in the layout's catalogue.
    return Refuse(wxString::Format(_("Manual value \"%s\" is not a number"),
                                   wxGetTranslation(wxString::FromUTF8(pszLabel))));
}

void CalibrationRun::FillCalculator(const Contents& contents) {
    double dT = 0;
    contents.boxes[panel::kBoxT].ToDouble(&dT);
    m_gridData.FillCalculator(m_calculator, dT);
}

void CalibrationRun::WriteRowResult(panel::GridTable& table, int nRow, double dCorrectP,
                                    double dAccuracy) {
    table[nRow][GridData::kCorrectionCol] = ResultFormat::FormatCorrection(dCorrectP);
    table[nRow][GridData::kAccuracyCol] = ResultFormat::FormatAccuracy(dAccuracy);
}

CalibrationRun::Outcome CalibrationRun::Count(Contents& contents, int nChosenCount) {
    m_strError.clear();
    m_bSingleValueColumn = false;
    if (!CheckInput(contents, nChosenCount)) return Outcome::kRefused;
    if (!ReadGrid(contents)) return Outcome::kRefused;
    FillCalculator(contents);
    if (!m_calculator.Calculate()) return Outcome::kFailed;

    // Each result goes beside the row its point came from, even when the
    // complete rows have gaps between them.
    const std::vector<int>& vecRows = m_gridData.m_vecGridRow;
    for (size_t k = 0; k < vecRows.size(); ++k) {
        const int n = static_cast<int>(k);
        WriteRowResult(contents.table, vecRows[k], m_calculator.GetCorrectP(n),
                       m_calculator.GetAccuracy(n));
    }

    // In the order of panel::kResultBoxes.
    const wxString texts[panel::kResults] = {ResultFormat::FormatCoefficient(m_calculator.GetDT()),
                                             ResultFormat::FormatKeff(m_calculator.GetKeff()),
                                             ResultFormat::FormatCoefficient(m_calculator.GetK1()),
                                             ResultFormat::FormatCoefficient(m_calculator.GetK2()),
                                             ResultFormat::FormatCoefficient(m_calculator.GetK3())};
    auto& boxes = contents.boxes;
    // The manual boxes start from the computed values, once: values the
    // operator has put there stay.
    const bool bFillManual = boxes[panel::kBoxManualK1].empty();
    for (int i = 0; i < panel::kResults; ++i) {
        const panel::ResultBox& r = panel::kResultBoxes[i];
        boxes[r.result] = texts[i];
        if (bFillManual) boxes[r.manual] = texts[i];
    }
    return Outcome::kDone;
}

CalibrationRun::Outcome CalibrationRun::Set(Contents& contents, int nChosenCount) {
    m_strError.clear();
    m_bSingleValueColumn = false;
    if (!CheckInput(contents, nChosenCount)) return Outcome::kRefused;

    // All five boxes are checked before anything else changes, so a typing
    // slip costs nothing.
    // In the order the engine takes them: K1, K2, K3, Keff, dead time.
    double values[panel::kResults] = {};
    for (int i : {panel::kResultK1, panel::kResultK2, panel::kResultK3, panel::kResultKeff,
                  panel::kResultDeadTime}) {
        const panel::ResultBox& r = panel::kResultBoxes[i];
        if (!ReadManualBox(contents.boxes[r.manual], r.pszLabel, values[i]))
            return Outcome::kRefused;
    }

    if (!ReadGrid(contents)) return Outcome::kRefused;
    FillCalculator(contents);
    m_calculator.SetManualK1(values[panel::kResultK1]);
    m_calculator.SetManualK2(values[panel::kResultK2]);
    m_calculator.SetManualK3(values[panel::kResultK3]);
    m_calculator.SetManualKeff(values[panel::kResultKeff]);
    m_calculator.SetManualDT(values[panel::kResultDeadTime]);
    if (!m_calculator.CalculateManual()) return Outcome::kFailed;

    const std::vector<int>& vecRows = m_gridData.m_vecGridRow;
    for (size_t k = 0; k < vecRows.size(); ++k) {
        const int nRow = vecRows[k];
        for (int nCol = GridData::kCheckCol; nCol <= GridData::kSecondReadingCol; ++nCol)
            contents.manualTable[nRow][nCol] = contents.table[nRow][nCol];
        const int n = static_cast<int>(k);
        WriteRowResult(contents.manualTable, nRow, m_calculator.GetManualCorrectP(n),
                       m_calculator.GetManualAccuracy(n));
    }
    return Outcome::kDone;
}

CalibrationRun::Outcome CalibrationRun::Fit(Contents& contents, int nChosenCount,
                                            CalibrationFit& fit) {
    m_strError.clear();
    m_bSingleValueColumn = false;
    if (!CheckInput(contents, nChosenCount)) return Outcome::kRefused;
    if (!ReadGrid(contents)) return Outcome::kRefused;
    FillCalculator(contents);
    if (!fit.Run(m_calculator)) {
        Refuse(fit.GetError());
        return Outcome::kRefused;
    }
    // The fit's values are in the order of panel::kResultBoxes.
    static_assert(CalibrationFit::kDeadTime == panel::kResultDeadTime &&
                      CalibrationFit::kKeff == panel::kResultKeff &&
                      CalibrationFit::kK1 == panel::kResultK1 &&
                      CalibrationFit::kK2 == panel::kResultK2 &&
                      CalibrationFit::kK3 == panel::kResultK3,
                  "the fit's values and the result boxes share one order");
    const CalibrationFit::Values& set = fit.GetSet();
    for (int i = 0; i < panel::kResults; ++i)
        contents.boxes[panel::kResultBoxes[i].manual] = ResultFormat::FormatResult(i, set[i]);
    return Set(contents, nChosenCount);
}
