#pragma once
// Between the program's ANSI texts (the system code page) and the UTF-16
// the registry and the file system store.

#include <string>
#include <string_view>

namespace code_page {

std::u16string ToUtf16(std::string_view text);
// Characters the code page lacks become its default character.
std::string FromUtf16(std::u16string_view text);

}  // namespace code_page
