#include "grid/CalibrationRun.h"

#include <wx/intl.h>

#include "calc/CalibrationFit.h"
#include "calc/Calculator.h"
#include "grid/ResultFormat.h"

using archive::Contents;

CalibrationRun::CalibrationRun(Calculator& calc)
    : m_calculator(calc), m_bSingleValueColumn(false) {}

bool CalibrationRun::Refuse(const wxString& strMessage) {
    m_strError = strMessage;
    return false;
}

bool CalibrationRun::CheckInput(const Contents& contents, int nChosenCount) {
    if (nChosenCount != 4) return Refuse(_("Choose wrong quantity values for calculate"));
    const wxString& strT = contents.boxes[archive::kBoxT];
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
    contents.boxes[archive::kBoxT].ToDouble(&dT);
    m_gridData.FillCalculator(m_calculator, dT);
}

void CalibrationRun::WriteRowResult(archive::GridTable& table, int nRow, double dCorrectP,
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

    const wxString strKeff = ResultFormat::FormatKeff(m_calculator.GetKeff());
    const wxString strDT = ResultFormat::FormatCoefficient(m_calculator.GetDT());
    const wxString strK1 = ResultFormat::FormatCoefficient(m_calculator.GetK1());
    const wxString strK2 = ResultFormat::FormatCoefficient(m_calculator.GetK2());
    const wxString strK3 = ResultFormat::FormatCoefficient(m_calculator.GetK3());
    auto& boxes = contents.boxes;
    boxes[archive::kBoxRegistration] = strKeff;
    boxes[archive::kBoxDeadTime] = strDT;
    boxes[archive::kBoxK1] = strK1;
    boxes[archive::kBoxK2] = strK2;
    boxes[archive::kBoxK3] = strK3;

    // The manual boxes start from the computed values, once: values the
    // operator has put there stay.
    if (boxes[archive::kBoxManualK1].empty()) {
        boxes[archive::kBoxManualRegistration] = strKeff;
        boxes[archive::kBoxManualK1] = strK1;
        boxes[archive::kBoxManualK2] = strK2;
        boxes[archive::kBoxManualK3] = strK3;
        boxes[archive::kBoxManualDeadTime] = strDT;
    }
    return Outcome::kDone;
}

CalibrationRun::Outcome CalibrationRun::Set(Contents& contents, int nChosenCount) {
    m_strError.clear();
    m_bSingleValueColumn = false;
    if (!CheckInput(contents, nChosenCount)) return Outcome::kRefused;

    // All five boxes are checked before anything else changes, so a typing
    // slip costs nothing.
    const auto& boxes = contents.boxes;
    double dK1 = 0, dK2 = 0, dK3 = 0, dKeff = 0, dDT = 0;
    if (!ReadManualBox(boxes[archive::kBoxManualK1], "K1", dK1) ||
        !ReadManualBox(boxes[archive::kBoxManualK2], "K2", dK2) ||
        !ReadManualBox(boxes[archive::kBoxManualK3], "K3", dK3) ||
        !ReadManualBox(boxes[archive::kBoxManualRegistration], "Efficacy registration", dKeff) ||
        !ReadManualBox(boxes[archive::kBoxManualDeadTime], "Dead time", dDT))
        return Outcome::kRefused;

    if (!ReadGrid(contents)) return Outcome::kRefused;
    FillCalculator(contents);
    m_calculator.SetManualK1(dK1);
    m_calculator.SetManualK2(dK2);
    m_calculator.SetManualK3(dK3);
    m_calculator.SetManualKeff(dKeff);
    m_calculator.SetManualDT(dDT);
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
    const CalibrationFit::Values& set = fit.GetSet();
    auto& boxes = contents.boxes;
    boxes[archive::kBoxManualDeadTime] =
        ResultFormat::FormatCoefficient(set[CalibrationFit::kDeadTime]);
    boxes[archive::kBoxManualRegistration] = ResultFormat::FormatKeff(set[CalibrationFit::kKeff]);
    boxes[archive::kBoxManualK1] = ResultFormat::FormatCoefficient(set[CalibrationFit::kK1]);
    boxes[archive::kBoxManualK2] = ResultFormat::FormatCoefficient(set[CalibrationFit::kK2]);
    boxes[archive::kBoxManualK3] = ResultFormat::FormatCoefficient(set[CalibrationFit::kK3]);
    return Set(contents, nChosenCount);
}
