#include "StatusTexts.h"

#include "ReasonTexts.h"
#include "acquisition/StringIds.h"
#include "acquisition/StringTexts.h"
#include "files/WorkspacePaths.h"
#include "kit/KitHelpers.h"
#include "kit/NumberText.h"

#include <cstdio>

std::string g_TriggerStatusText(const tagTriggerStatus& status, const StringLookup& text) {
    const uint32_t eventsSaved = status.eventsSaved;
    if (status.phase == EnumTriggerPhase::Off && !status.triggeredAt) {
        return {};
    }
    std::string line;
    const bool waiting =
        status.phase == EnumTriggerPhase::Waiting || status.phase == EnumTriggerPhase::Rearming;
    if (status.recording && waiting) {
        line = text(IDS_TRIGGER_WAITING);
    } else if (status.triggeredAt) {
        line = g_FormatText(text(IDS_TRIGGER_FIRED_AT), {g_TimeOfDayText(*status.triggeredAt)});
    }
    if (status.repeat && (status.recording || eventsSaved > 0)) {
        const std::string saved =
            eventsSaved == 1 ? text(IDS_TRIGGER_ONE_EVENT_SAVED)
                             : g_FormatText(text(IDS_TRIGGER_EVENTS_SAVED), {std::to_string(eventsSaved)});
        line += line.empty() ? saved : text(IDS_TEXT_SEPARATOR) + saved;
    }
    return line;
}

std::string g_SkippedTicksText(const tagLinkStatistics& statistics, const StringLookup& text) {
    const uint64_t sampled = statistics.mode == EnumSamplingMode::SampledInController
                                 ? statistics.records
                                 : statistics.polls - std::min(statistics.polls, statistics.failedPolls);
    const uint64_t due = sampled + statistics.skippedTicks;
    const double share =
        due ? 100.0 * static_cast<double>(statistics.skippedTicks) / static_cast<double>(due) : 0.0;
    return g_FormatText(text(IDS_SKIPPED_TICKS),
                        {std::to_string(statistics.skippedTicks), g_FixedText(share, 1) + " %"});
}

std::string g_SamplingModeText(const tagLinkStatistics& statistics, const StringLookup& text) {
    switch (statistics.mode) {
    case EnumSamplingMode::SampledInController:
        return text(IDS_SAMPLED_IN_CONTROLLER);
    case EnumSamplingMode::PolledByComputer:
        return text(IDS_POLLED_BY_COMPUTER);
    case EnumSamplingMode::PolledWithClock:
        return text(IDS_POLLED_WITH_CLOCK);
    default:
        return {};
    }
}

std::string g_LinkStatusText(const tagLinkStatistics& statistics, const StringLookup& text) {
    const std::string mode = g_SamplingModeText(statistics, text);
    const std::string skipped = g_SkippedTicksText(statistics, text);
    return mode.empty() ? skipped : mode + "    " + skipped;
}

std::string g_LinkStatisticsDetail(const tagLinkStatistics& statistics, const StringLookup& text) {
    switch (statistics.mode) {
    case EnumSamplingMode::SampledInController:
        return g_FormatText(text(IDS_TRACE_STATISTICS),
                            {std::to_string(statistics.records), std::to_string(statistics.ringOverruns),
                             g_ShortestText(statistics.controllerPeriodMs)});
    case EnumSamplingMode::PolledByComputer:
    case EnumSamplingMode::PolledWithClock:
        return g_FormatText(text(IDS_POLL_STATISTICS),
                            {std::to_string(statistics.polls), std::to_string(statistics.failedPolls),
                             std::to_string(statistics.duplicates)});
    default:
        return {};
    }
}

std::string g_LinkAddressText(const tagMonitorState& state) {
    const tagSerialInfo& l = state.link;
    switch (state.interfaceType) {
    case INTERFACE_ETHERNET:
        return g_IpAddressText(l.ipAddress) + ":" + std::to_string(l.tcpPort);
    case INTERFACE_USB:
        return std::to_string(l.usbPort);
    default:
        return "COM" + std::to_string(l.comPort) + " " + std::to_string(l.baudRate) + " " +
               std::to_string(l.dataBits) + g_ParityLetter(l.parity) + std::to_string(l.stopBits);
    }
}

namespace {

int InterfaceTextId(uint32_t interfaceType) {
    return interfaceType == INTERFACE_ETHERNET ? IDS_LINK_TCP
           : interfaceType == INTERFACE_USB    ? IDS_LINK_USB
                                               : IDS_LINK_SERIAL;
}

} // namespace

std::string g_LinkText(const tagMonitorState& state) {
    return g_FormatText(EnglishStringById(InterfaceTextId(state.interfaceType)), {g_LinkAddressText(state)});
}

std::string g_SessionStatusText(const tagSessionStatus& status, const StringLookup& text) {
    const std::string link = g_FormatText(text(InterfaceTextId(status.interfaceType)), {status.link});
    std::string line = g_FormatText(text(IDS_STATUS_LINK), {link});
    if (status.recording) {
        const long s = static_cast<long>(status.elapsed.count());
        char clock[32];
        std::snprintf(clock, sizeof clock, "%02ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
        line += "    " + g_FormatText(text(IDS_STATUS_RECORDING), {clock});
    } else {
        line += "    " + text(IDS_STATUS_STOPPED);
    }
    if (const std::optional<tagWriteOutcome>& write = status.lastWrite) {
        const std::string& address = write->request.address;
        const std::string& value = write->request.value;
        if (!write->written) {
            // The link's reasons name the element, which the line names already.
            std::string_view reason = write->reason;
            if (!address.empty() && reason.starts_with(address + ": ")) {
                reason.remove_prefix(address.size() + 2);
            }
            line += "    " + g_FormatText(text(IDS_STATUS_NOT_WRITTEN),
                                          {address, value, g_ReasonText(std::string(reason), text)});
        } else if (write->readBack.empty()) {
            line += "    " + g_FormatText(text(IDS_STATUS_WRITTEN), {address, value});
        } else {
            line += "    " + g_FormatText(text(IDS_STATUS_WRITTEN_READS), {address, value, write->readBack});
        }
    }
    if (status.journal) {
        line += "    " + text(status.journalFailure.empty() ? IDS_STATUS_JOURNAL : IDS_STATUS_JOURNAL_OFF);
    }
    return line;
}

std::string g_SessionStatusDetail(const tagSessionStatus& status) {
    // The reasons as the system gave them, where the line shows them in its own words.
    std::string detail = status.journal ? status.journalFailure : std::string();
    if (status.lastWrite && !status.lastWrite->written && !status.lastWrite->reason.empty()) {
        detail += (detail.empty() ? "" : "\n") + status.lastWrite->reason;
    }
    return detail;
}
