#include "BinaryArchive.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "the stream layout is written for little-endian hosts");

namespace {

constexpr size_t kBufferSize = 4096;

} // namespace

std::unique_ptr<CBinaryArchive> CBinaryArchive::OpenFile(const std::string& path, EnumMode mode) {
    std::FILE* file = std::fopen(path.c_str(), mode == Store ? "wb" : "rb");
    if (!file) {
        return nullptr;
    }
    // Stores go through our own buffer so that an abandoned file gets nothing more; loads use the
    // library's.
    std::setvbuf(file, nullptr, mode == Store ? _IONBF : _IOFBF, kBufferSize);
    return std::unique_ptr<CBinaryArchive>(new CBinaryArchive(file, mode));
}

CBinaryArchive::CBinaryArchive(std::FILE* file, EnumMode mode) : m_mode(mode), m_file(file) {
    m_buffer.reserve(kBufferSize);
}

CBinaryArchive::CBinaryArchive(std::vector<uint8_t>& memory, EnumMode mode)
    : m_mode(mode), m_memory(&memory) {}

CBinaryArchive::~CBinaryArchive() {
    Abort();
}

void CBinaryArchive::WriteU16(uint16_t v) {
    WriteBytes(&v, sizeof v);
}
void CBinaryArchive::WriteU32(uint32_t v) {
    WriteBytes(&v, sizeof v);
}
void CBinaryArchive::WriteU64(uint64_t v) {
    WriteBytes(&v, sizeof v);
}
void CBinaryArchive::WriteDouble(double v) {
    WriteBytes(&v, sizeof v);
}

void CBinaryArchive::WriteBytes(const void* data, size_t size) {
    if (m_mode != Store) {
        throw CArchiveException(CArchiveException::WriteError, "the archive is open for reading");
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (m_memory) {
        m_memory->insert(m_memory->end(), bytes, bytes + size);
        return;
    }
    if (!m_file) {
        throw CArchiveException(CArchiveException::WriteError, "the archive is closed");
    }
    if (m_buffer.size() + size > kBufferSize) {
        Flush();
    }
    if (size >= kBufferSize) {
        if (std::fwrite(bytes, 1, size, m_file) != size) {
            throw CArchiveException(CArchiveException::WriteError, "the file cannot be written");
        }
        return;
    }
    m_buffer.insert(m_buffer.end(), bytes, bytes + size);
}

uint8_t CBinaryArchive::ReadU8() {
    uint8_t v = 0;
    ReadBytes(&v, sizeof v);
    return v;
}

uint16_t CBinaryArchive::ReadU16() {
    uint16_t v = 0;
    ReadBytes(&v, sizeof v);
    return v;
}

uint32_t CBinaryArchive::ReadU32() {
    uint32_t v = 0;
    ReadBytes(&v, sizeof v);
    return v;
}

uint64_t CBinaryArchive::ReadU64() {
    uint64_t v = 0;
    ReadBytes(&v, sizeof v);
    return v;
}

double CBinaryArchive::ReadDouble() {
    double v = 0;
    ReadBytes(&v, sizeof v);
    return v;
}

void CBinaryArchive::ReadBytes(void* data, size_t size) {
    if (m_mode != Load) {
        throw CArchiveException(CArchiveException::ReadError, "the archive is open for writing");
    }
    if (m_memory) {
        if (m_memory->size() - m_readPos < size) {
            m_readPos = m_memory->size();
            throw CArchiveException(CArchiveException::EndOfFile, "the data ends early");
        }
        std::memcpy(data, m_memory->data() + m_readPos, size);
        m_readPos += size;
        return;
    }
    if (!m_file) {
        throw CArchiveException(CArchiveException::ReadError, "the archive is closed");
    }
    if (std::fread(data, 1, size, m_file) != size) {
        const bool failed = std::ferror(m_file) != 0;
        throw CArchiveException(failed ? CArchiveException::ReadError : CArchiveException::EndOfFile,
                                failed ? "the file cannot be read" : "the data ends early");
    }
}

void CBinaryArchive::Flush() {
    if (!m_file || m_mode != Store) {
        return;
    }
    if (!m_buffer.empty() && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) {
        m_buffer.clear();
        throw CArchiveException(CArchiveException::WriteError, "the file cannot be written");
    }
    m_buffer.clear();
    if (std::fflush(m_file) != 0) {
        throw CArchiveException(CArchiveException::WriteError, "the file cannot be written");
    }
}

void CBinaryArchive::Close() {
    if (!m_file) {
        return;
    }
    Flush();
    const bool failed = std::fclose(m_file) != 0;
    m_file = nullptr;
    if (failed) {
        throw CArchiveException(CArchiveException::WriteError, "the file cannot be closed");
    }
}

void CBinaryArchive::Abort() {
    if (m_file) {
        m_buffer.clear();
        std::fclose(m_file);
        m_file = nullptr;
    }
}
