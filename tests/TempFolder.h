// A fresh temporary folder per test, removed afterwards; also the documents folder of the test
// and of the programs it starts.
#pragma once

#include "kit/DocPath.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

class CTempFolder {
public:
    CTempFolder() {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() / ("chronoscope-test-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
        g_SetDocPath(m_path.string());
        setenv("CHRONOSCOPE_DOCUMENTS", m_path.c_str(), 1);
    }
    ~CTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    std::string Path() const { return m_path.string(); }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};
