// How the port names of the link settings map to Linux serial devices. COM1..COM299 are the
// program's historic three families; the numbers above reach every other kind of tty:
//   COM1..COM99      -> ttyS0..ttyS98
//   COM100..COM199   -> ttyUSB0..ttyUSB99
//   COM200..COM299   -> ttyACM0..ttyACM99
//   COM300..COM1499  -> a hundred each: ttyAMA, ttymxc, ttyO, ttyTHS, rfcomm, ttyXRUSB, ttySAC,
//                       ttyPS, ttySC, ttyLP, ttyMSM, ttyAML (ARM boards' UARTs, Bluetooth, Exar)
//   COM2000..COM2999 -> pts/0..pts/999 (pseudo-terminals)
//   COM5000..COM5999 -> any other tty* device of the folder, in name order
//   USBn             -> the n-th USB serial device: ttyUSB* in number order, then ttyACM*
// The devices are looked for in /dev, or in another folder (tests point it at links to
// pseudo-terminals).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The folder the devices are looked for in: /dev unless the program's options say otherwise.
void g_SetSerialDirectory(const std::string& folder);
std::string g_SerialDirectory();
// The device of a COM port number in the serial folder; empty when the number names no device.
std::string g_SerialDeviceOfComPort(uint32_t comPort);
// USB serial devices present, in USB index order.
std::vector<std::string> g_UsbSerialDevices();
// The COM port number of a device name in the serial folder (ttyUSB0: 100, pts/3: 2003); 0 when
// the name is no serial device's.
uint32_t g_ComPortOfDevice(const std::string& name);
// The COM port numbers of every serial device in the serial folder, in order.
std::vector<uint32_t> g_ComPortsInDirectory();

// A device path given by the user, as the link reaches it: its folder and its COM number there.
struct tagSerialDevicePlace {
    std::string folder;
    uint32_t comPort = 0;
};
// Follows links such as /dev/serial/by-id/...; false with the reason when the path is no
// terminal or no name the numbering covers.
bool g_PlaceOfSerialDevice(const std::string& path, tagSerialDevicePlace& place, std::string& error);
