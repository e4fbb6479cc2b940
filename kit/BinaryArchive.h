// A little-endian binary stream over a file (4096-byte buffer) or a memory block. Traces store
// themselves through it and the recording data file is built on it. Errors raise
// CArchiveException, which the file reader turns into a result.
#pragma once

#include "ArchiveException.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class CBinaryArchive {
public:
    enum EnumMode { Store, Load };

    // nullptr when the file cannot be opened (created or truncated for storing).
    static std::unique_ptr<CBinaryArchive> OpenFile(const std::string& path, EnumMode mode);
    // Stores append to the block; loads read it from the start.
    CBinaryArchive(std::vector<uint8_t>& memory, EnumMode mode);
    ~CBinaryArchive();
    CBinaryArchive(const CBinaryArchive&) = delete;
    CBinaryArchive& operator=(const CBinaryArchive&) = delete;

    bool IsStoring() const { return m_mode == Store; }

    void WriteU8(uint8_t v) { WriteBytes(&v, 1); }
    void WriteU16(uint16_t v);
    void WriteU32(uint32_t v);
    void WriteU64(uint64_t v);
    void WriteDouble(double v);
    void WriteBytes(const void* data, size_t size);

    uint8_t ReadU8();
    uint16_t ReadU16();
    uint32_t ReadU32();
    uint64_t ReadU64();
    double ReadDouble();
    void ReadBytes(void* data, size_t size);

    // Writes buffered bytes through to the file.
    void Flush();
    // Flushes (when storing) and closes the file; raises when the last bytes cannot be written.
    void Close();
    // Closes without writing what is still buffered.
    void Abort();

private:
    CBinaryArchive(std::FILE* file, EnumMode mode);

    EnumMode m_mode;
    std::FILE* m_file = nullptr;
    std::vector<uint8_t>* m_memory = nullptr;
    size_t m_readPos = 0;
    std::vector<uint8_t> m_buffer; // pending output of a file archive
};
