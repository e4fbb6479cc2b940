// The device-link facade: every call the program makes to the controller goes through here.
// Calls return 1 for success. The last two arguments of the oscilloscope and state calls are the
// execution mode and command level, always 1 and 0.
#pragma once

#include "LinkBackend.h"
#include "OscilloTypes.h"
#include "kit/SoftAddrMap.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CCommunicater {
public:
    // The real transports, unless a backend is in place already. Called once before the main
    // window exists.
    static void Instance();
    // The given backend (a simulated controller, say), replacing any other.
    static void Instance(std::unique_ptr<CLinkBackend> backend);
    static void Destroy();

    static void SetProtocal(uint32_t* protocol);
    static void SetInterface(uint32_t type);
    // Remembers the settings; the link (re)opens with them when it is next needed.
    static void SetCommunicatCPPCfg(const tagSerialInfo* info, void* window);
    static int OpenCPPSerialPort(const tagSerialInfo* info);
    static int CloseCPPSerialPort();

    static long GetGCMState(uint32_t* state, void* window, int mode, int level);
    static int GetUSBCount();
    // Probes the open serial link; reply[0] describes the controller's own serial format.
    static long TestBauteRate(uint8_t* out, int wait, std::vector<uint8_t>* reply, void* window, int mode,
                              int level);

    static long OscilloSetData(int command, tagOscilloSetting* setting, int mode, int level);
    static long OscilloGetData(tagOscilloData* data, void* window, int mode, int level);
    // Who is told (from the link's own thread) when samples come; an empty function for nobody.
    static void OscilloSetListener(std::function<void()> listener);
    // When there are samples to read at the latest, for a reader that sleeps until then.
    static std::chrono::steady_clock::time_point OscilloNextDue();
    static long OscilloWriteElem(CSoftAddrMap* request);
    // Reads one element back (after a write): the raw word a sample of the type would carry.
    static long OscilloReadElem(const std::string& name, EnumGCMDataType type, uint32_t* raw);

    // Why the last call failed, in the link's words; empty when nothing is known.
    static std::string LastError();
    // How the running recording's sampling goes.
    static tagLinkStatistics Statistics();
    // What is wrong with the link's configuration file (the Modbus map), when its defaults are in
    // force because of it; empty when nothing is.
    static std::string MapError();
    // The port Ethernet links really connect to when it is not the settings' one; 0 otherwise.
    static uint32_t TcpPortOverride();
};
