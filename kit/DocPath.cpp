#include "DocPath.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

// Without options: the Documents folder of the user's home as the password database has it.
std::string DefaultDocPath() {
    const passwd* user = getpwuid(getuid());
    const std::string home = user && user->pw_dir ? user->pw_dir : "/tmp";
    return WithSlash(home + "/Documents");
}

std::string& DocPath() {
    static std::string path = DefaultDocPath();
    return path;
}

} // namespace

std::string g_fGetDocPath() {
    return DocPath();
}

void g_SetDocPath(const std::string& folder) {
    DocPath() = folder.empty() ? DefaultDocPath() : WithSlash(folder);
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
