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
    void WriteDouble(double v);
    void WriteBytes(const void* data, size_t size);

    uint8_t ReadU8();
    uint16_t ReadU16();
    uint32_t ReadU32();
    uint64_t ReadU64();
    double ReadDouble();
    void ReadBytes(void* data, size_t size);

    // Bytes left to read: what a reader bounds every announced length by before it allocates.
    uint64_t Remaining() const;

    // Strings in the classic archive layout: always written as UTF-16LE behind the FF FE FF
    // marker with a 1-, 3- or 7-byte length; read in that form or as one byte per character.
    // The text on our side is UTF-8.
    void WriteString(const std::string& text);
    std::string ReadString();

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
    uint64_t m_fileSize = 0; // of a file open for loading
    uint64_t m_filePos = 0;
    std::vector<uint8_t> m_buffer; // pending output of a file archive
};
