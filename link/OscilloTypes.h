// Records exchanged with the device link: channel definitions, settings and sample blocks.
#pragma once

#include "kit/DataTypes.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Link interface chosen in the communication settings.
enum EnumInterfaceType : uint32_t {
    INTERFACE_SERIAL = 0,
    INTERFACE_ETHERNET = 1,
    INTERFACE_USB = 2,
};

constexpr int kMaxChannels = 6;

// One recorded channel: a soft element (D100, X17) or an axis parameter (AXIS3 + code).
struct tagOscilloElem {
    std::string name;
    uint16_t paramCode = 0;
    EnumGCMDataType dataType = GCM_BOOL;
    uint32_t colour = 0; // 0x00BBGGRR

    bool operator==(const tagOscilloElem&) const = default;
};

// One sampling instant: controller tick and one raw word per channel.
struct tagOscilloVal {
    uint32_t tick = 0;
    std::array<uint32_t, kMaxChannels> raw{};
};

// What one read returns: the samples (oldest first) and one type per channel.
struct tagOscilloData {
    std::vector<tagOscilloVal> samples;
    std::vector<EnumGCMDataType> types;
};

// Sent with the oscilloscope commands.
struct tagOscilloSetting {
    uint32_t run = 0;
    uint16_t requestedPeriod = 0; // 1/8 ms
    uint16_t actualPeriod = 0;    // 1/8 ms, may be changed by the link
    std::vector<tagOscilloElem> channels;
};

// Link settings: nine 32-bit words, stored in this order in the data file.
struct tagSerialInfo {
    uint32_t comPort = 1;
    uint32_t baudRate = 19200;
    uint32_t dataBits = 8;
    uint32_t stopBits = 1;
    uint32_t parity = 0;             // 0 none, 1 odd, 2 even
    uint32_t ipAddress = 0x0A01A8C0; // 192.168.1.10, first octet in the lowest byte
    uint32_t tcpPort = 9016;
    uint32_t usbPort = 0;
    uint32_t timeout = 0; // seconds; 0 = library default

    bool operator==(const tagSerialInfo&) const = default;
};

// The parity of the settings as a letter: N, O or E.
inline char g_ParityLetter(uint32_t parity) {
    return parity == 1 ? 'O' : parity == 2 ? 'E' : 'N';
}

// The serial format in the usual short form: "19200 8N1".
inline std::string g_SerialFormatText(const tagSerialInfo& info) {
    return std::to_string(info.baudRate) + " " + std::to_string(info.dataBits) + g_ParityLetter(info.parity) +
           std::to_string(info.stopBits);
}

// The dotted form of an address in network byte order (first octet in the lowest byte).
inline std::string g_IpAddressText(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address & 0xFF, (address >> 8) & 0xFF,
                  (address >> 16) & 0xFF, address >> 24);
    return text;
}

// Oscilloscope commands.
constexpr int OSCILLO_CMD_LOAD = 146;
constexpr int OSCILLO_CMD_RUN = 148;

// Success value of every link call.
constexpr long LINK_OK = 1;
