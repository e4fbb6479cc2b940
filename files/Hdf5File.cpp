#include "Hdf5File.h"

#include "acquisition/ChannelModel.h"
#include "kit/AtomicFile.h"
#include "kit/DocPath.h"
#include "kit/TextHelpers.h"

#include <hdf5.h>

#include <algorithm>
#include <set>
#include <vector>

#ifndef CHRONOSCOPE_VERSION
#define CHRONOSCOPE_VERSION "unknown"
#endif

namespace {

constexpr hsize_t kChunk = 65536; // points per chunk, written one at a time
constexpr unsigned kDeflateLevel = 4;
constexpr const char* kLayout =
    "One group per channel, named as the channel table names it. Each holds time_ms (the sample "
    "times in milliseconds on the recording's time axis) and value (the channel's values), both "
    "float64 of equal length; the attributes element, type, period_ms, start_utc and "
    "program_version describe it.";

// An HDF5 handle that closes itself.
class CHandle {
public:
    CHandle(hid_t id, herr_t (*close)(hid_t)) : m_id(id), m_close(close) {}
    ~CHandle() {
        if (m_id >= 0) {
            m_close(m_id);
        }
    }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    hid_t operator*() const { return m_id; }
    explicit operator bool() const { return m_id >= 0; }

private:
    hid_t m_id;
    herr_t (*m_close)(hid_t);
};

bool TextAttribute(hid_t on, const char* name, const std::string& text) {
    const CHandle type(H5Tcopy(H5T_C_S1), H5Tclose);
    H5Tset_size(*type, text.size() + 1); // with its terminating null
    H5Tset_cset(*type, H5T_CSET_UTF8);
    const CHandle space(H5Screate(H5S_SCALAR), H5Sclose);
    const CHandle attribute(H5Acreate2(on, name, *type, *space, H5P_DEFAULT, H5P_DEFAULT), H5Aclose);
    return attribute && H5Awrite(*attribute, *type, text.c_str()) >= 0;
}

bool NumberAttribute(hid_t on, const char* name, double value) {
    const CHandle space(H5Screate(H5S_SCALAR), H5Sclose);
    const CHandle attribute(H5Acreate2(on, name, H5T_IEEE_F64LE, *space, H5P_DEFAULT, H5P_DEFAULT), H5Aclose);
    return attribute && H5Awrite(*attribute, H5T_NATIVE_DOUBLE, &value) >= 0;
}

// One dataset of n values, written chunk by chunk from what value(i) gives.
template <class Value> bool WriteColumn(hid_t group, const char* name, hsize_t n, Value value) {
    const CHandle space(H5Screate_simple(1, &n, nullptr), H5Sclose);
    const CHandle properties(H5Pcreate(H5P_DATASET_CREATE), H5Pclose);
    if (n > 0) {
        const hsize_t chunk = std::min(n, kChunk);
        H5Pset_chunk(*properties, 1, &chunk);
        H5Pset_shuffle(*properties);
        H5Pset_deflate(*properties, kDeflateLevel);
    }
    const CHandle data(H5Dcreate2(group, name, H5T_IEEE_F64LE, *space, H5P_DEFAULT, *properties, H5P_DEFAULT),
                       H5Dclose);
    if (!data) {
        return false;
    }
    std::vector<double> buffer;
    for (hsize_t first = 0; first < n; first += kChunk) {
        const hsize_t count = std::min(kChunk, n - first);
        buffer.resize(count);
        for (hsize_t i = 0; i < count; ++i) {
            buffer[i] = value(first + i);
        }
        const CHandle memory(H5Screate_simple(1, &count, nullptr), H5Sclose);
        if (H5Sselect_hyperslab(*space, H5S_SELECT_SET, &first, nullptr, &count, nullptr) < 0 ||
            H5Dwrite(*data, H5T_NATIVE_DOUBLE, *memory, *space, H5P_DEFAULT, buffer.data()) < 0) {
            return false;
        }
    }
    return true;
}

// Group names as the table shows channels; a name twice gets _2, _3.
std::string GroupName(const tagOscilloElem& channel, std::set<std::string>& taken) {
    std::string name = ChannelDisplayName(channel);
    std::replace(name.begin(), name.end(), '/', '_');
    if (name.empty() || name == ".") {
        name = "channel";
    }
    std::string unique = name;
    for (int n = 2; !taken.insert(unique).second; ++n) {
        unique = name + "_" + std::to_string(n);
    }
    return unique;
}

bool WriteChannels(hid_t file, const tagMonitorState& state, const CTraceSet& traces,
                   const std::string& startUtc) {
    if (!TextAttribute(file, "layout", kLayout) ||
        !TextAttribute(file, "program_version", CHRONOSCOPE_VERSION)) {
        return false;
    }
    std::set<std::string> taken;
    for (size_t k = 0; k < state.channels.size(); ++k) {
        const tagOscilloElem& channel = state.channels[k];
        const CHandle group(
            H5Gcreate2(file, GroupName(channel, taken).c_str(), H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT),
            H5Gclose);
        const CTrace& trace = traces.Trace(k);
        const hsize_t n = trace.GetPointCount();
        const std::string_view type = DataTypeText(channel.dataType);
        if (!group || !TextAttribute(*group, "element", channel.name) ||
            !TextAttribute(*group, "type", std::string(type)) ||
            !NumberAttribute(*group, "period_ms", state.period) ||
            !TextAttribute(*group, "program_version", CHRONOSCOPE_VERSION) ||
            (!startUtc.empty() && !TextAttribute(*group, "start_utc", startUtc)) ||
            !WriteColumn(*group, "time_ms", n,
                         [&](hsize_t i) { return trace.GetXValue(static_cast<uint32_t>(i)); }) ||
            !WriteColumn(*group, "value", n,
                         [&](hsize_t i) { return trace.GetYValue(static_cast<uint32_t>(i)); })) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsHdf5Path(const std::string& path) {
    const auto ends = [&](std::string_view suffix) {
        return path.size() >= suffix.size() &&
               path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    return ends(".h5") || ends(".hdf5");
}

bool WriteHdf5File(const std::string& path, const tagMonitorState& state, const CTraceSet& traces,
                   const std::string& startUtc, std::string* error) {
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr); // failures are told through the result, not printed
    const std::string folder = g_FolderOf(path);
    if (!folder.empty() && !g_fCreateAllDir(folder)) {
        if (error) {
            *error = folder + ": cannot create the folder";
        }
        return false;
    }
    CAtomicFile atomic(path);
    bool written = false;
    {
        const CHandle file(H5Fcreate(atomic.TempPath().c_str(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT),
                           H5Fclose);
        written =
            file && WriteChannels(*file, state, traces, startUtc) && H5Fflush(*file, H5F_SCOPE_GLOBAL) >= 0;
    }
    if (!written) {
        if (error) {
            *error = path + ": the file cannot be written";
        }
        return false;
    }
    return atomic.Commit(error);
}
