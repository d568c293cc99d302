#include "grid/CalibrationDetails.h"

#include <wx/datetime.h>
#include <wx/intl.h>

#include "grid/ClipboardBlock.h"
#include "grid/GridData.h"

const char CalibrationDetails::kRuleSimple[] = "simple";
const char CalibrationDetails::kRuleGuarded[] = "guarded";

namespace {

using Kind = CalibrationDetails::Kind;

const double kNoLimit = 0;

}  // namespace

const std::array<CalibrationDetails::FieldInfo, CalibrationDetails::kFields>&
CalibrationDetails::Fields() {
    // The labels are the window's own, translated in the layout's catalogue.
    static const std::array<FieldInfo, kFields> infos = {{
        {kCertificateNumber, "CertificateNumber", Kind::kText, "Certificate number", "", kNoLimit,
         kNoLimit, false},
        {kInstrument, "Instrument", Kind::kText, "Instrument (type or model)", "", kNoLimit,
         kNoLimit, false},
        {kManufacturer, "Manufacturer", Kind::kText, "Manufacturer", "", kNoLimit, kNoLimit, false},
        {kSerialNumber, "SerialNumber", Kind::kText, "Serial number", "", kNoLimit, kNoLimit,
         false},
        {kCustomer, "Customer", Kind::kText, "Customer", "", kNoLimit, kNoLimit, false},
        {kCalibrationDate, "CalibrationDate", Kind::kDate, "Calibration date", "", kNoLimit,
         kNoLimit, false},
        {kIssueDate, "IssueDate", Kind::kDate, "Issue date", "", kNoLimit, kNoLimit, false},
        {kTemperature, "Temperature", Kind::kNumber, "Temperature",
         "\xC2\xB0"
         "C",
         -50, 60, false},
        {kPressure, "Pressure", Kind::kNumber, "Pressure", "kPa", 50, 120, false},
        {kHumidity, "Humidity", Kind::kNumber, "Humidity", "%", 0, 100, false},
        {kNotes, "Notes", Kind::kNotes, "Notes", "", kNoLimit, kNoLimit, false},
        {kLaboratory, "Laboratory", Kind::kText, "Laboratory", "", kNoLimit, kNoLimit, false},
        {kLaboratoryAddress, "LaboratoryAddress", Kind::kText, "Laboratory address", "", kNoLimit,
         kNoLimit, false},
        {kOperator, "Operator", Kind::kText, "Operator", "", kNoLimit, kNoLimit, false},
        {kApprovedBy, "ApprovedBy", Kind::kText, "Approved by", "", kNoLimit, kNoLimit, false},
        {kReferenceStandard, "ReferenceStandard", Kind::kText, "Reference standard", "", kNoLimit,
         kNoLimit, false},
        {kReferenceUncertainty, "ReferenceUncertainty", Kind::kNumber,
         "Reference expanded uncertainty", "%", 0, 50, true},
        {kReferenceCoverageFactor, "ReferenceCoverageFactor", Kind::kNumber,
         "Reference coverage factor k", "", 1, 10, false},
        {kUnit, "Unit", Kind::kText, "Unit of Real P0", "", kNoLimit, kNoLimit, false},
        {kPeriodUnit, "PeriodUnit", Kind::kText, "Unit of the periods T1, T2", "", kNoLimit,
         kNoLimit, false},
        {kTolerance, "Tolerance", Kind::kNumber, "Tolerance", "%", 0, 100, true},
        {kDecisionRule, "DecisionRule", Kind::kRule, "Decision rule", "", kNoLimit, kNoLimit,
         false},
    }};
    return infos;
}

void CalibrationDetails::ClearItemFields() {
    for (int i = 0; i < kItemFields; ++i) m_arrFields[i].clear();
}

void CalibrationDetails::TakeLaboratoryFields(const CalibrationDetails& other) {
    for (int i = kItemFields; i < kFields; ++i) m_arrFields[i] = other.m_arrFields[i];
}

wxString CalibrationDetails::LabelOf(Field field) {
    const FieldInfo& info = InfoOf(field);
    wxString str = wxGetTranslation(wxString::FromUTF8(info.pszLabel));
    // Units are the window's texts too ("kPa" has a translation).
    if (*info.pszUnit) str += wxT(", ") + wxGetTranslation(wxString::FromUTF8(info.pszUnit));
    return str;
}

wxString CalibrationDetails::Summary() const {
    wxString str;
    const struct {
        Field field;
        wxString strFormat;
    } parts[] = {{kInstrument, _("Instrument: %s")},
                 {kSerialNumber, _("Serial number: %s")},
                 {kCertificateNumber, _("Certificate number: %s")}};
    for (const auto& part : parts) {
        const wxString& strValue = m_arrFields[part.field];
        if (strValue.empty()) continue;
        if (!str.empty()) str += wxT(";   ");
        str += wxString::Format(part.strFormat, strValue);
    }
    return str.empty() ? _("No instrument, serial number or certificate number given.") : str;
}

bool CalibrationDetails::IsDate(const wxString& str) {
    if (str.length() != 10 || str[4] != '-' || str[7] != '-') return false;
    long nYear = 0, nMonth = 0, nDay = 0;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (str[i] < '0' || str[i] > '9') return false;
    if (!str.substr(0, 4).ToLong(&nYear) || !str.substr(5, 2).ToLong(&nMonth) ||
        !str.substr(8, 2).ToLong(&nDay))
        return false;
    if (nYear < 1 || nMonth < 1 || nMonth > 12 || nDay < 1) return false;
    const auto month = static_cast<wxDateTime::Month>(wxDateTime::Jan + (nMonth - 1));
    return nDay <= wxDateTime::GetNumberOfDays(month, static_cast<int>(nYear));
}

namespace {

// Characters, not UTF-16 units: a Cyrillic letter counts once everywhere.
size_t CharacterCount(const wxString& str) {
    size_t n = 0;
    for (auto it = str.begin(); it != str.end(); ++it) ++n;
    return n;
}

bool IsBlank(wxUniChar ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == 0xA0;
}

wxString Trimmed(const wxString& str) {
    size_t nFirst = 0, nEnd = str.length();
    while (nFirst < nEnd && IsBlank(str[nFirst])) ++nFirst;
    while (nEnd > nFirst && IsBlank(str[nEnd - 1])) --nEnd;
    return str.substr(nFirst, nEnd - nFirst);
}

wxString FormatLimit(double d) { return wxString::Format(wxT("%g"), d); }

}  // namespace

bool CalibrationDetails::Normalise(wxString& strError) {
    CalibrationDetails work = *this;
    for (const FieldInfo& info : Fields()) {
        wxString& str = work.m_arrFields[info.field];
        str = Trimmed(str);
        const size_t nCap = info.kind == Kind::kNotes ? kMaxNotes : kMaxText;
        const size_t nLength = CharacterCount(str);
        if (nLength > nCap) {
            strError =
                wxString::Format(_("%s: at most %d characters, not %d."), LabelOf(info.field),
                                 static_cast<int>(nCap), static_cast<int>(nLength));
            return false;
        }
        if (str.empty()) continue;
        if (info.kind == Kind::kDate && !IsDate(str)) {
            strError = wxString::Format(_("%s: \"%s\" is not a date of the form YYYY-MM-DD."),
                                        LabelOf(info.field), str);
            return false;
        }
        if (info.kind == Kind::kRule && str != kRuleSimple && str != kRuleGuarded) {
            strError =
                wxString::Format(_("%s: \"%s\" is not a decision rule."), LabelOf(info.field), str);
            return false;
        }
        if (info.kind == Kind::kNumber) {
            const wxString strNumber = ClipboardBlock::NormaliseNumber(str);
            double d = 0;
            const bool bNumber = GridData::ReadNumber(strNumber, d);
            const bool bInRange =
                bNumber && (info.bMinOpen ? d > info.dMin : d >= info.dMin) && d <= info.dMax;
            if (!bInRange) {
                strError = wxString::Format(
                    info.bMinOpen ? _("%s: \"%s\" is not a number above %s and up to %s.")
                                  : _("%s: \"%s\" is not a number from %s to %s."),
                    LabelOf(info.field), str, FormatLimit(info.dMin), FormatLimit(info.dMax));
                return false;
            }
            str = strNumber;
        }
    }
    *this = work;
    return true;
}

bool CalibrationDetails::GetNumber(Field field, double& dOut) const {
    return InfoOf(field).kind == Kind::kNumber && !m_arrFields[field].empty() &&
           GridData::ReadNumber(m_arrFields[field], dOut);
}

double CalibrationDetails::GetCoverageFactor() const {
    double d = 0;
    return GetNumber(kReferenceCoverageFactor, d) && d > 0 ? d : 2.0;
}

wxString CalibrationDetails::GetPeriodUnit() const {
    return m_arrFields[kPeriodUnit].empty() ? wxString::FromUTF8("\xC2\xB5s")
                                            : m_arrFields[kPeriodUnit];
}
