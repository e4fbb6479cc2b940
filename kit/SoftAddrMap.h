// Element write requests: a map of element entries keyed by type character + name.
#pragma once

#include "DataTypes.h"

#include <map>
#include <memory>
#include <string>

struct tagSoftAddr {
    std::string name;      // element name, e.g. D100; decimal X/Y addresses after OctToDec
    std::string valueText; // "ON"/"OFF", "%d" or "%f" text
    EnumGCMDataType dataType = GCM_INT;
};

class CSoftAddrMap {
public:
    using Entries = std::map<std::string, std::unique_ptr<tagSoftAddr>>;

    // The map takes the entry and deletes it with itself.
    void SetAt(const std::string& key, std::unique_ptr<tagSoftAddr> entry);
    const tagSoftAddr* Lookup(const std::string& key) const;
    size_t GetCount() const { return m_entries.size(); }
    const Entries& GetEntries() const { return m_entries; }

    // Rewrites octal X and Y addresses (X17) as decimal ones (X15); other names stay.
    void OctToDec();

    // The key the program uses for one entry: the type code as a character, then the name.
    static std::string MakeKey(EnumGCMDataType type, const std::string& name);

private:
    Entries m_entries;
};
