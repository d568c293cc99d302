#include "grid/GridData.h"

#include "calc/Calculator.h"

bool GridData::ReadNumber(const wxString& str, double& dOut) {
    // The conversion stops at a NUL as at the text's end: "5\0x" is no 5.
    if (str.empty() || str.find(wxUniChar(0)) != wxString::npos) return false;
    return str.ToDouble(&dOut);
}

bool GridData::IsSecondColumnInUse(const panel::GridTable& table) {
    double dValue = 0;
    for (const auto& row : table)
        if (ReadNumber(row[kSecondReadingCol], dValue)) return true;
    return false;
}

int GridData::CountChosenRows(const panel::GridTable& table) {
    int nCount = 0;
    for (const auto& row : table)
        if (panel::IsTickedText(row[kCheckCol])) ++nCount;
    return nCount;
}

bool GridData::ShowsResults(const panel::GridTable& table) {
    for (const auto& row : table)
        if (!row[kCorrectionCol].empty() || !row[kAccuracyCol].empty()) return true;
    return false;
}

const panel::GridTable& GridData::FinalTable(const panel::Contents& contents) {
    return ShowsResults(contents.manualTable) ? contents.manualTable : contents.table;
}

bool GridData::Read(const panel::GridTable& table, bool bSingleValueColumn) {
    m_vecGridChoose.clear();
    m_vecGridRealP.clear();
    m_vecGridFl.clear();
    m_vecGridFr.clear();
    m_vecGridRow.clear();

    bool bIncomplete = false;
    int nChosen = 0;
    for (int nRow = 0; nRow < panel::kRows; ++nRow) {
        const auto& row = table[nRow];
        double dRealP = 0, dFl = 0, dFr = 0;
        const bool bRealP = ReadNumber(row[kRealPCol], dRealP);
        const bool bFl = ReadNumber(row[kFirstReadingCol], dFl);
        const bool bFr = ReadNumber(row[kSecondReadingCol], dFr);
        if (bRealP && bFl && (bFr || bSingleValueColumn)) {
            m_vecGridRealP.push_back(dRealP);
            m_vecGridFl.push_back(dFl);
            m_vecGridFr.push_back(bSingleValueColumn ? dFl : dFr);
            const bool bChosen = panel::IsTickedText(row[kCheckCol]);
            m_vecGridChoose.push_back(bChosen);
            m_vecGridRow.push_back(nRow);
            if (bChosen) ++nChosen;
        } else if (bRealP || bFl || (bFr && !bSingleValueColumn)) {
            bIncomplete = true;
        }
    }
    return !bIncomplete && nChosen >= 4;
}

std::vector<double> GridData::MeanReadings() const {
    std::vector<double> vecMeans(m_vecGridFl.size());
    Calculator::AverageReadings(m_vecGridFl, m_vecGridFr, vecMeans);
    return vecMeans;
}

void GridData::FillCalculator(Calculator& calc, double dT) const {
    // The calibration points: the first four chosen complete rows.
    std::vector<size_t> vecPositions;
    for (size_t k = 0; k < m_vecGridChoose.size() && vecPositions.size() < 4; ++k)
        if (m_vecGridChoose[k]) vecPositions.push_back(k);
    std::vector<double> vecForCalc(4, 0.0);
    auto pick = [&](const std::vector<double>& vecFrom) {
        for (size_t i = 0; i < vecPositions.size(); ++i) vecForCalc[i] = vecFrom[vecPositions[i]];
        return vecForCalc;
    };
    calc.SetRealPforCalc(pick(m_vecGridRealP));
    calc.SetT(dT);
    calc.SetFlForCalc(pick(m_vecGridFl));
    calc.SetFrForCalc(pick(m_vecGridFr));
    calc.SetRealP(m_vecGridRealP);
    calc.SetFl(m_vecGridFl);
    calc.SetFr(m_vecGridFr);
}
