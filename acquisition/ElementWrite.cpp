#include "ElementWrite.h"

#include "ChannelModel.h"
#include "kit/ElementKinds.h"
#include "kit/ElementName.h"
#include "kit/KitHelpers.h"
#include "kit/Log.h"
#include "kit/NumberText.h"
#include "kit/TextHelpers.h"
#include "link/Communicater.h"
#include "link/ElementValue.h"

#include <cstdint>

namespace {

constexpr const char* kWritableNames = "bits X0..X777 and Y0..Y777 (octal), M, S, SM; words D, SD, R, W and "
                                       "their bits D100.0 to D100.15 (not R); timers T and counters C";

// The Part's reading of the value: leading numbers, nothing refused.
std::string LenientValue(const std::string& value, EnumGCMDataType type) {
    if (type == GCM_REAL) {
        return g_FixedText(g_LeadingNumber(value));
    }
    const int64_t n = g_LeadingInteger(value);
    if (type == GCM_BOOL) {
        return n < 1 ? "OFF" : "ON";
    }
    return g_IntegerText(n);
}

// A complete value of the type, or why not.
std::optional<std::string> CheckedValue(const std::string& value, EnumGCMDataType type, bool bit,
                                        std::string& refusal) {
    const tagElementValue held = g_ElementValue(type, bit, value);
    if (!held.ok) {
        refusal = held.reason;
        return std::nullopt;
    }
    if (bit) {
        // A dotted bit keeps the word's type; its value goes as the number of the bit.
        return type == GCM_BOOL ? (held.word ? "ON" : "OFF") : (held.word ? "1" : "0");
    }
    if (type == GCM_REAL) {
        return g_ShortestText(*g_ParseNumber(value)); // every digit typed, "%f" would cut them
    }
    return g_IntegerText(static_cast<int32_t>(held.word));
}

// What a read-back word shows: as the table shows the type, a REAL with every digit it holds.
std::string ReadBackText(uint32_t raw, EnumGCMDataType type, bool bit) {
    if (bit && type != GCM_BOOL) {
        return g_IntegerText(raw & 1u);
    }
    if (type == GCM_REAL) {
        return g_ShortestText(g_IntToFloat(raw));
    }
    return FormatValue(ConvertRawValue(raw, type), type);
}

} // namespace

bool ValidateElementName(const std::string& text, std::string& prefix) {
    const std::optional<tagElementName> name = g_SplitElementName(text);
    prefix = name ? name->prefix : std::string();
    // No address range applies to a write: only the kind, octal X and Y, and bits 0..15 of words
    // other than R.
    if (!name || name->IsAxis() || name->kind < 0) {
        return false;
    }
    if (ElementKindTable[name->kind].octal && !g_IsOctal(name->digits)) {
        return false;
    }
    return name->bit < 0 || (name->prefix != "R" && name->bit <= 15);
}

tagWritePlan PrepareWrite(const std::string& addressText, const std::string& valueText, int typeIndex,
                          bool check) {
    tagWritePlan plan;
    tagWriteRequest request;
    request.type = typeIndex == 0   ? GCM_BOOL
                   : typeIndex == 1 ? GCM_INT
                   : typeIndex == 2 ? GCM_DINT
                                    : GCM_REAL;
    request.address = g_Upper(g_Trim(addressText));
    const std::string value(g_Trim(valueText));
    if (request.address.empty()) {
        plan.refusal = check ? "no element: type one such as D100 or M8" : "";
        return plan;
    }
    if (value.empty()) {
        plan.refusal = check ? "no value typed" : "";
        return plan;
    }
    std::string prefix;
    if (!ValidateElementName(addressText, prefix)) {
        plan.refusal =
            check ? std::string("not an element that can be written; writable are ") + kWritableNames : "";
        return plan;
    }
    if (prefix == "M" || prefix == "SM" || prefix == "S" || prefix == "X" || prefix == "Y") {
        request.type = GCM_BOOL;
    } else if (prefix != "T" && prefix != "C" && request.type == GCM_BOOL) {
        request.type = GCM_INT;
    }
    if (!check) {
        request.value = LenientValue(value, request.type);
        plan.request = request;
        return plan;
    }
    const bool bit = request.type == GCM_BOOL || g_SplitElementName(addressText)->bit >= 0;
    std::string why;
    const std::optional<std::string> checked = CheckedValue(value, request.type, bit, why);
    if (!checked) {
        plan.refusal = why;
        return plan;
    }
    request.value = *checked;
    plan.request = request;
    return plan;
}

tagWriteOutcome WriteElement(const tagWriteRequest& request) {
    tagWriteOutcome outcome{request, false, {}, {}};
    CSoftAddrMap map;
    auto entry = std::make_unique<tagSoftAddr>();
    entry->name = request.address;
    entry->valueText = request.value;
    entry->dataType = request.type;
    map.SetAt(CSoftAddrMap::MakeKey(request.type, request.address), std::move(entry));
    map.OctToDec();
    if (CCommunicater::OscilloWriteElem(&map) != LINK_OK) {
        outcome.reason = CCommunicater::LastError();
        g_Log().warn("{} <- {} not written: {}", request.address, request.value, outcome.reason);
        return outcome;
    }
    outcome.written = true;
    // The name as the link knows it (X and Y decimal); the element's own type, a dotted bit as one.
    const std::string name = map.GetEntries().begin()->second->name;
    const std::optional<tagElementName> parsed = g_SplitElementName(request.address);
    const bool bit = parsed && parsed->bit >= 0;
    uint32_t raw = 0;
    if (CCommunicater::OscilloReadElem(name, request.type, &raw) == LINK_OK) {
        outcome.readBack = ReadBackText(raw, request.type, bit);
    }
    g_Log().info("{} <- {} written, reads {}", request.address, request.value, outcome.readBack);
    return outcome;
}
