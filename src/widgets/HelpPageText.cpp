#include "widgets/HelpPageText.h"

#include <algorithm>
#include <vector>

namespace help_text {
namespace {

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f'; }

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](wchar_t x, wchar_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

bool StartsNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::size_t FindNoCase(std::wstring_view text, std::wstring_view needle, std::size_t from) {
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (EqualsNoCase(text.substr(i, needle.size()), needle)) return i;
    }
    return std::wstring_view::npos;
}

// One tag: what is between its angle brackets, its element's name, and
// where the text after it goes on.
struct Tag {
    std::wstring_view inside;
    std::wstring_view name;
    bool closing = false;
    std::size_t end = 0;
};

// The tag whose '<' is at `at`; false when it never ends.
bool ReadTag(std::wstring_view html, std::size_t at, Tag& tag) {
    const std::size_t close = html.find(L'>', at);
    if (close == std::wstring_view::npos) return false;
    tag.inside = html.substr(at + 1, close - at - 1);
    tag.end = close + 1;
    tag.closing = !tag.inside.empty() && tag.inside[0] == L'/';
    const std::size_t begin = tag.closing ? 1 : 0;
    std::size_t end = begin;
    while (end < tag.inside.size() && !IsSpace(tag.inside[end]) && tag.inside[end] != L'/') ++end;
    tag.name = tag.inside.substr(begin, end - begin);
    return true;
}

// Where the text goes on after the comment at `at`.
std::size_t AfterComment(std::wstring_view html, std::size_t at) {
    const std::size_t end = html.find(L"-->", at + 4);
    return end == std::wstring_view::npos ? html.size() : end + 3;
}

// The value of attribute `name` inside a tag ("a href=..."), quoted or
// not; empty when absent.
std::wstring AttributeOf(std::wstring_view tag, std::wstring_view name) {
    std::size_t at = 0;
    while ((at = FindNoCase(tag, name, at)) != std::wstring_view::npos) {
        const bool startsWord = at > 0 && IsSpace(tag[at - 1]);
        std::size_t i = at + name.size();
        at = i;
        if (!startsWord) continue;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != L'=') continue;
        ++i;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size()) return {};
        if (tag[i] == L'"' || tag[i] == L'\'') {
            const std::size_t close = tag.find(tag[i], i + 1);
            return std::wstring(tag.substr(i + 1, close == std::wstring_view::npos ? std::wstring_view::npos
                                                                                    : close - i - 1));
        }
        std::size_t end = i;
        while (end < tag.size() && !IsSpace(tag[end])) ++end;
        return std::wstring(tag.substr(i, end - i));
    }
    return {};
}

// Collects the text: spaces collapse, line breaks collect until the next
// visible text and never lead or trail, a line's prefix (bullet, indent)
// comes with its first text.
class TextWriter {
public:
    explicit TextWriter(bool linkMarkup) : linkMarkup_(linkMarkup) {}

    void Char(wchar_t c) {
        StartText();
        out_ += capitals_ ? AsciiUpper(c) : c;
    }
    void Space() { pendingSpace_ = true; }
    // 1 starts a new line, 2 leaves an empty one; the larger wins.
    void Break(int lines) { breaks_ = std::max(breaks_, lines); }
    // <br>: each one counts, up to an empty line.
    void LineBreak() { breaks_ = std::min(breaks_ + 1, 2); }
    void StartLineWith(std::wstring prefix) { prefix_ = std::move(prefix); }
    void Tab() {
        pendingSpace_ = false;
        StartText();
        out_ += L'\t';
    }
    void Capitals(bool on) { capitals_ = on; }

    void OpenLink(std::wstring href) {
        CloseLink();
        StartText();
        if (linkMarkup_) out_ += L"<a href=\"" + href + L"\">";
        href_ = std::move(href);
        linkStart_ = out_.size();
        inLink_ = true;
    }
    // In plain text a link shows where it leads, unless its text says so
    // already or it leads within the page.
    void CloseLink() {
        if (!inLink_) return;
        inLink_ = false;
        if (linkMarkup_) {
            out_ += L"</a>";
            return;
        }
        const std::wstring_view text = std::wstring_view(out_).substr(linkStart_);
        const std::wstring_view target = href_;
        if (target.empty() || target[0] == L'#' || text == target) return;
        if (StartsNoCase(target, L"mailto:") && text == target.substr(7)) return;
        out_ += L" (" + href_ + L")";
    }

    std::wstring Finish() {
        CloseLink();
        return std::move(out_);
    }

private:
    void StartText() {
        if (breaks_ > 0 && wroteText_) {
            for (int i = 0; i < breaks_; ++i) out_ += L"\r\n";
            lineHasText_ = false;
        }
        breaks_ = 0;
        if (!lineHasText_) {
            out_ += prefix_;
            prefix_.clear();
        } else if (pendingSpace_) {
            out_ += L' ';
        }
        pendingSpace_ = false;
        lineHasText_ = true;
        wroteText_ = true;
    }

    bool linkMarkup_;
    std::wstring out_;
    std::wstring prefix_;
    int breaks_ = 0;
    bool pendingSpace_ = false;
    bool lineHasText_ = false;
    bool wroteText_ = false;
    bool capitals_ = false;
    bool inLink_ = false;
    std::wstring href_;
    std::size_t linkStart_ = 0;
};

bool IsAny(std::wstring_view name, std::initializer_list<std::wstring_view> names) {
    return std::any_of(names.begin(), names.end(), [&](std::wstring_view n) { return EqualsNoCase(name, n); });
}

bool IsHeading(std::wstring_view name) {
    return name.size() == 2 && (name[0] == L'h' || name[0] == L'H') && name[1] >= L'1' && name[1] <= L'6';
}

// The code point a numeric entity's digits name ("65", "x41"); 0 when
// they name none.
char32_t NumericEntity(std::wstring_view digits) {
    const bool hex = !digits.empty() && (digits[0] == L'x' || digits[0] == L'X');
    if (hex) digits.remove_prefix(1);
    if (digits.empty()) return 0;
    char32_t code = 0;
    for (wchar_t c : digits) {
        int value = -1;
        if (c >= L'0' && c <= L'9') value = c - L'0';
        if (hex && c >= L'a' && c <= L'f') value = c - L'a' + 10;
        if (hex && c >= L'A' && c <= L'F') value = c - L'A' + 10;
        if (value < 0) return 0;
        code = code * (hex ? 16 : 10) + static_cast<char32_t>(value);
        if (code > 0x10FFFF) return 0;
    }
    return code >= 0xD800 && code <= 0xDFFF ? 0 : code;
}

// The entity at `at` ("&name;") written out; the position after it. An
// unknown or unterminated one is a plain '&'.
std::size_t WriteEntity(std::wstring_view html, std::size_t at, TextWriter& out) {
    static constexpr std::pair<std::wstring_view, char32_t> kNamed[] = {
        {L"amp", L'&'},       {L"lt", L'<'},          {L"gt", L'>'},          {L"quot", L'"'},  {L"apos", L'\''},
        {L"nbsp", 0x00A0},    {L"hellip", 0x2026},    {L"ndash", 0x2013},     {L"mdash", 0x2014}};
    const std::size_t semicolon = html.find(L';', at);
    char32_t code = 0;
    if (semicolon != std::wstring_view::npos && semicolon - at <= 10) {
        const std::wstring_view name = html.substr(at + 1, semicolon - at - 1);
        if (!name.empty() && name[0] == L'#') {
            code = NumericEntity(name.substr(1));
        } else {
            for (const auto& [entity, value] : kNamed) {
                if (name == entity) code = value;
            }
        }
    }
    if (code == 0) {
        out.Char(L'&');
        return at + 1;
    }
    if (code < 0x20) {
        out.Space();
    } else if (code >= 0x10000) {
        out.Char(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
        out.Char(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
        out.Char(static_cast<wchar_t>(code));
    }
    return semicolon + 1;
}

// What a list item's line starts with: its indent by depth, then a bullet
// or its number.
std::wstring ListItemStart(std::vector<int>& lists) {
    const std::size_t depth = std::max<std::size_t>(lists.size(), 1);
    std::wstring start(depth * 4 - 2, L' ');
    if (lists.empty() || lists.back() < 0) return start + L"\u2022 ";
    return start + std::to_wstring(lists.back()++) + L". ";
}

std::wstring Convert(std::wstring_view html, bool linkMarkup) {
    TextWriter out(linkMarkup);
    std::vector<int> lists;  // each open list: -1 for bullets, else its next number
    int cells = 0;           // cells so far in the table row
    std::size_t i = 0;
    while (i < html.size()) {
        const wchar_t c = html[i];
        if (c == L'&') {
            i = WriteEntity(html, i, out);
            continue;
        }
        if (c != L'<') {
            if (IsSpace(c)) {
                out.Space();
            } else {
                out.Char(c);
            }
            ++i;
            continue;
        }
        if (html.substr(i, 4) == L"<!--") {
            i = AfterComment(html, i);
            continue;
        }
        Tag tag;
        if (!ReadTag(html, i, tag)) break;
        i = tag.end;
        const std::wstring_view name = tag.name;
        if (!tag.closing && IsAny(name, {L"head", L"title", L"script", L"style"})) {
            const std::size_t close = FindNoCase(html, L"</" + std::wstring(name), i);
            const std::size_t after = close == std::wstring_view::npos ? close : html.find(L'>', close);
            i = after == std::wstring_view::npos ? html.size() : after + 1;
        } else if (EqualsNoCase(name, L"a")) {
            if (tag.closing) {
                out.CloseLink();
            } else {
                out.OpenLink(AttributeOf(tag.inside, L"href"));
            }
        } else if (EqualsNoCase(name, L"br")) {
            out.LineBreak();
        } else if (IsAny(name, {L"ul", L"ol"})) {
            if (tag.closing) {
                if (!lists.empty()) lists.pop_back();
            } else {
                lists.push_back(EqualsNoCase(name, L"ol") ? 1 : -1);
            }
            // A list inside a list item goes on its lines.
            out.Break(lists.size() > (tag.closing ? 0u : 1u) ? 1 : 2);
        } else if (EqualsNoCase(name, L"li")) {
            out.Break(1);
            if (!tag.closing) out.StartLineWith(ListItemStart(lists));
        } else if (IsAny(name, {L"dt", L"dd", L"tr"})) {
            out.Break(1);
            if (!tag.closing && EqualsNoCase(name, L"dd")) out.StartLineWith(L"    ");
            if (!tag.closing && EqualsNoCase(name, L"tr")) cells = 0;
        } else if (IsAny(name, {L"td", L"th"})) {
            if (!tag.closing && cells++ > 0) out.Tab();
        } else if (IsHeading(name)) {
            out.Break(2);
            out.Capitals(!tag.closing && name[1] == L'2');
        } else if (IsAny(name, {L"p", L"div", L"dl", L"table", L"blockquote", L"hr", L"pre"})) {
            out.Break(2);
        }
    }
    return out.Finish();
}

}  // namespace

std::string PageAddress(std::string_view programPath) { return "res://" + std::string(programPath) + "/23/186"; }

PageParts SplitPage(std::wstring_view html) {
    std::size_t i = 0;
    while ((i = html.find(L'<', i)) != std::wstring_view::npos) {
        if (html.substr(i, 4) == L"<!--") {
            i = AfterComment(html, i);
            continue;
        }
        Tag tag;
        if (!ReadTag(html, i, tag)) break;
        if (!tag.closing && AttributeOf(tag.inside, L"id") == kBuiltInHelpId) return {html.substr(0, i), html.substr(i)};
        i = tag.end;
    }
    return {html, {}};
}

bool IsBuiltInHelpLink(std::wstring_view url) {
    const std::wstring anchor = L"#" + std::wstring(kBuiltInHelpId);
    return url.size() >= anchor.size() && EqualsNoCase(url.substr(url.size() - anchor.size()), anchor);
}

bool OpensOutside(std::wstring_view url) {
    return StartsNoCase(url, L"http:") || StartsNoCase(url, L"https:") || StartsNoCase(url, L"mailto:");
}

std::wstring LinkMarkupOf(std::wstring_view html) { return Convert(html, true); }

std::wstring PlainTextOf(std::wstring_view html) { return Convert(html, false); }

}  // namespace help_text
