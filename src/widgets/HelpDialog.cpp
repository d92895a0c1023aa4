#include "widgets/HelpDialog.h"

#include <commctrl.h>

#include <algorithm>

#include "BuildConfig.h"
#include "HelpAddresses.h"
#include "HelpResource.h"
#include "framework/ClientDc.h"
#include "framework/Dpi.h"
#include "framework/ModulePath.h"
#include "framework/SelectedObject.h"
#include "framework/TextConversion.h"
#include "framework/WindowQueries.h"
#include "resource.h"
#include "widgets/HelpPageText.h"
#include "widgets/UrlLauncher.h"

namespace {

// Posted when the browser reports that it cannot show the page: the switch
// to the plain view must not happen inside the browser's own event.
constexpr UINT kShowPlainView = WM_APP + 0x48;

// Between the icon, the version lines and the page, at 96 DPI.
constexpr int kGap = 6;

// What the plain view says when the program file has no readable page.
constexpr const wchar_t* kMissingHelpLinks =
    L"<a href=\"" ZALTROW_ONLINE_HELP L"\">Open Online Help</a> (you must be connected to the Internet)";
constexpr const wchar_t* kMissingHelpText =
    L"The built-in help is missing: its page could not be read from this copy of " ZALTROW_PRODUCT_NAME
    L"'s program file. Open the online help above, or install " ZALTROW_PRODUCT_NAME L" again.";

// The size `window`'s text takes in its own font, line breaks included.
SIZE TextSize(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    fw::ClientDc dc(window);
    if (!dc) return {};
    fw::SelectedObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    RECT rect{};
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX);
    return SIZE{rect.right, rect.bottom};
}

}  // namespace

HelpDialog::HelpDialog(HWND parent)
    // The window cannot be made smaller than it opens, so the stretched
    // page never collapses onto the links and the button.
    : ResizableDialog(IDD_HELP_DIALOG, parent, MinimumSize::Opening),
      urlOpener_(&UrlLauncher::ShellOpenUrl),
      pageLoader_(&HelpDialog::PageSource) {
    browser_.SetBeforeNavigate2Handler([this](const std::wstring& url, bool& cancel) {
        if (InterceptNavigation(url)) cancel = true;
    });
    browser_.SetNavigateErrorHandler([this](const std::wstring&, long) {
        // Decided now: the browser may go on to show an error page of its
        // own, which is no page of ours.
        if (!pageShown_ && Hwnd()) PostMessageA(Hwnd(), kShowPlainView, 0, 0);
    });
    browser_.SetDocumentCompleteHandler([this](const std::wstring&) { pageShown_ = true; });
}

std::string HelpDialog::PageAddress() { return help_text::PageAddress(fw::ModulePath()); }

std::string HelpDialog::PageSource() {
    const HMODULE module = ResourceModule();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDR_HELP_PAGE), MAKEINTRESOURCEA(IDR_HELP_PAGE_TYPE));
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

void HelpDialog::DoDataExchange() {
    Bind(mailLink_, IDC_HELP_MAIL_LINK);
    Bind(siteLink_, IDC_HELP_SITE_LINK);
    Bind(browser_, IDC_HELP_BROWSER);
}

bool HelpDialog::OnInitDialog() {
    AddControl(IDOK, AnchorMoveRight | AnchorMoveDown);
    AddControl(IDC_HELP_BROWSER, AnchorStretchRight | AnchorStretchDown);
    AddControl(IDC_HELP_MAIL_LINK, AnchorMoveDown);
    AddControl(IDC_HELP_SITE_LINK, AnchorMoveDown);
    ResizableDialog::OnInitDialog();
    LayOutHeading();

    siteLink_.SetLinkUrl(ZALTROW_PRODUCT_PAGE);
    // The line shows the bare address; opening it must start a message to
    // it, not a web page.
    mailLink_.SetLinkUrl("mailto:" + mailLink_.LinkUrl());

    // A page that is missing, not UTF-8 or without its help is not shown
    // half: the plain view says what is wrong.
    const std::string page = pageLoader_ ? pageLoader_() : std::string();
    if (!fw::FromUtf8(page, page_)) page_.clear();
    if (help_text::SplitPage(fw::AsUtf16(page_)).help.empty() || !browser_.IsCreated() ||
        FAILED(browser_.Navigate(PageAddress())))
        ShowPlainView();
    if (helpText_) {
        // The text to read has the keyboard, without everything selected.
        SetFocus(helpText_);
        return false;
    }
    return true;
}

// The program's icon at the window's scale, the version lines beside it
// and the page below both: a template's fixed box would cut a larger icon
// or let it cover the text.
void HelpDialog::LayOutHeading() {
    HWND iconControl = Item(IDC_HELP_ICON);
    HWND version = Item(IDC_HELP_VERSION);
    HWND page = Item(IDC_HELP_BROWSER);
    if (!iconControl || !version || !page) return;
    const UINT dpi = Dpi();
    const int size = fw::Scaled(kIconSize, dpi);
    const int gap = fw::Scaled(kGap, dpi);
    icon_ = fw::LoadIconAt(ResourceModule(), IDR_MAINFRAME, kIconSize, dpi);
    if (icon_) SendMessageW(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
    const RECT iconRect = fw::ChildRect(iconControl);
    MoveWindow(iconControl, iconRect.left, iconRect.top, size, size, TRUE);

    const RECT was = fw::ChildRect(version);
    const SIZE text = TextSize(version);
    const int top = iconRect.top + std::max(0, (size - static_cast<int>(text.cy)) / 2);
    MoveWindow(version, iconRect.left + size + gap, top, std::max<int>(was.right - was.left, text.cx), text.cy, TRUE);

    RECT area = fw::ChildRect(page);
    area.top = std::max<int>(iconRect.top + size, top + text.cy) + gap;
    MoveWindow(page, area.left, area.top, area.right - area.left, std::max<int>(0, area.bottom - area.top), TRUE);
}

// Moved to a monitor of another scale: the framework has scaled the
// controls and their fonts; the icon is loaded again for the new size.
void HelpDialog::OnDpiChanged(UINT from, UINT to) {
    ResizableDialog::OnDpiChanged(from, to);
    fw::Icon icon = fw::LoadIconAt(ResourceModule(), IDR_MAINFRAME, kIconSize, to);
    if (!icon) return;
    SendDlgItemMessageW(Hwnd(), IDC_HELP_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
    icon_ = std::move(icon);  // the one shown before goes once it no longer is
}

bool HelpDialog::InterceptNavigation(const std::wstring& url) {
    if (!help_text::OpensOutside(fw::AsUtf16(url))) return false;
    OpenOutside(url);
    return true;
}

void HelpDialog::ShowBuiltInHelp() {
    if (!helpText_) return;
    SetFocus(helpText_);
    SendMessageW(helpText_, EM_SETSEL, 0, 0);
    SendMessageW(helpText_, WM_VSCROLL, SB_TOP, 0);
    SendMessageW(helpText_, EM_SCROLLCARET, 0, 0);
}

void HelpDialog::ShowPlainView() {
    if (helpText_) return;
    HWND host = Item(IDC_HELP_BROWSER);
    RECT area{5, 24, 5 + 451, 24 + 265};  // the template's place, if the host is gone
    if (host) {
        area = fw::ChildRect(host);
    } else {
        MapDialogRect(Hwnd(), &area);
    }
    // The view takes the host's place in the tab order, so the keys move
    // through the window as they did.
    HWND previous = host ? GetWindow(host, GW_HWNDPREV) : nullptr;
    HWND focus = GetFocus();
    const bool hadFocus = host && (focus == host || IsChild(host, focus));
    browser_.CloseControl();
    if (host) DestroyWindow(host);

    std::wstring links = kMissingHelpLinks;
    std::wstring text = kMissingHelpText;
    const help_text::PageParts parts = help_text::SplitPage(fw::AsUtf16(page_));
    if (!parts.help.empty()) {
        links = fw::AsWide(help_text::LinkMarkupOf(parts.links));
        text = fw::AsWide(help_text::PlainTextOf(parts.help));
    }

    // The links read like the rest of the window, in its font; the help,
    // which is to show any script, in the system's message font at the
    // window's scale.
    const auto dialogFont = static_cast<WPARAM>(SendMessageW(Hwnd(), WM_GETFONT, 0, 0));
    textFont_ = fw::MessageFont(Dpi());
    const int width = area.right - area.left;
    int top = area.top;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LINK_CLASS};
    InitCommonControlsEx(&classes);
    links_ = CreateWindowExW(0, WC_LINK, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, area.left, top, width, 0, Hwnd(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HELP_LINKS)), ResourceModule(),
                             nullptr);
    if (links_) {
        // The font before the text, so the text is laid out in it from the
        // start.
        SendMessageW(links_, WM_SETFONT, dialogFont, FALSE);
        SetWindowTextW(links_, links.c_str());
        // Asked with a size to fill, the control wraps its text at that
        // width (LM_GETIDEALSIZE); without one it answers for a single line.
        SIZE ideal{};
        const int height = static_cast<int>(
            SendMessageW(links_, LM_GETIDEALHEIGHT, width, reinterpret_cast<LPARAM>(&ideal)));
        MoveWindow(links_, area.left, top, width, height, FALSE);
        top += height + fw::Scaled(kGap, Dpi());
        SetWindowPos(links_, previous ? previous : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = links_;
        AddControl(IDC_HELP_LINKS, AnchorStretchRight);
    }
    helpText_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", nullptr,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                    ES_AUTOVSCROLL,
                                area.left, top, width, std::max<int>(0, area.bottom - top), Hwnd(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HELP_TEXT)), ResourceModule(),
                                nullptr);
    if (!helpText_) return;
    // The whole help, however long: an edit box otherwise takes 32767
    // characters at most.
    SendMessageW(helpText_, EM_SETLIMITTEXT, 0, 0);
    SendMessageW(helpText_, WM_SETFONT, textFont_ ? reinterpret_cast<WPARAM>(textFont_.get()) : dialogFont, FALSE);
    SetWindowTextW(helpText_, text.c_str());
    SetWindowPos(helpText_, previous ? previous : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    AddControl(IDC_HELP_TEXT, AnchorStretchRight | AnchorStretchDown);
    if (hadFocus) SetFocus(helpText_);
}

void HelpDialog::OpenOutside(const std::wstring& url) {
    const std::string address = fw::Narrow(url);
    if (address.empty() || !urlOpener_) return;
    const INT_PTR result = urlOpener_(address, SW_SHOW);
    if (result <= 32) {
        MessageBeep(MB_ICONEXCLAMATION);
        UrlLauncher::ReportLinkError(Hwnd(), result);
    }
}

bool HelpDialog::OnNotify(NMHDR& header, LRESULT& result) {
    if (links_ && header.hwndFrom == links_ && (header.code == NM_CLICK || header.code == NM_RETURN)) {
        // The built-in help is right below; anything else opens outside.
        const std::wstring url(reinterpret_cast<const NMLINK&>(header).item.szUrl);
        if (help_text::IsBuiltInHelpLink(fw::AsUtf16(url))) {
            ShowBuiltInHelp();
        } else {
            OpenOutside(url);
        }
        result = 0;
        return true;
    }
    return ResizableDialog::OnNotify(header, result);
}

bool HelpDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case kShowPlainView:
        ShowPlainView();
        result = 0;
        return true;
    case WM_CTLCOLORSTATIC:
        // The help reads as a document, on the window colour, though
        // nobody can change it.
        if (helpText_ && reinterpret_cast<HWND>(lParam) == helpText_) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            return true;
        }
        return false;
    default:
        return ResizableDialog::OnMessage(message, wParam, lParam, result);
    }
}
