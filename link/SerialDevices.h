// How the port names of the link settings map to Linux serial devices:
//   COM1..COM99    -> /dev/ttyS0..ttyS98
//   COM100..COM199 -> /dev/ttyUSB0..ttyUSB99
//   COM200..COM299 -> /dev/ttyACM0..ttyACM99
//   USBn           -> the n-th USB serial device: ttyUSB* in number order, then ttyACM*
// Another folder may replace /dev (tests point it at pseudo-terminal links).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The folder the devices are looked for in: /dev unless the program's options say otherwise.
void g_SetSerialDirectory(const std::string& folder);
std::string g_SerialDirectory();
// The device of a COM port number; empty when the number names no family.
std::string g_SerialDeviceOfComPort(uint32_t comPort);
// USB serial devices present, in USB index order.
std::vector<std::string> g_UsbSerialDevices();
// The COM port number of a device name such as ttyUSB0 (100); 0 when it names no family.
uint32_t g_ComPortOfDevice(const std::string& name);
// The COM port numbers of every serial device in the serial directory, in order.
std::vector<uint32_t> g_ComPortsInDirectory();
