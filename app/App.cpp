#include "app/App.h"

#include <climits>
#include <clocale>
#include <cwchar>

#include <wx/filefn.h>
#include <wx/xrc/xmlres.h>

#include "app/Globals.h"
#include "calc/ErrorReport.h"
#include "resources/InitXmlResource.h"
#include "ui/ErrorBox.h"
#include "ui/MainFrame.h"
#include "ui/PanelResult.h"

App::App() : gwxApp(wxT("kevro_varid.ini"), wxEmptyString, wxEmptyString), m_pChecker(nullptr) {}

App::~App() {
    // Set only when start-up was refused; OnExit releases it otherwise.
    delete m_pChecker;
}

bool App::OnInit() {
    bool bResult = true;
    // No catalogue is loaded yet, so the instance name is the untranslated one.
    m_pChecker = new wxSingleInstanceChecker(wxGetTranslation(wxT("KEVRO_Varid")), wxEmptyString);
    if (m_pChecker->IsAnotherRunning()) bResult = false;
    // A second copy stops here: it has read nothing and will write nothing.
    if (!bResult) return bResult;

    wxXmlResource::Get()->InitAllHandlers();
    InitXmlResource();
    InitLanguage();
    AddCatalog(wxT("kevro_zanol"));
    AddCatalog(wxT("KEVRO_Varid"));
    // The interface language must not change how numbers are read and printed.
    std::setlocale(LC_NUMERIC, "C");
    SetVendorName(wxT("KEVRO Software"));
    SetAppName(wxGetTranslation(wxT("KEVRO_Varid")));

    SetErrorReportHandler(ShowErrorBox);
    MainFrame* pFrame = new MainFrame(m_lab);
    // Bound handlers run before the frame's own, which destroys it.
    pFrame->Bind(wxEVT_CLOSE_WINDOW, &App::OnMainFrameClose, this);
    pFrame->Show(true);
    SetTopWindow(pFrame);
    return bResult;
}

void App::OnMainFrameClose(wxCloseEvent& event) {
    if (auto* pFrame = wxDynamicCast(event.GetEventObject(), MainFrame))
        m_lab.TakeLaboratoryFields(pFrame->GetPanelResult()->GetDetails());
    event.Skip();
}

int App::OnExit() {
    delete m_pChecker;
    m_pChecker = nullptr;
    SaveSettings();
    return 0;
}

int App::ProgramModeFromText(const wxString& strMode) {
    long nValue = std::wcstol(strMode.wc_str(), nullptr, 10);
    // Out-of-range texts keep their sign instead of wrapping (a huge value must
    // not turn into mode 0).
    if (nValue > INT_MAX) nValue = INT_MAX;
    if (nValue < INT_MIN) nValue = INT_MIN;
    return static_cast<int>(nValue);
}

bool App::TransferSettings(bool WXUNUSED(bLoad)) {
    wxString strDir = g_strXmlFile;
    // Empty when the working directory cannot be obtained (the toolkit logs it).
    const wxString strWorkDir = wxGetCwd();
    const wxString strModeDefault = wxString::Format(wxT("%d"), 0);
    wxString strMode = wxString::Format(wxT("%d"), g_nProgramMode);

    ExchangeValue(wxT("/path"), wxT("xml_file"), &strDir, strWorkDir);
    if (strDir.empty()) strDir = strWorkDir;
    ExchangeValue(wxT("/path"), wxT("default_mode"), &strMode, strModeDefault);
    if (strMode.empty()) strMode = strModeDefault;
    g_strXmlFile = strDir;
    g_nProgramMode = ProgramModeFromText(strMode);

    wxString strRemember = g_bRemember ? wxT("1") : wxT("0");
    ExchangeValue(wxT("/path"), wxT("is_remember"), &strRemember, wxT("0"));
    g_bRemember = strRemember == wxT("1");

    // Only filled fields have a key, so a first run stores what it always did.
    for (int i = CalibrationDetails::kItemFields; i < CalibrationDetails::kFields; ++i) {
        const auto field = static_cast<CalibrationDetails::Field>(i);
        wxString strValue = m_lab.Get(field);
        ExchangeOptionalValue(wxT("/lab"), CalibrationDetails::InfoOf(field).pszName, &strValue);
        m_lab.Set(field, strValue);
    }
    return true;
}
