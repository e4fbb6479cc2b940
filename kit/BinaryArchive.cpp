#include "BinaryArchive.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>

static_assert(std::endian::native == std::endian::little,
              "the stream layout is written for little-endian hosts");

namespace {

constexpr size_t kBufferSize = 4096;

// What the system said about the last failed call, for the message.
std::string Why(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

std::unique_ptr<CBinaryArchive> CBinaryArchive::OpenFile(const std::string& path, EnumMode mode) {
    std::FILE* file = std::fopen(path.c_str(), mode == Store ? "wb" : "rb");
    if (!file) {
        return nullptr;
    }
    // Stores go through our own buffer so that an abandoned file gets nothing more; loads use the
    // library's.
    std::setvbuf(file, nullptr, mode == Store ? _IONBF : _IOFBF, kBufferSize);
    std::unique_ptr<CBinaryArchive> archive(new CBinaryArchive(file, mode));
    if (mode == Load) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        archive->m_fileSize = ec ? 0 : static_cast<uint64_t>(size);
    }
    return archive;
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
            throw CArchiveException(CArchiveException::WriteError, Why("the file cannot be written"));
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
    if (size == 0) {
        return;
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
    const size_t got = std::fread(data, 1, size, m_file);
    m_filePos += got;
    if (got != size) {
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
        throw CArchiveException(CArchiveException::WriteError, Why("the file cannot be written"));
    }
    m_buffer.clear();
    if (std::fflush(m_file) != 0) {
        throw CArchiveException(CArchiveException::WriteError, Why("the file cannot be written"));
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
        throw CArchiveException(CArchiveException::WriteError, Why("the file cannot be closed"));
    }
}

void CBinaryArchive::Abort() {
    if (m_file) {
        m_buffer.clear();
        std::fclose(m_file);
        m_file = nullptr;
    }
}

uint64_t CBinaryArchive::Remaining() const {
    if (m_mode != Load) {
        return 0;
    }
    if (m_memory) {
        return m_memory->size() - m_readPos;
    }
    return m_fileSize > m_filePos ? m_fileSize - m_filePos : 0;
}

namespace {

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-8 to UTF-16 code units; a malformed byte stands for itself (as Latin-1).
std::u16string ToUtf16(const std::string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<uint8_t>(text[i]);
        uint32_t c = b;
        size_t n = 1;
        if (b >= 0xF0) {
            n = 4;
            c = b & 0x07;
        } else if (b >= 0xE0) {
            n = 3;
            c = b & 0x0F;
        } else if (b >= 0xC0) {
            n = 2;
            c = b & 0x1F;
        }
        bool valid = n == 1 ? b < 0x80 : i + n <= text.size();
        for (size_t k = 1; valid && k < n; ++k) {
            const auto t = static_cast<uint8_t>(text[i + k]);
            valid = (t & 0xC0) == 0x80;
            c = (c << 6) | (t & 0x3F);
        }
        if (!valid) {
            c = b;
            n = 1;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 | (c >> 10));
            out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += n;
    }
    return out;
}

} // namespace

void CBinaryArchive::WriteString(const std::string& text) {
    const std::u16string units = ToUtf16(text);
    const size_t length = units.size();
    WriteU8(0xFF);
    WriteU16(0xFFFE);
    if (length < 0xFF) {
        WriteU8(static_cast<uint8_t>(length));
    } else if (length < 0xFFFE) {
        WriteU8(0xFF);
        WriteU16(static_cast<uint16_t>(length));
    } else {
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(static_cast<uint32_t>(length));
    }
    for (char16_t unit : units) {
        WriteU16(static_cast<uint16_t>(unit));
    }
}

std::string CBinaryArchive::ReadString() {
    bool wide = false;
    uint64_t length = ReadU8();
    if (length == 0xFF) {
        uint16_t word = ReadU16();
        if (word == 0xFFFE) {
            wide = true;
            length = ReadU8();
            if (length == 0xFF) {
                word = ReadU16();
            }
        }
        if (length == 0xFF) {
            length = word;
            if (word == 0xFFFF) {
                length = ReadU32();
                if (length == 0xFFFFFFFF) {
                    length = ReadU64();
                }
            }
        }
    }
    const uint64_t bytes = wide ? length * 2 : length;
    if (length > Remaining() || bytes > Remaining()) {
        throw CArchiveException(CArchiveException::EndOfFile, "a text is longer than the data left");
    }
    std::vector<uint8_t> raw(static_cast<size_t>(bytes));
    ReadBytes(raw.data(), raw.size());
    std::string text;
    if (!wide) {
        for (uint8_t b : raw) {
            AppendUtf8(text, b);
        }
        return text;
    }
    for (size_t i = 0; i < raw.size(); i += 2) {
        uint32_t c = raw[i] | (static_cast<uint32_t>(raw[i + 1]) << 8);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < raw.size()) {
            const uint32_t low = raw[i + 2] | (static_cast<uint32_t>(raw[i + 3]) << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(text, c);
    }
    return text;
}
