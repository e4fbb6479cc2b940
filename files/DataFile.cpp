#include "DataFile.h"

#include "acquisition/ChannelModel.h"
#include "kit/AtomicFile.h"
#include "kit/DocPath.h"
#include "kit/TextHelpers.h"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

constexpr uint32_t kStoredSeries = kMaxChannels;
// The smallest channel record: an empty name (one length byte), code, colour and type.
constexpr uint64_t kMinChannelRecord = 1 + 2 + 4 + 4;

void StoreLink(CBinaryArchive& ar, const tagMonitorState& s) {
    ar.WriteU32(0); // reserved
    ar.WriteU32(s.interfaceType);
    const tagSerialInfo& l = s.link;
    for (uint32_t word : {l.comPort, l.baudRate, l.dataBits, l.stopBits, l.parity, l.ipAddress, l.tcpPort,
                          l.usbPort, l.timeout}) {
        ar.WriteU32(word);
    }
    ar.WriteU32(s.period);
    ar.WriteU32(s.timeAxisStep);
}

void LoadLink(CBinaryArchive& ar, tagMonitorState& s) {
    ar.ReadU32(); // reserved
    s.interfaceType = ar.ReadU32();
    tagSerialInfo& l = s.link;
    for (uint32_t* word : {&l.comPort, &l.baudRate, &l.dataBits, &l.stopBits, &l.parity, &l.ipAddress,
                           &l.tcpPort, &l.usbPort, &l.timeout}) {
        *word = ar.ReadU32();
    }
    s.period = ar.ReadU32();
    s.timeAxisStep = ar.ReadU32();
}

void StoreTrigger(CBinaryArchive& ar, const tagTriggerSettings& t) {
    ar.WriteU32(t.enable);
    ar.WriteU32(t.channel);
    ar.WriteU32(t.condition);
    ar.WriteDouble(t.value);
}

void LoadTrigger(CBinaryArchive& ar, tagTriggerSettings& t) {
    t.enable = ar.ReadU32();
    t.channel = ar.ReadU32();
    t.condition = ar.ReadU32();
    t.value = ar.ReadDouble();
}

void Store(CBinaryArchive& ar, tagMonitorState& s, CTraceSet& traces, const double* limitX) {
    StoreLink(ar, s);
    ar.WriteU32(static_cast<uint32_t>(s.channels.size()));
    for (const tagOscilloElem& c : s.channels) {
        ar.WriteString(c.name);
        ar.WriteU16(c.paramCode);
        ar.WriteU32(c.colour); // the colour comes before the type in the file
        ar.WriteU32(c.dataType);
    }
    ar.WriteU32(kStoredSeries);
    for (size_t k = 0; k < kStoredSeries; ++k) {
        const CTrace& serie = traces.Trace(k);
        ar.WriteU32(serie.GetStepMode() ? 1 : 0);
        ar.WriteDouble(serie.GetYOffset());
        ar.WriteDouble(serie.GetYScale());
        ar.WriteU32(serie.GetColor());
        ar.WriteU8(serie.IsVisible() ? 1 : 0);
    }
    StoreTrigger(ar, s.trigger);
    for (size_t k = 0; k < kStoredSeries; ++k) {
        traces.Trace(k).Serialize(ar, limitX);
    }
    ar.WriteU32(s.maximized);
    ar.WriteU32(s.autoSave);
    ar.WriteU32(s.cacheSize);
}

void Reset(tagMonitorState& s, CTraceSet& traces) {
    s.channels.clear();
    traces.ResetAll();
    s.trigger.Reset();
}

void Load(CBinaryArchive& ar, tagMonitorState& s, CTraceSet& traces) {
    Reset(s, traces);
    LoadLink(ar, s);
    const uint32_t n = ar.ReadU32();
    if (n > kMaxFileChannels || n * kMinChannelRecord > ar.Remaining()) {
        throw CArchiveException(CArchiveException::BadFormat, "too many channel records");
    }
    for (uint32_t i = 0; i < n; ++i) {
        tagOscilloElem c;
        c.name = ar.ReadString();
        c.paramCode = ar.ReadU16();
        c.colour = ar.ReadU32();
        c.dataType = static_cast<EnumGCMDataType>(ar.ReadU32());
        s.channels.push_back(std::move(c));
    }
    const uint32_t m = ar.ReadU32();
    for (uint32_t i = 0; i < m; ++i) {
        if (i == kStoredSeries) {
            return; // a newer layout with more slots: what we know of it is read
        }
        CTrace& serie = traces.Trace(i);
        serie.SetStepMode(ar.ReadU32() ? 1 : 0);
        const double offset = ar.ReadDouble();
        const double scale = ar.ReadDouble();
        // A damaged number must not reach the drawing.
        serie.SetYOffset(std::isfinite(offset) ? offset : 0.0);
        serie.SetYScale(std::isfinite(scale) && scale > 0.0 ? scale : 1.0);
        serie.SetColor(ar.ReadU32());
        serie.SetVisible(ar.ReadU8() != 0);
    }
    LoadTrigger(ar, s.trigger);
    for (uint32_t i = 0; i < m; ++i) {
        traces.Trace(i).Serialize(ar, nullptr);
    }
    s.maximized = ar.ReadU32();
    s.autoSave = ar.ReadU32();
    s.cacheSize = ar.ReadU32();
}

bool Fail(std::string* error, const std::string& what) {
    if (error) {
        *error = what;
    }
    return false;
}

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

} // namespace

void SerializeData(CBinaryArchive& archive, tagMonitorState& state, CTraceSet& traces, const double* limitX) {
    if (archive.IsStoring()) {
        Store(archive, state, traces, limitX);
    } else {
        Load(archive, state, traces);
    }
}

bool IsDataFilePath(const std::string& path) {
    return path.size() >= 4 && path.compare(path.size() - 4, 4, "data") == 0;
}

bool WriteDataFile(const std::string& path, tagMonitorState& state, CTraceSet& traces, const double* limitX,
                   std::string* error) {
    const std::string folder = g_FolderOf(path);
    if (!folder.empty() && !g_fCreateAllDir(folder)) {
        return Fail(error, SystemError("cannot create the folder", folder));
    }
    // Written beside the target and renamed over it: a failed save leaves the previous file.
    CAtomicFile file(path);
    std::unique_ptr<CBinaryArchive> archive =
        CBinaryArchive::OpenFile(file.TempPath(), CBinaryArchive::Store);
    if (!archive) {
        return Fail(error, SystemError("cannot create a file in", folder.empty() ? "." : folder));
    }
    try {
        SerializeData(*archive, state, traces, limitX);
        archive->Close();
    } catch (const CArchiveException& e) {
        archive->Abort();
        return Fail(error, path + ": " + e.what());
    }
    return file.Commit(error);
}

EnumDataFileRead ReadDataFile(const std::string& path, tagMonitorState& state, CTraceSet& traces,
                              std::string* error) {
    if (!g_fFileExists(path)) {
        Fail(error, path + ": no such file");
        return EnumDataFileRead::Missing;
    }
    std::unique_ptr<CBinaryArchive> archive = CBinaryArchive::OpenFile(path, CBinaryArchive::Load);
    if (!archive) {
        Fail(error, SystemError("cannot open", path));
        return EnumDataFileRead::Missing;
    }
    try {
        SerializeData(*archive, state, traces, nullptr);
    } catch (const CArchiveException& e) {
        Fail(error, path + ": " + e.what() + "; what came before is kept");
        return EnumDataFileRead::Damaged;
    } catch (const std::bad_alloc&) {
        Fail(error, path + ": more points than memory holds; what came before is kept");
        return EnumDataFileRead::Damaged;
    }
    return EnumDataFileRead::Read;
}
