#ifndef VARID_APP_GWXAPP_H
#define VARID_APP_GWXAPP_H

#include <wx/app.h>
#include <wx/fileconf.h>
#include <wx/intl.h>
#include <wx/string.h>

// Application base of the family: a settings file in the working directory, an
// interface language chosen by that file, and one routine per application
// that moves its values in either direction.
class gwxApp : public wxApp {
public:
    gwxApp(const wxString& strIniName, const wxString& strIniPath, const wxString& strConfigVendor);
    ~gwxApp() override;

    // The language table: name to toolkit identifier and back; unknown gives 0
    // (the system language) or an empty name.
    static int LanguageFromName(const wxString& strName);
    static wxString NameFromLanguage(int nLanguage);

    // Chooses the language from the settings, then loads the settings.
    bool InitLanguage();
    bool AddCatalog(const wxString& strName);
    void SaveSettings();

    // Loads or stores one text entry, by m_bLoad.
    bool ExchangeValue(const wxString& strGroup, const wxString& strKey, wxString* pValue,
                       wxString strDefault);

    // The same for an entry that exists only while its value is not empty:
    // storing an empty value removes it.
    bool ExchangeOptionalValue(const wxString& strGroup, const wxString& strKey, wxString* pValue);

    // Exchanges the derived application's own values; the direction followed is
    // m_bLoad, which the caller sets to bLoad beforehand.
    virtual bool TransferSettings(bool bLoad) = 0;

    int GetLanguage() const { return m_nLanguage; }

protected:
    wxString m_strIniName;
    wxFileConfig* m_pConfig;
    wxString m_strIniPath;
    bool m_bLoad;
    wxString m_strConfigVendor;
    wxLocale m_locale;
    int m_nLanguage;
};

#endif
