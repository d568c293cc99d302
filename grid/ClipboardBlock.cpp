#include "grid/ClipboardBlock.h"

#include <algorithm>

#include <wx/wxcrt.h>

#include "grid/GridData.h"

namespace {

// Spaces as spreadsheets write them between digit groups: the plain one, the
// no-break and narrow no-break ones, figure and thin spaces.
bool IsSpace(wxUniChar ch) {
    switch (ch.GetValue()) {
        case ' ':
        case 0x00A0:
        case 0x2007:
        case 0x2009:
        case 0x202F:
            return true;
        default:
            return false;
    }
}

bool IsDigit(wxUniChar ch) { return ch >= '0' && ch <= '9'; }

bool IsBlank(const wxString& str) {
    for (wxUniChar ch : str)
        if (!IsSpace(ch)) return false;
    return true;
}

wxString Trim(const wxString& str) {
    size_t nBegin = 0, nEnd = str.length();
    while (nBegin < nEnd && IsSpace(str[nBegin])) ++nBegin;
    while (nEnd > nBegin && IsSpace(str[nEnd - 1])) --nEnd;
    return str.substr(nBegin, nEnd - nBegin);
}

wxString DropSpacesBetweenDigits(const wxString& str) {
    wxString out;
    for (size_t i = 0; i < str.length();) {
        if (!IsSpace(str[i])) {
            out += str[i++];
            continue;
        }
        size_t nEnd = i;
        while (nEnd < str.length() && IsSpace(str[nEnd])) ++nEnd;
        const bool bBetweenDigits =
            i > 0 && IsDigit(str[i - 1]) && nEnd < str.length() && IsDigit(str[nEnd]);
        if (!bBetweenDigits) out += str.substr(i, nEnd - i);
        i = nEnd;
    }
    return out;
}

// One to three digits not starting with 0, a comma, exactly three digits:
// "1,234" is a thousand or a little more than one, whichever locale wrote it.
bool IsAmbiguousComma(const wxString& str) {
    size_t i = 0;
    if (i < str.length() && (str[i] == '+' || str[i] == '-')) ++i;
    const size_t nFirst = i;
    while (i < str.length() && IsDigit(str[i])) ++i;
    const size_t nLead = i - nFirst;
    if (nLead < 1 || nLead > 3 || str[nFirst] == '0') return false;
    if (i >= str.length() || str[i] != ',') return false;
    const size_t nAfter = str.length() - i - 1;
    if (nAfter != 3) return false;
    for (size_t k = i + 1; k < str.length(); ++k)
        if (!IsDigit(str[k])) return false;
    return true;
}

wxString Without(wxString str, wxUniChar ch) {
    str.Replace(wxString(ch), wxEmptyString);
    return str;
}

wxString CommaToPoint(wxString str) {
    str.Replace(wxT(","), wxT("."));
    return str;
}

// A number the conversion reads whole, and not behind a blank that dropping
// a separator brought to the front (". ,234" is no 0.234): the conversion
// would skip it, but the cell would keep it.
bool ReadsAsNumber(const wxString& str) {
    double dValue = 0;
    return !str.empty() && !IsSpace(str[0]) && !wxIsspace(str[0]) &&
           GridData::ReadNumber(str, dValue);
}

// A copied cell must stay one cell when pasted again.
wxString OneCell(const wxString& str) {
    wxString out = str;
    for (const wxChar* sep : {wxT("\t"), wxT("\r"), wxT("\n")}) out.Replace(sep, wxT(" "));
    return out;
}

}  // namespace

ClipboardBlock::ClipboardBlock(const wxString& strText) : m_nBeyond(0) {
    if (strText.empty()) return;
    // One trailing line end is the end of the last row, not a row of its own.
    wxString str = strText;
    if (str.EndsWith(wxT("\n"))) str.RemoveLast();
    if (str.EndsWith(wxT("\r"))) str.RemoveLast();

    // One pass over the text: a huge paste costs no more memory than the
    // cells that can land in the grid.
    size_t nRow = 0, nCol = 0;
    wxString strCell;
    auto endCell = [&]() {
        if (nRow < static_cast<size_t>(panel::kRows) && nCol < static_cast<size_t>(panel::kCols)) {
            if (m_vecCells.size() <= nRow) m_vecCells.resize(nRow + 1);
            m_vecCells[nRow].push_back(strCell);
        } else if (!IsBlank(strCell)) {
            ++m_nBeyond;
        }
        strCell.clear();
    };
    for (wxString::const_iterator it = str.begin(); it != str.end(); ++it) {
        const wxUniChar ch = *it;
        if (ch == '\t') {
            endCell();
            ++nCol;
        } else if (ch == '\n' || ch == '\r') {
            // LF, CRLF, and the lone CR of older spreadsheets.
            if (ch == '\r' && it + 1 != str.end() && *(it + 1) == '\n') ++it;
            endCell();
            ++nRow;
            nCol = 0;
        } else {
            strCell += ch;
        }
    }
    endCell();
}

ClipboardBlock::Outcome ClipboardBlock::ApplyTo(panel::GridTable& table, int nRow, int nCol,
                                                bool bSecondColumnLocked) const {
    Outcome outcome;
    outcome.nOutside = m_nBeyond;
    panel::GridTable work = table;
    for (size_t i = 0; i < m_vecCells.size(); ++i) {
        for (size_t j = 0; j < m_vecCells[i].size(); ++j) {
            const wxString& strText = m_vecCells[i][j];
            const int r = nRow + static_cast<int>(i);
            const int c = nCol + static_cast<int>(j);
            if (r < 0 || r >= panel::kRows || c < 0 || c >= panel::kCols) {
                if (!IsBlank(strText)) ++outcome.nOutside;
                continue;
            }
            if (c == GridData::kCorrectionCol || c == GridData::kAccuracyCol) continue;
            if (c == GridData::kSecondReadingCol && bSecondColumnLocked) {
                if (!IsBlank(strText)) ++outcome.nLocked;
                continue;
            }
            work[r][c] =
                c == GridData::kCheckCol ? NormaliseTick(strText) : NormaliseNumber(strText);
            ++outcome.nWritten;
        }
    }
    // The grid refuses a fifth tick; a table that already holds more (from an
    // archive) may keep them, but a paste must not add to them.
    const int nBefore = GridData::CountChosenRows(table);
    const int nAfter = GridData::CountChosenRows(work);
    if (nAfter > 4 && nAfter > nBefore) {
        outcome.bTooManyTicks = true;
        outcome.nWritten = 0;
        return outcome;
    }
    table = work;
    return outcome;
}

wxString ClipboardBlock::NormaliseNumber(const wxString& str) {
    const wxString strTrimmed = Trim(str);
    const wxString strPlain = DropSpacesBetweenDigits(strTrimmed);
    const int nCommas = strPlain.Freq(',');
    const int nPoints = strPlain.Freq('.');
    wxString strCandidate = strPlain;
    if (nCommas > 0 && nPoints > 0) {
        // The separator written last is the decimal one.
        if (strPlain.rfind(',') > strPlain.rfind('.'))
            strCandidate = CommaToPoint(Without(strPlain, '.'));
        else
            strCandidate = Without(strPlain, ',');
    } else if (nCommas == 1 && !IsAmbiguousComma(strPlain)) {
        strCandidate = CommaToPoint(strPlain);
    }
    return ReadsAsNumber(strCandidate) ? strCandidate : strTrimmed;
}

wxString ClipboardBlock::NormaliseTick(const wxString& str) {
    const wxString strLower = Trim(str).Lower();
    const bool bTicked = strLower == wxT("1") || strLower == wxT("x") || strLower == wxT("true") ||
                         strLower == wxT("yes");
    return bTicked ? wxT("1") : wxT("");
}

wxString ClipboardBlock::Format(const panel::GridTable& table, int nTop, int nLeft, int nBottom,
                                int nRight) {
    nTop = std::max(nTop, 0);
    nLeft = std::max(nLeft, 0);
    nBottom = std::min(nBottom, panel::kRows - 1);
    nRight = std::min(nRight, panel::kCols - 1);
    wxString out;
    for (int r = nTop; r <= nBottom; ++r) {
        for (int c = nLeft; c <= nRight; ++c) {
            if (c > nLeft) out += wxT('\t');
            if (c == GridData::kCheckCol)
                out += panel::IsTickedText(table[r][c]) ? wxT("1") : wxT("");
            else
                out += OneCell(table[r][c]);
        }
        out += wxT('\n');
    }
    return out;
}
