#include "inventory/LeadBytes.h"

#include <windows.h>

#include <string>

const LeadBytes& LeadBytes::System() {
    static const LeadBytes system = [] {
        LeadBytes leads;
        CPINFO info{};
        if (!GetCPInfo(CP_ACP, &info)) return leads;
        // LeadByte holds up to five ranges, ended by a pair of zeros.
        for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
            leads.Add(info.LeadByte[i], info.LeadByte[i + 1]);
        }
        return leads;
    }();
    return system;
}

std::string LowerCopy(std::string_view text, const LeadBytes& leads) {
    std::string lower(text);
    for (std::size_t i = 0; i < lower.size(); ++i) {
        char& c = lower[i];
        if (leads.IsLead(c)) {
            ++i;  // the trail byte stays as stored
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}
