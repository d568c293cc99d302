#ifndef VARID_GRID_CALIBRATIONDETAILS_H
#define VARID_GRID_CALIBRATIONDETAILS_H

#include <array>

#include <wx/string.h>

// The calibration's record: which item was calibrated, for whom, when and
// under which conditions (the item fields), and by which laboratory, against
// which reference and to which tolerance (the laboratory fields). Every field
// is a text and may be empty; the numbers keep the operator's digits, with a
// decimal point. The panel holds one with its grids, the archive keeps it,
// and the settings keep the laboratory fields from one run to the next.
class CalibrationDetails {
public:
    // In the order of the archive's children and of the CSV's records; the
    // item fields come first, up to and including the notes.
    enum Field {
        kCertificateNumber,
        kInstrument,
        kManufacturer,
        kSerialNumber,
        kCustomer,
        kCalibrationDate,
        kIssueDate,
        kTemperature,
        kPressure,
        kHumidity,
        kNotes,
        kLaboratory,
        kLaboratoryAddress,
        kOperator,
        kApprovedBy,
        kReferenceStandard,
        kReferenceUncertainty,
        kReferenceCoverageFactor,
        kUnit,
        kPeriodUnit,
        kTolerance,
        kDecisionRule,
        kFields
    };
    static constexpr int kItemFields = kNotes + 1;

    enum class Kind { kText, kNotes, kDate, kNumber, kRule };

    struct FieldInfo {
        Field field;
        const char* pszName;  // element, CSV record and settings key
        Kind kind;
        const char* pszLabel;  // catalogue key of the window's label
        const char* pszUnit;   // UTF-8, shown after the label; not translated
        double dMin, dMax;     // a filled number's range
        bool bMinOpen;         // the range excludes its lower end
    };
    static const std::array<FieldInfo, kFields>& Fields();
    static const FieldInfo& InfoOf(Field field) { return Fields()[field]; }
    static bool IsItemField(Field field) { return field < kItemFields; }

    // Caps of a text and of the notes, in characters.
    static constexpr size_t kMaxText = 200;
    static constexpr size_t kMaxNotes = 2000;

    // The decision rule's stored values; empty means the default, simple.
    static const char kRuleSimple[];
    static const char kRuleGuarded[];

    const wxString& Get(Field field) const { return m_arrFields[field]; }
    void Set(Field field, const wxString& str) { m_arrFields[field] = str; }

    // Clear keeps the laboratory fields.
    void ClearItemFields();
    // The laboratory fields of another record, the item fields of this one.
    void TakeLaboratoryFields(const CalibrationDetails& other);

    // What the window's OK does with the typed texts: trims them (notes keep
    // their inner line breaks), reads a decimal comma as a point, and checks
    // caps, ranges and dates. On success *this becomes the cleaned record;
    // otherwise it is left as it was and strError names the first bad field.
    bool Normalise(wxString& strError);

    // A filled number field as a number; false when empty or not a number.
    bool GetNumber(Field field, double& dOut) const;
    // The reference's coverage factor, 2 when none is given.
    double GetCoverageFactor() const;
    bool IsGuarded() const { return m_arrFields[kDecisionRule] == kRuleGuarded; }
    // The unit of the readings T1 and T2 in period mode, µs when none is given.
    wxString GetPeriodUnit() const;

    // The line above the grids: instrument, serial number and certificate
    // number, as far as they are filled.
    wxString Summary() const;

    // A real date written YYYY-MM-DD.
    static bool IsDate(const wxString& str);
    // The label a message or a certificate names a field by, translated, with
    // its unit.
    static wxString LabelOf(Field field);

    bool operator==(const CalibrationDetails& other) const {
        return m_arrFields == other.m_arrFields;
    }
    bool operator!=(const CalibrationDetails& other) const { return !(*this == other); }

private:
    std::array<wxString, kFields> m_arrFields;
};

#endif
