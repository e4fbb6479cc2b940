#include "AtomicFile.h"
#include "TextHelpers.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool Fail(std::string* error, const std::string& what) {
    if (error) {
        *error = what + ": " + std::strerror(errno);
    }
    return false;
}

// Flushes a file or folder to the disk.
bool Sync(const std::string& path, int flags) {
    const int fd = open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

} // namespace

CAtomicFile::CAtomicFile(std::string target) : m_target(std::move(target)) {
    // Unique within the process and across processes writing the same folder.
    static std::atomic<unsigned> counter{0};
    m_temp = m_target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

CAtomicFile::~CAtomicFile() {
    if (!m_committed) {
        std::remove(m_temp.c_str());
    }
}

bool CAtomicFile::Commit(std::string* error) {
    if (!Sync(m_temp, O_RDONLY)) {
        return Fail(error, "cannot flush " + m_temp);
    }
    if (std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        return Fail(error, "cannot replace " + m_target);
    }
    m_committed = true;
    Sync(g_FolderOf(m_target), O_RDONLY | O_DIRECTORY); // the new name itself on the disk
    return true;
}
