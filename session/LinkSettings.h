// The window's link settings and the device link: the interface first, then the settings; the
// communication dialog edits copies.
#pragma once

#include "acquisition/MonitorState.h"

// What the communication dialog edits: copies of the window's link settings.
struct tagLinkFields {
    tagSerialInfo link;
    uint32_t interfaceType = INTERFACE_SERIAL;
};

class CLinkSettings {
public:
    explicit CLinkSettings(tagMonitorState& state) : m_state(state) {}

    // The window's settings into the link.
    void Apply();
    // Settings chosen without the dialog (the command-line recorder's link), applied at once.
    void Set(const tagLinkFields& fields);
    // The Communicate button: the dialog works on copies and OK takes them back; afterwards the
    // library gets the window's settings whatever the answer. The interface the dialog may have
    // switched the library to stays switched, also on Cancel, and the window takes it too.
    tagLinkFields BeginCommSettings() const { return {m_state.link, m_state.interfaceType}; }
    void EndCommSettings(bool accepted, const tagLinkFields& fields);

private:
    tagMonitorState& m_state;
};
