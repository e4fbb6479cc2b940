// The communication dialog's controls as a plain record: tests set what a user would set in
// `shown` and call the handler the control would call.
#pragma once

#include "TempFolder.h"
#include "acquisition/StringIds.h"
#include "link/Communicater.h"
#include "session/CommSettingLogic.h"
#include "session/CommSettingView.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CTestCommView : public CCommSettingView {
public:
    std::vector<std::string> ports{"COM1", "COM3", "COM5"};
    tagCommControls shown;
    std::vector<std::string> repainted; // the progress text at every repaint
    std::vector<int> messages;
    int notAnInteger = 0;
    int waitCursor = 0;
    bool accepted = false;
    // Runs at every repaint, as the user's clicks would while a test runs.
    std::function<void()> duringRepaint;

    std::vector<std::string> FillPortList() override { return ports; }
    void ReadControls(tagCommControls& controls) override {
        controls.interfaceChoice = shown.interfaceChoice;
        controls.serialIndex = shown.serialIndex;
        controls.usbIndex = shown.usbIndex;
        controls.peerIndex = shown.peerIndex;
        controls.ipAddress = shown.ipAddress;
        controls.tcpPortText = shown.tcpPortText;
        controls.highDelay = shown.highDelay;
        controls.timeoutText = shown.timeoutText;
    }
    void ShowControls(const tagCommControls& controls) override { shown = controls; }
    void Repaint() override {
        repainted.push_back(shown.progress);
        if (duringRepaint) {
            duringRepaint();
        }
    }
    void ShowMessage(int stringId) override { messages.push_back(stringId); }
    void ShowNotAnInteger() override { ++notAnInteger; }
    std::string LoadText(int stringId) override {
        switch (stringId) {
        case IDS_TEST_SUCCESS:
            return "Test success with baud rate %d\n%s,%d,%d";
        case IDS_TEST_FAILED_PROGRESS:
            return "Progress:Test failed!";
        case IDS_TEST_PROGRESS:
            return "Progress:COM%d:%d,%s,%d,%d";
        default:
            return "?";
        }
    }
    void SetWaitCursor(bool on) override { waitCursor += on ? 1 : -1; }
    void Accept() override { accepted = true; }

    void SelectSerialPort(const std::string& name) {
        for (size_t i = 0; i < shown.serialPorts.size(); ++i) {
            if (shown.serialPorts[i] == name) {
                shown.serialIndex = static_cast<int>(i);
            }
        }
    }
};

// The dialog's logic on copies of the settings, opened as the dialog opens it.
class CCommSettingFixture : public ::testing::Test {
protected:
    CCommSettingLogic& Open() {
        CCommunicater::SetInterface(m_type);
        m_logic = std::make_unique<CCommSettingLogic>(m_view, m_settings, m_type);
        m_logic->OnInitDialog();
        return *m_logic;
    }

    CTempFolder m_documents;
    CTestCommView m_view;
    tagSerialInfo m_settings;
    uint32_t m_type = INTERFACE_SERIAL;
    std::unique_ptr<CCommSettingLogic> m_logic;
};
