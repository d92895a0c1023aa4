#pragma once
// Text rules of the help dialog: the built-in help marker, where the local
// help file lives, the embedded page's address, and the plain-text view
// of the page shown when no HTML engine can display it. Pure functions.

#include <string>
#include <string_view>

#include "BuildConfig.h"

namespace help_text {

// The page's "Open Built-In Help" target. Any navigation whose address
// contains it opens the local help file instead.
inline constexpr std::wstring_view kLocalHelpMarker = L"OPEN_LOCAL_HELP_FILE12345";
// The local help file, beside the program.
inline constexpr const char* kLocalHelpFile = ZALTROW_PRODUCT_NAME " Help.hlp";

// Whether the marker occurs anywhere in `url`, in any letter case.
bool ContainsLocalHelpMarker(std::wstring_view url);

// Everything before the last backslash of `path` (empty when there is
// none), respecting double-byte characters of the current multibyte code
// page.
std::string DirectoryOf(std::string_view path);

// The address of the embedded page (HTML resource 23, id 186) inside the
// program file at `programPath`.
std::string PageAddress(std::string_view programPath);

// The visible content of an HTML page as the markup of a link text control:
// text with runs of white space (and non-breaking spaces) collapsed, line
// breaks at <br>, an empty line between paragraphs, table rows and
// headings, and every <a href="..."> kept as <a href="...">...</a>. The
// head (title included), scripts, styles and comments are left out.
std::string LinkMarkupOf(std::string_view html);

}  // namespace help_text
