#include "widgets/HelpPageText.h"

#include <mbstring.h>

#include <algorithm>

namespace help_text {
namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from) {
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (EqualsNoCase(text.substr(i, needle.size()), needle)) return i;
    }
    return std::string_view::npos;
}

// The value of attribute `name` in the inside of a tag ("a href=..."),
// quoted or not; empty when absent.
std::string AttributeOf(std::string_view tag, std::string_view name) {
    std::size_t at = 0;
    while ((at = FindNoCase(tag, name, at)) != std::string_view::npos) {
        const bool startsWord = at > 0 && IsSpace(tag[at - 1]);
        std::size_t i = at + name.size();
        at = i;
        if (!startsWord) continue;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size()) return {};
        if (tag[i] == '"' || tag[i] == '\'') {
            const std::size_t close = tag.find(tag[i], i + 1);
            return std::string(tag.substr(i + 1, close == std::string_view::npos ? std::string_view::npos
                                                                                 : close - i - 1));
        }
        std::size_t end = i;
        while (end < tag.size() && !IsSpace(tag[end])) ++end;
        return std::string(tag.substr(i, end - i));
    }
    return {};
}

// Collects the view's text: spaces collapse, breaks collect until the next
// visible text and never lead or trail.
class MarkupWriter {
public:
    void Text(char c) {
        FlushBreaks();
        if (pendingSpace_ && lineHasText_) out_ += ' ';
        pendingSpace_ = false;
        out_ += c;
        lineHasText_ = true;
        wroteText_ = true;
    }
    void Space() { pendingSpace_ = true; }
    void LineBreak() { breaks_ = std::min(breaks_ + 1, 2); }
    void ParagraphBreak() { breaks_ = 2; }
    // An opening link tag starts where the next text would.
    void OpenLink(const std::string& href) {
        FlushBreaks();
        if (pendingSpace_ && lineHasText_) out_ += ' ';
        pendingSpace_ = false;
        out_ += "<a href=\"" + href + "\">";
        inLink_ = true;
    }
    // A closing tag goes right after the last text; a space before it
    // follows it instead.
    void CloseLink() {
        if (!inLink_) return;
        out_ += "</a>";
        inLink_ = false;
    }
    std::string Finish() {
        CloseLink();
        return out_;
    }

private:
    void FlushBreaks() {
        if (breaks_ > 0 && wroteText_) {
            for (int i = 0; i < breaks_; ++i) out_ += "\r\n";
            lineHasText_ = false;
            pendingSpace_ = false;
        }
        breaks_ = 0;
    }

    std::string out_;
    int breaks_ = 0;
    bool pendingSpace_ = false;
    bool lineHasText_ = false;
    bool wroteText_ = false;
    bool inLink_ = false;
};

bool IsBlockTag(std::string_view name) {
    for (std::string_view block : {"p", "tr", "table", "div", "h1", "h2", "h3", "h4", "h5", "h6", "li", "ul", "ol",
                                   "blockquote", "hr"}) {
        if (EqualsNoCase(name, block)) return true;
    }
    return false;
}

bool IsSkippedElement(std::string_view name) {
    return EqualsNoCase(name, "head") || EqualsNoCase(name, "title") || EqualsNoCase(name, "script") ||
           EqualsNoCase(name, "style");
}

// An entity at `at` ("&name;"): writes it and returns the position after
// it; an unknown or unterminated one is written as a plain '&'.
std::size_t WriteEntity(std::string_view html, std::size_t at, MarkupWriter& out) {
    const std::size_t semicolon = html.find(';', at);
    if (semicolon == std::string_view::npos || semicolon - at > 8) {
        out.Text('&');
        return at + 1;
    }
    const std::string_view name = html.substr(at + 1, semicolon - at - 1);
    if (EqualsNoCase(name, "nbsp")) {
        out.Space();
    } else if (EqualsNoCase(name, "amp")) {
        out.Text('&');
    } else if (EqualsNoCase(name, "lt")) {
        out.Text('<');
    } else if (EqualsNoCase(name, "gt")) {
        out.Text('>');
    } else if (EqualsNoCase(name, "quot")) {
        out.Text('"');
    } else if (name.size() > 1 && name[0] == '#' && name.find_first_not_of("0123456789", 1) == std::string_view::npos) {
        const int code = std::stoi(std::string(name.substr(1)));
        if (code == 160 || code == 32) {
            out.Space();
        } else if (code > 32 && code < 256) {
            out.Text(static_cast<char>(code));
        }
    } else {
        out.Text('&');
        return at + 1;
    }
    return semicolon + 1;
}

}  // namespace

bool ContainsLocalHelpMarker(std::wstring_view url) {
    const std::wstring_view marker = kLocalHelpMarker;
    for (std::size_t i = 0; i + marker.size() <= url.size(); ++i) {
        bool match = true;
        for (std::size_t j = 0; j < marker.size() && match; ++j) match = AsciiUpper(url[i + j]) == marker[j];
        if (match) return true;
    }
    return false;
}

std::string DirectoryOf(std::string_view path) {
    const std::string text(path.substr(0, path.find('\0')));
    const auto* start = reinterpret_cast<const unsigned char*>(text.c_str());
    const unsigned char* slash = _mbsrchr(start, '\\');
    return slash ? text.substr(0, static_cast<std::size_t>(slash - start)) : std::string();
}

std::string PageAddress(std::string_view programPath) {
    return "res://" + std::string(programPath) + "/23/186";
}

std::string LinkMarkupOf(std::string_view html) {
    MarkupWriter out;
    std::size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            if (html.substr(i, 4) == "<!--") {
                const std::size_t end = html.find("-->", i + 4);
                i = end == std::string_view::npos ? html.size() : end + 3;
                continue;
            }
            const std::size_t end = html.find('>', i);
            if (end == std::string_view::npos) break;
            const std::string_view tag = html.substr(i + 1, end - i - 1);
            i = end + 1;
            const bool closing = !tag.empty() && tag[0] == '/';
            std::size_t nameEnd = closing ? 1 : 0;
            while (nameEnd < tag.size() && !IsSpace(tag[nameEnd]) && tag[nameEnd] != '/') ++nameEnd;
            const std::string_view name = tag.substr(closing ? 1 : 0, nameEnd - (closing ? 1 : 0));
            if (!closing && IsSkippedElement(name)) {
                const std::size_t close = FindNoCase(html, "</" + std::string(name), i);
                const std::size_t after = close == std::string_view::npos ? close : html.find('>', close);
                i = after == std::string_view::npos ? html.size() : after + 1;
            } else if (EqualsNoCase(name, "a")) {
                if (closing) {
                    out.CloseLink();
                } else {
                    out.CloseLink();
                    out.OpenLink(AttributeOf(tag, "href"));
                }
            } else if (EqualsNoCase(name, "br")) {
                out.LineBreak();
            } else if (IsBlockTag(name)) {
                out.ParagraphBreak();
            }
        } else if (c == '&') {
            i = WriteEntity(html, i, out);
        } else {
            if (IsSpace(c)) {
                out.Space();
            } else {
                out.Text(c);
            }
            ++i;
        }
    }
    return out.Finish();
}

}  // namespace help_text
