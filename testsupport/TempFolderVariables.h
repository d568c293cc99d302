#ifndef VARID_TESTSUPPORT_TEMPFOLDERVARIABLES_H
#define VARID_TESTSUPPORT_TEMPFOLDERVARIABLES_H

#include <array>

#include <wx/string.h>
#include <wx/utils.h>

// Points the environment's temporary folder (TMPDIR on Linux, TMP and TEMP
// on Windows) at another folder for the object's life; programs started
// meanwhile inherit it.
class TempFolderVariables {
public:
    explicit TempFolderVariables(const wxString& strFolder) {
        for (size_t i = 0; i < kNames.size(); ++i) {
            m_arrHad[i] = wxGetEnv(kNames[i], &m_arrOld[i]);
            wxSetEnv(kNames[i], strFolder);
        }
    }
    ~TempFolderVariables() {
        for (size_t i = 0; i < kNames.size(); ++i) {
            if (m_arrHad[i])
                wxSetEnv(kNames[i], m_arrOld[i]);
            else
                wxUnsetEnv(kNames[i]);
        }
    }
    TempFolderVariables(const TempFolderVariables&) = delete;
    TempFolderVariables& operator=(const TempFolderVariables&) = delete;

private:
    static constexpr std::array<const char*, 3> kNames = {"TMPDIR", "TMP", "TEMP"};
    std::array<wxString, 3> m_arrOld;
    std::array<bool, 3> m_arrHad{};
};

#endif
