// Raised by CBinaryArchive when a stream ends early or cannot be written.
#pragma once

#include <stdexcept>
#include <string>

class CArchiveException : public std::runtime_error {
public:
    enum EnumCause { EndOfFile, ReadError, WriteError, BadFormat };

    CArchiveException(EnumCause cause, const std::string& what) : std::runtime_error(what), m_cause(cause) {}
    EnumCause Cause() const { return m_cause; }

private:
    EnumCause m_cause;
};
