#include "net/ExecutableHeader.h"

#include <cstdint>

bool IsWindowsExecutable(std::string_view head) {
    constexpr std::size_t kPeOffsetField = 0x3C;
    if (head.size() < kPeOffsetField + 4 || head[0] != 'M' || head[1] != 'Z') return false;
    std::uint32_t offset = 0;
    for (int i = 3; i >= 0; --i) offset = (offset << 8) | static_cast<unsigned char>(head[kPeOffsetField + i]);
    if (offset < kPeOffsetField + 4 || offset > head.size() - 4) return false;
    return head.substr(offset, 4) == std::string_view("PE\0\0", 4);
}
