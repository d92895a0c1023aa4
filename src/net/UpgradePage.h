#pragma once
// Reading the maker's upgrade page: the newest version, its description and
// the installer's address, each found after an HTML comment marker. Pure
// text rules, no platform calls.

#include <string>
#include <string_view>
#include <vector>

// One signed statement of the page (see UpgradeStatement.h) with the
// address of its setup, each after its marker, in this order:
//   "<!-- UPGRADE Statement"                the statement's line
//   "<!-- UPGRADE Statement Signature"      its signature, base64
//   "<!-- UPGRADE Statement Download Link"  the setup's address (not signed:
//                                           the setup is proven by its hash)
// A signature or link marker belongs to the statement before it. The
// texts are taken without the blanks around them; a statement line longer
// than a page line entry (see LineReader) is joined back from its pieces.
struct SignedStatement {
    std::string text;
    std::string signature;
    std::string link;
};

struct UpgradePage {
    float newVersion = 0;       // kept when a page has no version marker
    std::string description;    // cleared by every parse
    std::string downloadLink;   // kept when a page has no link marker
    std::vector<SignedStatement> statements;  // cleared by every parse
};

// The longest statement line taken, in characters; the rest is dropped
// (and the statement then fails its signature).
constexpr std::size_t kStatementLineChars = 256 * 1024;

// How much of the description the question shows, so that the message box
// stays on a 1024 x 768 screen: lines of at most kShownLineChars (a message
// box does not break a word, and breaks long lines into more lines), at
// most kShownDescriptionLines of them, at most kShownDescriptionChars.
constexpr std::size_t kShownDescriptionLines = 20;
constexpr std::size_t kShownDescriptionChars = 1500;
constexpr std::size_t kShownLineChars = 80;

// The version lines of the page are read from their first 99 characters.
constexpr std::size_t kVersionLineChars = 99;

// The longest leading decimal number (after white space: sign, digits,
// point, exponent) of the line's first 99 characters; 0 when there is none.
float ReadVersionNumber(std::string_view line);

// Applies the page's lines (each ending in a line feed) to `page`.
void ParseUpgradePage(const std::vector<std::string>& lines, UpgradePage& page);

// The description as the question shows it: a line longer than
// kShownLineChars is broken there with a line feed (after its last blank
// within the limit, if it has one); then, when more than
// kShownDescriptionLines lines or kShownDescriptionChars characters remain,
// the text is cut within both limits and "..." follows. The text is UTF-8;
// a character's bytes are never split (they count as that many columns).
std::string ShownDescription(const std::string& description);
