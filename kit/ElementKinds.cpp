#include "ElementKinds.h"

std::optional<int> g_FindElementKind(std::string_view prefix) {
    for (int i = 0; i < kElementKindCount; ++i) {
        if (ElementKindTable[i].prefix == prefix) {
            return i;
        }
    }
    return std::nullopt;
}
