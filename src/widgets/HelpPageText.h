#pragma once
// Text rules of the help dialog: the embedded page's address, its two parts
// (the title with the links, and the built-in help), where its links lead,
// and the forms its content takes where no HTML engine shows it: markup for
// a link control, and plain text. Pure functions on UTF-16 text
// (char16_t, whatever size the compiler gives wchar_t).
//
// The page is written in a small part of HTML, which is all these rules
// read: h1-h6, p, div, br, ul/ol/li, dl/dt/dd, table/tr/th/td, inline tags
// (a, b, code, ...; only a means anything), the entities amp, lt, gt, quot,
// apos, nbsp, hellip, ndash, mdash and numeric ones. The head (title
// included), scripts, styles and comments are left out.

#include <string>
#include <string_view>

namespace help_text {

// The id of the element that holds the built-in help; the page's
// "Open Built-In Help" links to it as "#built-in-help".
inline constexpr std::u16string_view kBuiltInHelpId = u"built-in-help";

// The address of the embedded page (HTML resource 23, id 186) inside the
// program file at `programPath`.
std::string PageAddress(std::string_view programPath);

// The page cut where the built-in help begins, at the opening tag of the
// element whose id is kBuiltInHelpId: `links` before it (the title and
// the links), `help` from it on. Without that element all is `links`.
struct PageParts {
    std::u16string_view links;
    std::u16string_view help;
};
PageParts SplitPage(std::u16string_view html);

// Whether `url` leads to the built-in help: "#built-in-help", alone or at
// the end of the page's own address.
bool IsBuiltInHelpLink(std::u16string_view url);

// Whether `url` is opened outside the dialog: web pages and mail (http:,
// https:, mailto:, in any letter case).
bool OpensOutside(std::u16string_view url);

// The visible text as the markup of a link control: every <a href="...">
// kept as <a href="...">...</a>, everything else as PlainTextOf writes it.
std::u16string LinkMarkupOf(std::u16string_view html);

// The visible text, with CR LF line ends: runs of white space collapse; a
// paragraph, heading, list, definition list or table stands apart by an
// empty line; a <br>, list item, term, description or table row starts a
// line. Second-level headings are in capitals, list items start with a
// bullet (or their number, in an ol), descriptions are indented and table
// cells are parted by tabs. A link to an address outside the page is
// followed by that address in brackets, unless its text is the address.
std::u16string PlainTextOf(std::u16string_view html);

}  // namespace help_text
