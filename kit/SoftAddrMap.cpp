#include "SoftAddrMap.h"

#include "ElementKinds.h"
#include "ElementName.h"
#include "NumberText.h"

#include <cstdint>

void CSoftAddrMap::SetAt(const std::string& key, std::unique_ptr<tagSoftAddr> entry) {
    m_entries[key] = std::move(entry);
}

const tagSoftAddr* CSoftAddrMap::Lookup(const std::string& key) const {
    auto it = m_entries.find(key);
    return it == m_entries.end() ? nullptr : it->second.get();
}

std::string CSoftAddrMap::MakeKey(EnumGCMDataType type, const std::string& name) {
    return std::string(1, static_cast<char>(type)) + name;
}

void CSoftAddrMap::OctToDec() {
    for (auto& [key, entry] : m_entries) {
        const std::optional<tagElementName> name = g_SplitElementName(entry->name);
        if (!name || name->kind < 0 || !ElementKindTable[name->kind].octal || name->bit >= 0) {
            continue;
        }
        const auto address = g_ParseIntegerIn(name->digits, 0, UINT32_MAX, 8);
        if (address) {
            entry->name = name->prefix + std::to_string(*address);
        }
    }
}
