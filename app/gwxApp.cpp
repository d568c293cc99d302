#include "app/gwxApp.h"

#include <wx/convauto.h>

namespace {

struct LanguageEntry {
    wxString strName;
    int nLanguage;
};

// Only these names reach the settings file.
const LanguageEntry g_languageTable[] = {
    {wxT("english"), wxLANGUAGE_ENGLISH},
    {wxT("russian"), wxLANGUAGE_RUSSIAN},
    {wxT("ukrainian"), wxLANGUAGE_UKRAINIAN},
};

}  // namespace

gwxApp::gwxApp(const wxString& strIniName, const wxString& strIniPath,
               const wxString& strConfigVendor)
    : m_strIniName(strIniName),
      m_pConfig(nullptr),
      m_strIniPath(strIniPath),
      m_bLoad(true),
      m_strConfigVendor(strConfigVendor),
      m_nLanguage(wxLANGUAGE_DEFAULT) {
    if (m_strIniPath.empty()) m_strIniPath = wxT("./") + m_strIniName;
    // A relative path stays relative: the file belongs to the working directory.
    m_pConfig = new wxFileConfig(m_strIniName, m_strConfigVendor, m_strIniPath, wxEmptyString,
                                 wxCONFIG_USE_RELATIVE_PATH, wxConvAuto());
}

gwxApp::~gwxApp() {
    // The settings file is written here, when anything changed.
    delete m_pConfig;
}

int gwxApp::LanguageFromName(const wxString& strName) {
    const wxString strLower = strName.Lower();
    for (const LanguageEntry& entry : g_languageTable) {
        if (entry.strName == strLower) return entry.nLanguage;
    }
    return wxLANGUAGE_DEFAULT;
}

wxString gwxApp::NameFromLanguage(int nLanguage) {
    for (const LanguageEntry& entry : g_languageTable) {
        if (entry.nLanguage == nLanguage) return entry.strName;
    }
    return wxEmptyString;
}

bool gwxApp::InitLanguage() {
    m_bLoad = true;
    m_pConfig->SetPath(wxT("/i18n"));
    wxString strLanguage;
    m_pConfig->Read(wxT("Language"), &strLanguage, wxEmptyString);
    m_nLanguage = LanguageFromName(strLanguage);
    // Catalogue texts are converted to the interface encoding in every Unicode
    // build, so the old conversion flag no longer exists.
    m_locale.Init(m_nLanguage, wxLOCALE_LOAD_DEFAULT);
    m_locale.AddCatalog(wxT("wxstd"));
    return TransferSettings(true);
}

bool gwxApp::AddCatalog(const wxString& strName) { return m_locale.AddCatalog(strName); }

void gwxApp::SaveSettings() {
    m_bLoad = false;
    m_pConfig->SetPath(wxT("/i18n"));
    m_pConfig->Write(wxT("Language"), NameFromLanguage(m_nLanguage));
    TransferSettings(false);
}

bool gwxApp::ExchangeValue(const wxString& strGroup, const wxString& strKey, wxString* pValue,
                           wxString strDefault) {
    // An absolute key: the current group does not matter.
    const wxString strFullKey = strGroup + wxT("/") + strKey;
    if (m_bLoad) return m_pConfig->Read(strFullKey, pValue, strDefault);
    return m_pConfig->Write(strFullKey, *pValue);
}

bool gwxApp::ExchangeOptionalValue(const wxString& strGroup, const wxString& strKey,
                                   wxString* pValue) {
    const wxString strFullKey = strGroup + wxT("/") + strKey;
    if (m_bLoad) return m_pConfig->Read(strFullKey, pValue, wxEmptyString);
    if (pValue->empty())
        return !m_pConfig->HasEntry(strFullKey) || m_pConfig->DeleteEntry(strFullKey);
    return m_pConfig->Write(strFullKey, *pValue);
}
