#include "LinkSettings.h"

#include "link/Communicater.h"

void CLinkSettings::Apply() {
    CCommunicater::SetInterface(m_state.interfaceType);
    CCommunicater::SetCommunicatCPPCfg(&m_state.link, nullptr);
}

void CLinkSettings::Set(const tagLinkFields& fields) {
    m_state.link = fields.link;
    m_state.interfaceType = fields.interfaceType;
    Apply();
}

void CLinkSettings::EndCommSettings(bool accepted, const tagLinkFields& fields) {
    if (accepted) {
        m_state.link = fields.link;
    }
    // The dialog switches the link's interface as soon as another is chosen, and Cancel keeps the
    // switch: the window takes the interface the link now uses, so that the two agree.
    m_state.interfaceType = fields.interfaceType;
    CCommunicater::SetCommunicatCPPCfg(&m_state.link, nullptr);
}
