#include "Communicater.h"

#include "ModbusLink.h"

#include <memory>

namespace {

struct tagLinkState {
    std::unique_ptr<CLinkBackend> backend;
    EnumInterfaceType interfaceType = INTERFACE_SERIAL;
    tagSerialInfo settings;
    bool haveSettings = false;
};

tagLinkState& State() {
    static tagLinkState state;
    return state;
}

// Opens the link with the remembered settings when it is not open yet.
CLinkBackend* OpenBackend() {
    tagLinkState& s = State();
    if (!s.backend) {
        return nullptr;
    }
    if (!s.backend->IsOpen() && s.haveSettings) {
        s.backend->Open(s.interfaceType, s.settings);
    }
    return s.backend.get();
}

long Result(bool ok) {
    return ok ? LINK_OK : 0;
}

} // namespace

void CCommunicater::Instance() {
    if (!State().backend) {
        State().backend = std::make_unique<CModbusLink>();
    }
}

void CCommunicater::Instance(std::unique_ptr<CLinkBackend> backend) {
    State() = tagLinkState{};
    State().backend = std::move(backend);
}

void CCommunicater::Destroy() {
    State() = tagLinkState{};
}

void CCommunicater::SetProtocal(uint32_t* /*protocol*/) {
    // Every backend speaks one protocol; the window's choice (always 0) selects nothing.
}

void CCommunicater::SetInterface(uint32_t type) {
    tagLinkState& s = State();
    const auto wanted = static_cast<EnumInterfaceType>(type);
    if (wanted != s.interfaceType && s.backend) {
        s.backend->Close();
    }
    s.interfaceType = wanted;
}

void CCommunicater::SetCommunicatCPPCfg(const tagSerialInfo* info, void* /*window*/) {
    tagLinkState& s = State();
    if (!info) {
        return;
    }
    if (s.backend && s.haveSettings && !(s.settings == *info)) {
        s.backend->Close();
    }
    s.settings = *info;
    s.haveSettings = true;
}

int CCommunicater::OpenCPPSerialPort(const tagSerialInfo* info) {
    tagLinkState& s = State();
    if (!s.backend || !info) {
        return 0;
    }
    s.backend->Close();
    s.settings = *info;
    s.haveSettings = true;
    return s.backend->Open(s.interfaceType, *info) ? 1 : 0;
}

int CCommunicater::CloseCPPSerialPort() {
    if (State().backend) {
        State().backend->Close();
    }
    return 1;
}

long CCommunicater::GetGCMState(uint32_t* state, void*, int, int) {
    CLinkBackend* backend = OpenBackend();
    uint32_t value = 0;
    const bool ok = backend && backend->QueryState(value);
    if (ok && state) {
        *state = value;
    }
    return Result(ok);
}

int CCommunicater::GetUSBCount() {
    return State().backend ? State().backend->UsbCount() : 0;
}

long CCommunicater::TestBauteRate(uint8_t* out, int wait, std::vector<uint8_t>* reply, void*, int, int) {
    std::vector<uint8_t> bytes;
    CLinkBackend* backend = State().backend.get();
    const bool ok = backend && backend->IsOpen() && backend->ProbeSerialFormat(wait, bytes);
    if (out) {
        *out = bytes.empty() ? 0 : bytes[0];
    }
    if (reply) {
        *reply = std::move(bytes);
    }
    return Result(ok);
}

long CCommunicater::OscilloSetData(int command, tagOscilloSetting* setting, int, int) {
    CLinkBackend* backend = OpenBackend();
    return Result(backend && setting && backend->SetOscillo(command, *setting));
}

long CCommunicater::OscilloGetData(tagOscilloData* data, void*, int, int) {
    CLinkBackend* backend = State().backend.get();
    return Result(backend && data && backend->GetOscillo(*data));
}

void CCommunicater::OscilloSetListener(std::function<void()> listener) {
    if (State().backend) {
        State().backend->SetSampleListener(std::move(listener));
    }
}

std::chrono::steady_clock::time_point CCommunicater::OscilloNextDue() {
    return State().backend ? State().backend->NextSampleDue() : std::chrono::steady_clock::now();
}

long CCommunicater::OscilloWriteElem(CSoftAddrMap* request) {
    CLinkBackend* backend = OpenBackend();
    return Result(backend && request && backend->WriteElements(*request));
}

long CCommunicater::OscilloReadElem(const std::string& name, EnumGCMDataType type, uint32_t* raw) {
    CLinkBackend* backend = OpenBackend();
    uint32_t word = 0;
    const bool ok = backend && backend->ReadElement(name, type, word);
    if (ok && raw) {
        *raw = word;
    }
    return Result(ok);
}

std::string CCommunicater::LastError() {
    return State().backend ? State().backend->LastError() : std::string("the link is not set up");
}

tagLinkStatistics CCommunicater::Statistics() {
    return State().backend ? State().backend->Statistics() : tagLinkStatistics{};
}

std::string CCommunicater::MapError() {
    return State().backend ? State().backend->MapError() : std::string();
}

uint32_t CCommunicater::TcpPortOverride() {
    return State().backend ? State().backend->TcpPortOverride() : 0;
}
