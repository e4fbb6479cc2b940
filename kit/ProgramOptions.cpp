#include "ProgramOptions.h"

#include "NumberText.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string Value(const EnvironmentLookup& lookup, const char* name) {
    const char* value = lookup(name);
    return value ? std::string(value) : std::string();
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs, with $HOME expanded; empty when not configured.
std::string XdgDocumentsDir(const std::string& configHome, const std::string& home) {
    std::ifstream in(configHome + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) {
            continue;
        }
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.rfind("$HOME", 0) == 0) {
            value = home + value.substr(5);
        }
        // A documents folder equal to the home folder means "not set up".
        if (!value.empty() && fs::path(value) != fs::path(home)) {
            return value;
        }
    }
    return {};
}

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

} // namespace

tagProgramOptions g_ReadProgramOptions(const EnvironmentLookup& lookup) {
    tagProgramOptions options;
    const std::string documents = Value(lookup, "CHRONOSCOPE_DOCUMENTS");
    if (!documents.empty()) {
        options.documentsFolder = WithSlash(documents);
    } else {
        std::string home = Value(lookup, "HOME");
        if (home.empty()) {
            home = "/tmp";
        }
        std::string configHome = Value(lookup, "XDG_CONFIG_HOME");
        if (configHome.empty()) {
            configHome = home + "/.config";
        }
        const std::string xdg = XdgDocumentsDir(configHome, home);
        options.documentsFolder = WithSlash(xdg.empty() ? home + "/Documents" : xdg);
    }
    options.simulator = Value(lookup, "CHRONOSCOPE_SIMULATOR") == "1";
    const double speed = g_ParseNumber(Value(lookup, "CHRONOSCOPE_SIM_SPEED")).value_or(1.0);
    options.simulatorSpeed = speed >= 1.0 && speed <= 10000.0 ? speed : 1.0;
    options.serialFolder = Value(lookup, "CHRONOSCOPE_SERIAL_DIR");
    options.autoCloseMs = static_cast<int>(
        g_ParseIntegerIn(Value(lookup, "CHRONOSCOPE_AUTOCLOSE_MS"), 1, 86'400'000).value_or(0));
    return options;
}
