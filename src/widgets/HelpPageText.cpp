#include "widgets/HelpPageText.h"

#include <algorithm>
#include <vector>

namespace help_text {
namespace {

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f'; }

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char16_t x, char16_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

bool StartsNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::size_t FindNoCase(std::u16string_view text, std::u16string_view needle, std::size_t from) {
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (EqualsNoCase(text.substr(i, needle.size()), needle)) return i;
    }
    return std::u16string_view::npos;
}

// One tag: what is between its angle brackets, its element's name, and
// where the text after it goes on.
struct Tag {
    std::u16string_view inside;
    std::u16string_view name;
    bool closing = false;
    std::size_t end = 0;
};

// The tag whose '<' is at `at`; false when it never ends.
bool ReadTag(std::u16string_view html, std::size_t at, Tag& tag) {
    const std::size_t close = html.find(u'>', at);
    if (close == std::u16string_view::npos) return false;
    tag.inside = html.substr(at + 1, close - at - 1);
    tag.end = close + 1;
    tag.closing = !tag.inside.empty() && tag.inside[0] == u'/';
    const std::size_t begin = tag.closing ? 1 : 0;
    std::size_t end = begin;
    while (end < tag.inside.size() && !IsSpace(tag.inside[end]) && tag.inside[end] != u'/') ++end;
    tag.name = tag.inside.substr(begin, end - begin);
    return true;
}

// Where the text goes on after the comment at `at`.
std::size_t AfterComment(std::u16string_view html, std::size_t at) {
    const std::size_t end = html.find(u"-->", at + 4);
    return end == std::u16string_view::npos ? html.size() : end + 3;
}

// The value of attribute `name` inside a tag ("a href=..."), quoted or
// not; empty when absent.
std::u16string AttributeOf(std::u16string_view tag, std::u16string_view name) {
    std::size_t at = 0;
    while ((at = FindNoCase(tag, name, at)) != std::u16string_view::npos) {
        const bool startsWord = at > 0 && IsSpace(tag[at - 1]);
        std::size_t i = at + name.size();
        at = i;
        if (!startsWord) continue;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != u'=') continue;
        ++i;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size()) return {};
        if (tag[i] == u'"' || tag[i] == u'\'') {
            const std::size_t close = tag.find(tag[i], i + 1);
            return std::u16string(tag.substr(i + 1, close == std::u16string_view::npos ? std::u16string_view::npos
                                                                                    : close - i - 1));
        }
        std::size_t end = i;
        while (end < tag.size() && !IsSpace(tag[end])) ++end;
        return std::u16string(tag.substr(i, end - i));
    }
    return {};
}

// Collects the text: spaces collapse, line breaks collect until the next
// visible text and never lead or trail, a line's prefix (bullet, indent)
// comes with its first text.
class TextWriter {
public:
    explicit TextWriter(bool linkMarkup) : linkMarkup_(linkMarkup) {}

    void Char(char16_t c) {
        StartText();
        out_ += capitals_ ? AsciiUpper(c) : c;
    }
    void Space() { pendingSpace_ = true; }
    // 1 starts a new line, 2 leaves an empty one; the larger wins.
    void Break(int lines) { breaks_ = std::max(breaks_, lines); }
    // <br>: each one counts, up to an empty line.
    void LineBreak() { breaks_ = std::min(breaks_ + 1, 2); }
    void StartLineWith(std::u16string prefix) { prefix_ = std::move(prefix); }
    void Tab() {
        pendingSpace_ = false;
        StartText();
        out_ += u'\t';
    }
    void Capitals(bool on) { capitals_ = on; }

    void OpenLink(std::u16string href) {
        CloseLink();
        StartText();
        if (linkMarkup_) out_ += u"<a href=\"" + href + u"\">";
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
            out_ += u"</a>";
            return;
        }
        const std::u16string_view text = std::u16string_view(out_).substr(linkStart_);
        const std::u16string_view target = href_;
        if (target.empty() || target[0] == u'#' || text == target) return;
        if (StartsNoCase(target, u"mailto:") && text == target.substr(7)) return;
        out_ += u" (" + href_ + u")";
    }

    std::u16string Finish() {
        CloseLink();
        return std::move(out_);
    }

private:
    void StartText() {
        if (breaks_ > 0 && wroteText_) {
            for (int i = 0; i < breaks_; ++i) out_ += u"\r\n";
            lineHasText_ = false;
        }
        breaks_ = 0;
        if (!lineHasText_) {
            out_ += prefix_;
            prefix_.clear();
        } else if (pendingSpace_) {
            out_ += u' ';
        }
        pendingSpace_ = false;
        lineHasText_ = true;
        wroteText_ = true;
    }

    bool linkMarkup_;
    std::u16string out_;
    std::u16string prefix_;
    int breaks_ = 0;
    bool pendingSpace_ = false;
    bool lineHasText_ = false;
    bool wroteText_ = false;
    bool capitals_ = false;
    bool inLink_ = false;
    std::u16string href_;
    std::size_t linkStart_ = 0;
};

bool IsAny(std::u16string_view name, std::initializer_list<std::u16string_view> names) {
    return std::any_of(names.begin(), names.end(), [&](std::u16string_view n) { return EqualsNoCase(name, n); });
}

bool IsHeading(std::u16string_view name) {
    return name.size() == 2 && (name[0] == u'h' || name[0] == u'H') && name[1] >= u'1' && name[1] <= u'6';
}

// The code point a numeric entity's digits name ("65", "x41"); 0 when
// they name none.
char32_t NumericEntity(std::u16string_view digits) {
    const bool hex = !digits.empty() && (digits[0] == u'x' || digits[0] == u'X');
    if (hex) digits.remove_prefix(1);
    if (digits.empty()) return 0;
    char32_t code = 0;
    for (char16_t c : digits) {
        int value = -1;
        if (c >= u'0' && c <= u'9') value = c - u'0';
        if (hex && c >= u'a' && c <= u'f') value = c - u'a' + 10;
        if (hex && c >= u'A' && c <= u'F') value = c - u'A' + 10;
        if (value < 0) return 0;
        code = code * (hex ? 16 : 10) + static_cast<char32_t>(value);
        if (code > 0x10FFFF) return 0;
    }
    return code >= 0xD800 && code <= 0xDFFF ? 0 : code;
}

// The entity at `at` ("&name;") written out; the position after it. An
// unknown or unterminated one is a plain '&'.
std::size_t WriteEntity(std::u16string_view html, std::size_t at, TextWriter& out) {
    static constexpr std::pair<std::u16string_view, char32_t> kNamed[] = {
        {u"amp", u'&'},       {u"lt", u'<'},          {u"gt", u'>'},          {u"quot", u'"'},  {u"apos", u'\''},
        {u"nbsp", 0x00A0},    {u"hellip", 0x2026},    {u"ndash", 0x2013},     {u"mdash", 0x2014}};
    const std::size_t semicolon = html.find(u';', at);
    char32_t code = 0;
    if (semicolon != std::u16string_view::npos && semicolon - at <= 10) {
        const std::u16string_view name = html.substr(at + 1, semicolon - at - 1);
        if (!name.empty() && name[0] == u'#') {
            code = NumericEntity(name.substr(1));
        } else {
            for (const auto& [entity, value] : kNamed) {
                if (name == entity) code = value;
            }
        }
    }
    if (code == 0) {
        out.Char(u'&');
        return at + 1;
    }
    if (code < 0x20) {
        out.Space();
    } else if (code >= 0x10000) {
        out.Char(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
        out.Char(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
        out.Char(static_cast<char16_t>(code));
    }
    return semicolon + 1;
}

// What a list item's line starts with: its indent by depth, then a bullet
// or its number.
std::u16string ListItemStart(std::vector<int>& lists) {
    const std::size_t depth = std::max<std::size_t>(lists.size(), 1);
    std::u16string start(depth * 4 - 2, u' ');
    if (lists.empty() || lists.back() < 0) return start + u"\u2022 ";
    const std::string number = std::to_string(lists.back()++);
    return start + std::u16string(number.begin(), number.end()) + u". ";
}

std::u16string Convert(std::u16string_view html, bool linkMarkup) {
    TextWriter out(linkMarkup);
    std::vector<int> lists;  // each open list: -1 for bullets, else its next number
    int cells = 0;           // cells so far in the table row
    std::size_t i = 0;
    while (i < html.size()) {
        const char16_t c = html[i];
        if (c == u'&') {
            i = WriteEntity(html, i, out);
            continue;
        }
        if (c != u'<') {
            if (IsSpace(c)) {
                out.Space();
            } else {
                out.Char(c);
            }
            ++i;
            continue;
        }
        if (html.substr(i, 4) == u"<!--") {
            i = AfterComment(html, i);
            continue;
        }
        Tag tag;
        if (!ReadTag(html, i, tag)) break;
        i = tag.end;
        const std::u16string_view name = tag.name;
        if (!tag.closing && IsAny(name, {u"head", u"title", u"script", u"style"})) {
            const std::size_t close = FindNoCase(html, u"</" + std::u16string(name), i);
            const std::size_t after = close == std::u16string_view::npos ? close : html.find(u'>', close);
            i = after == std::u16string_view::npos ? html.size() : after + 1;
        } else if (EqualsNoCase(name, u"a")) {
            if (tag.closing) {
                out.CloseLink();
            } else {
                out.OpenLink(AttributeOf(tag.inside, u"href"));
            }
        } else if (EqualsNoCase(name, u"br")) {
            out.LineBreak();
        } else if (IsAny(name, {u"ul", u"ol"})) {
            if (tag.closing) {
                if (!lists.empty()) lists.pop_back();
            } else {
                lists.push_back(EqualsNoCase(name, u"ol") ? 1 : -1);
            }
            // A list inside a list item goes on its lines.
            out.Break(lists.size() > (tag.closing ? 0u : 1u) ? 1 : 2);
        } else if (EqualsNoCase(name, u"li")) {
            out.Break(1);
            if (!tag.closing) out.StartLineWith(ListItemStart(lists));
        } else if (IsAny(name, {u"dt", u"dd", u"tr"})) {
            out.Break(1);
            if (!tag.closing && EqualsNoCase(name, u"dd")) out.StartLineWith(u"    ");
            if (!tag.closing && EqualsNoCase(name, u"tr")) cells = 0;
        } else if (IsAny(name, {u"td", u"th"})) {
            if (!tag.closing && cells++ > 0) out.Tab();
        } else if (IsHeading(name)) {
            out.Break(2);
            out.Capitals(!tag.closing && name[1] == u'2');
        } else if (IsAny(name, {u"p", u"div", u"dl", u"table", u"blockquote", u"hr", u"pre"})) {
            out.Break(2);
        }
    }
    return out.Finish();
}

}  // namespace

std::string PageAddress(std::string_view programPath) { return "res://" + std::string(programPath) + "/23/186"; }

PageParts SplitPage(std::u16string_view html) {
    std::size_t i = 0;
    while ((i = html.find(u'<', i)) != std::u16string_view::npos) {
        if (html.substr(i, 4) == u"<!--") {
            i = AfterComment(html, i);
            continue;
        }
        Tag tag;
        if (!ReadTag(html, i, tag)) break;
        if (!tag.closing && AttributeOf(tag.inside, u"id") == kBuiltInHelpId) return {html.substr(0, i), html.substr(i)};
        i = tag.end;
    }
    return {html, {}};
}

bool IsBuiltInHelpLink(std::u16string_view url) {
    const std::u16string anchor = u"#" + std::u16string(kBuiltInHelpId);
    return url.size() >= anchor.size() && EqualsNoCase(url.substr(url.size() - anchor.size()), anchor);
}

bool OpensOutside(std::u16string_view url) {
    return StartsNoCase(url, u"http:") || StartsNoCase(url, u"https:") || StartsNoCase(url, u"mailto:");
}

std::u16string LinkMarkupOf(std::u16string_view html) { return Convert(html, true); }

std::u16string PlainTextOf(std::u16string_view html) { return Convert(html, false); }

}  // namespace help_text
