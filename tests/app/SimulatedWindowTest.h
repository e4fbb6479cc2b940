// Widget tests of the main window against the in-process simulated controller, once per language.
#pragma once

#include "TempFolder.h"
#include "dialogs/Translation.h"
#include "support/LinkTestHelpers.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>

class CSimulatedWindowTest : public ::testing::TestWithParam<bool> {
protected:
    // First, so that it goes last.
    CSimulatedLink m_link;

    void SetUp() override { g_ApplyUiLanguage(GetParam()); }
    void TearDown() override { g_ApplyUiLanguage(false); }
    QString Language() const { return GetParam() ? QStringLiteral("zh") : QStringLiteral("en"); }
    CTempFolder m_documents;
};
