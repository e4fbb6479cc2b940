#include "SoftAddrMap.h"

#include "ElementKinds.h"
#include "SymbolNameParser.h"

#include <algorithm>
#include <cctype>

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
        CSymbolNameParser parser(entry->name, 0);
        if (parser.GetClass() != SYMBOL_BIT) {
            continue;
        }
        int cls = 0;
        std::string prefix, number, ip, in, dot;
        parser.GetResult(cls, prefix, number, ip, in, dot);
        std::transform(prefix.begin(), prefix.end(), prefix.begin(),
                       [](unsigned char c) { return std::toupper(c); });
        auto kind = g_FindElementKind(prefix);
        if (!kind || !ElementKindTable[*kind].octal || number.size() > 10 ||
            number.find_first_not_of("01234567") != std::string::npos) {
            continue;
        }
        entry->name = prefix + std::to_string(std::stoull(number, nullptr, 8));
    }
}
