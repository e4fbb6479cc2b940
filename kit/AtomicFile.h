// A file written the safe way: into a temporary file beside the target, flushed to the disk, then
// renamed over the target. Until Commit the target stays as it was, whatever happens to the
// program or the disk meanwhile.
#pragma once

#include <string>

class CAtomicFile {
public:
    explicit CAtomicFile(std::string target);
    // Removes the temporary file unless it was committed.
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Where to write: a new name in the target's folder.
    const std::string& TempPath() const { return m_temp; }
    // Flushes the written temporary file to the disk and puts it in the target's place. False
    // (with the reason) when that fails; the target is then untouched.
    bool Commit(std::string* error = nullptr);

private:
    std::string m_target;
    std::string m_temp;
    bool m_committed = false;
};
