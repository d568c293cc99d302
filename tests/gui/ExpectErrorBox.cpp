#include "tests/gui/ExpectErrorBox.h"

#include <gtest/gtest.h>

ExpectErrorBox::ExpectErrorBox(const wxString& strMessage, const wxString& strCaption)
    : wxExpectModal<wxMessageDialog>(wxID_OK), m_strMessage(strMessage), m_strCaption(strCaption) {
    Describe("error box \"" + strMessage + "\"");
}

int ExpectErrorBox::OnInvoked(wxMessageDialog* pDlg) const {
    EXPECT_EQ(pDlg->GetMessage().utf8_string(), m_strMessage.utf8_string());
    EXPECT_EQ(pDlg->GetCaption().utf8_string(), m_strCaption.utf8_string());
    EXPECT_TRUE(pDlg->GetMessageDialogStyle() & wxICON_ERROR);
    return wxExpectModal<wxMessageDialog>::OnInvoked(pDlg);
}
