// What a transport behind the device-link facade must provide.
#pragma once

#include "OscilloTypes.h"
#include "kit/SoftAddrMap.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Who takes the recording's samples.
enum class EnumSamplingMode {
    None,
    PolledByComputer,    // this computer reads the elements at the period; the tick is its slot
    PolledWithClock,     // the same, each sample filed at the controller's millisecond counter
    SampledInController, // the controller samples in its own cycle; the tick is its counter
};

// How the sampling of the running recording goes.
struct tagLinkStatistics {
    EnumSamplingMode mode = EnumSamplingMode::None;
    uint64_t records = 0;          // records read from the controller's trace block
    uint64_t ringOverruns = 0;     // times its ring was lapped before it was read
    uint64_t duplicates = 0;       // polls that saw the controller's millisecond again (dropped)
    double controllerPeriodMs = 0; // the period the controller samples at
    uint64_t skippedTicks = 0;     // ticks no sample was taken for
    uint64_t polls = 0;            // samples taken
    uint64_t failedPolls = 0;      // polls that got no valid reply (their ticks are skipped)
    double meanLateMicros = 0;     // how late polls started against their slots
    double maxLateMicros = 0;
    double meanPollMicros = 0; // how long a poll's requests took
    double maxPollMicros = 0;
};

class CLinkBackend {
public:
    virtual ~CLinkBackend() = default;

    // Opens the link of the given interface with the settings; true when open.
    virtual bool Open(EnumInterfaceType type, const tagSerialInfo& info) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Controller state query; true when the controller answered.
    virtual bool QueryState(uint32_t& state) = 0;
    virtual int UsbCount() = 0;
    // Probe at the open serial format; reply[0] describes the controller's own format.
    virtual bool ProbeSerialFormat(int waitMs, std::vector<uint8_t>& reply) = 0;

    virtual bool SetOscillo(int command, tagOscilloSetting& setting) = 0;
    // Appends what has been sampled since the last call.
    virtual bool GetOscillo(tagOscilloData& data) = 0;
    // Whom a link that samples on a thread of its own tells, from that thread, that samples came.
    virtual void SetSampleListener(std::function<void()> /*listener*/) {}
    // When the next sample is there to read at the latest; max() for a link that tells its
    // listener instead, now for one that cannot tell.
    virtual std::chrono::steady_clock::time_point NextSampleDue() const {
        return std::chrono::steady_clock::now();
    }
    virtual bool WriteElements(const CSoftAddrMap& request) = 0;
    // What one element holds now, as the raw word a sample of the type would carry (a write's
    // read-back). The name is decimal for X and Y, as in a write request.
    virtual bool ReadElement(const std::string& name, EnumGCMDataType type, uint32_t& raw) = 0;

    virtual std::string LastError() const = 0;
    virtual tagLinkStatistics Statistics() const { return {}; }
    // What is wrong with the link's own configuration file, when the defaults are in force
    // because of it; empty when nothing is.
    virtual std::string MapError() const { return {}; }
    // The TCP port every Ethernet link connects to whatever its settings say (a map file's
    // tcp_port); 0 when the settings' port is used.
    virtual uint32_t TcpPortOverride() const { return 0; }
};
