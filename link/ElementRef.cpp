#include "ElementRef.h"

#include "kit/ElementName.h"

namespace {

bool IsAxisParamCode(int code) {
    return (code >= 0 && code <= 8) || (code >= 16 && code < kAxisParamSlots);
}

} // namespace

uint32_t g_SignExtend16(uint16_t word) {
    return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(word)));
}

uint32_t g_NarrowToType(uint32_t value, EnumGCMDataType type) {
    switch (type) {
    case GCM_UINT:
        return value & 0xFFFF;
    case GCM_USINT:
        return value & 0xFF;
    case GCM_INT:
        return g_SignExtend16(static_cast<uint16_t>(value));
    default:
        return value;
    }
}

std::optional<tagElementRef> g_ResolveElement(const std::string& text, uint16_t paramCode, bool octalXY) {
    const std::optional<tagElementName> name = g_SplitElementName(text);
    const std::optional<int> address = name ? g_ElementAddress(*name, octalXY) : std::nullopt;
    if (!address) {
        return std::nullopt; // also LM and V, which have no memory here
    }
    tagElementRef ref;
    if (name->IsAxis()) {
        if (!IsAxisParamCode(paramCode)) {
            return std::nullopt;
        }
        ref.axis = *address;
        ref.paramCode = paramCode;
        return ref;
    }
    ref.kind = name->kind;
    ref.address = *address;
    ref.bit = name->bit;
    return ref;
}
