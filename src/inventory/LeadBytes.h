#pragma once
// Which byte values begin a double-byte character in an ANSI code page
// (932, 936, 949, 950). The byte after such a lead byte belongs to the same
// character and may look like an ASCII letter or a backslash, so text rules
// that change or test single bytes must step over it.

#include <bitset>
#include <string_view>

class LeadBytes {
public:
    // A single-byte code page: no lead bytes.
    LeadBytes() = default;

    void Add(unsigned char first, unsigned char last) {
        for (unsigned value = first; value <= last; ++value) bits_.set(value);
    }
    bool IsLead(char byte) const { return bits_.test(static_cast<unsigned char>(byte)); }

    // The system's ANSI code page, read once.
    static const LeadBytes& System();

private:
    std::bitset<256> bits_;
};

// A copy of the same length with A-Z lower-cased, leaving the second byte
// of every double-byte character as it is, so positions carry over.
std::string LowerCopy(std::string_view text, const LeadBytes& leads);
