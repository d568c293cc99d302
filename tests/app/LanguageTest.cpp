#include <gtest/gtest.h>

#include "app/gwxApp.h"

TEST(LanguageTable, NamesMatchInAnyLetterCase) {
    EXPECT_EQ(gwxApp::LanguageFromName("english"), wxLANGUAGE_ENGLISH);
    EXPECT_EQ(gwxApp::LanguageFromName("Russian"), wxLANGUAGE_RUSSIAN);
    EXPECT_EQ(gwxApp::LanguageFromName("RUSSIAN"), wxLANGUAGE_RUSSIAN);
    EXPECT_EQ(gwxApp::LanguageFromName("UkRaInIaN"), wxLANGUAGE_UKRAINIAN);
}

TEST(LanguageTable, OtherNamesMeanTheSystemLanguage) {
    EXPECT_EQ(gwxApp::LanguageFromName(""), wxLANGUAGE_DEFAULT);
    EXPECT_EQ(gwxApp::LanguageFromName("german"), wxLANGUAGE_DEFAULT);
    // Whole names only: no prefixes, no blanks.
    EXPECT_EQ(gwxApp::LanguageFromName("russ"), wxLANGUAGE_DEFAULT);
    EXPECT_EQ(gwxApp::LanguageFromName("russian "), wxLANGUAGE_DEFAULT);
    EXPECT_EQ(gwxApp::LanguageFromName("ru"), wxLANGUAGE_DEFAULT);
}

TEST(LanguageTable, IdentifiersGiveLowerCaseNamesOrNothing) {
    EXPECT_EQ(gwxApp::NameFromLanguage(wxLANGUAGE_ENGLISH), "english");
    EXPECT_EQ(gwxApp::NameFromLanguage(wxLANGUAGE_RUSSIAN), "russian");
    EXPECT_EQ(gwxApp::NameFromLanguage(wxLANGUAGE_UKRAINIAN), "ukrainian");
    EXPECT_EQ(gwxApp::NameFromLanguage(wxLANGUAGE_DEFAULT), "");
    EXPECT_EQ(gwxApp::NameFromLanguage(wxLANGUAGE_GERMAN), "");
    EXPECT_EQ(gwxApp::NameFromLanguage(wxLANGUAGE_ENGLISH_US), "");
}
