// The controller's data types, shared by the link, the files and the tables.
#pragma once

#include <cstdint>

// Data type codes as the controller and the files know them.
enum EnumGCMDataType : uint32_t {
    GCM_BOOL = 1,
    GCM_UINT = 2, // unsigned 16-bit axis parameter
    GCM_INT = 4,
    GCM_UDINT = 8, // unsigned 32-bit axis parameter
    GCM_DINT = 16,
    GCM_REAL = 32,
    GCM_USINT = 64, // unsigned 8-bit axis parameter
};
