// Control ids of the main window's template, also the controls' object names.
#pragma once

struct tagMainWindowIds {
    enum EnumControlId {
        IDC_CHART = 1000,
        IDC_RUN = 1007,
        IDC_CLEAR = 1009,
        IDC_WRITE = 1003,
        IDC_EXPORT = 1013,
        IDC_IMPORT = 1014,
        IDC_TRIGGER = 1004,
        IDC_COMMUNICATE = 1001,
        IDC_CHANNEL = 1008,
        IDC_MEASUREMENT = 1015,
        IDC_ADAPTIVE = 1025,
        IDC_PERIOD_LABEL = 1028,
        IDC_PERIOD = 1016,
        IDC_TIME_AXIS_LABEL = 1029,
        IDC_TIME_AXIS = 1010,
        IDC_WRITE_GROUP = 1030,
        IDC_ADDRESS_LABEL = 1031,
        IDC_ADDRESS = 1012,
        IDC_VALUE_LABEL = 1032,
        IDC_WRITE_TYPE = 1006,
        IDC_VALUE = 1011,
        IDC_TABLE = 1740,
    };
};
