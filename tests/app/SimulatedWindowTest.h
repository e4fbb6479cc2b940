// Widget tests of the main window against the in-process simulated controller, once per language.
#pragma once

#include "TempFolder.h"
#include "dialogs/Translation.h"
#include "link/Communicater.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>

class CSimulatedWindowTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        setenv("CHRONOSCOPE_SIMULATOR", "1", 1);
        CCommunicater::Instance();
        g_ApplyUiLanguage(GetParam());
    }
    void TearDown() override {
        g_ApplyUiLanguage(false);
        CCommunicater::Destroy();
        unsetenv("CHRONOSCOPE_SIMULATOR");
    }
    QString Language() const { return GetParam() ? QStringLiteral("zh") : QStringLiteral("en"); }
    CTempFolder m_documents;
};
