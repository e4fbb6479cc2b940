#include "DocPath.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs, with $HOME expanded; empty when not configured.
std::string XdgDocumentsDir(const std::string& home) {
    const std::string config = EnvOr("XDG_CONFIG_HOME", home + "/.config");
    std::ifstream in(config + "/user-dirs.dirs");
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

} // namespace

std::string g_fGetDocPath() {
    const std::string overridden = EnvOr("CHRONOSCOPE_DOCUMENTS", "");
    if (!overridden.empty()) {
        return WithSlash(overridden);
    }
    const std::string home = EnvOr("HOME", "/tmp");
    const std::string xdg = XdgDocumentsDir(home);
    return WithSlash(xdg.empty() ? home + "/Documents" : xdg);
}

bool g_fCreateAllDir(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    std::error_code ec;
    fs::create_directories(path, ec);
    return fs::is_directory(path, ec);
}

bool g_fFileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string g_LadderDeskFolder() {
    return g_fGetDocPath() + "LadderDesk/";
}
