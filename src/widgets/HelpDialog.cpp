#include "widgets/HelpDialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include "HelpAddresses.h"
#include "HelpResource.h"
#include "framework/ModulePath.h"
#include "framework/TextConversion.h"
#include "framework/WindowQueries.h"
#include "widgets/HelpPageText.h"
#include "widgets/UrlLauncher.h"

namespace {

// Posted when the browser reports that it cannot show the page: the switch
// to the plain view must not happen inside the browser's own event.
constexpr UINT kShowPlainView = WM_APP + 0x48;

INT_PTR ShellExecuteLauncher(HWND owner, const char* verb, const char* file, const char* parameters,
                             const char* directory, int showCommand) {
    return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, verb, file, parameters, directory, showCommand));
}

}  // namespace

HelpDialog::HelpDialog(HWND parent)
    // The window cannot be made smaller than it opens, so the stretched
    // page never collapses onto the links and the button.
    : ResizableDialog(IDD_HELP_DIALOG, parent, MinimumSize::Opening),
      launcher_(&ShellExecuteLauncher),
      urlOpener_(&UrlLauncher::ShellOpenUrl) {
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

std::string HelpDialog::ProgramFolder() { return help_text::DirectoryOf(fw::ModulePath()); }

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
    AddControl(IDC_HELP_ICON, 0);
    AddControl(IDC_HELP_VERSION, 0);
    AddControl(IDC_HELP_MAIL_LINK, AnchorMoveDown);
    AddControl(IDC_HELP_SITE_LINK, AnchorMoveDown);
    ResizableDialog::OnInitDialog();

    siteLink_.SetLinkUrl(ZALTROW_PRODUCT_PAGE);
    // The line shows the bare address; opening it must start a message to
    // it, not a web page.
    mailLink_.SetLinkUrl("mailto:" + mailLink_.LinkUrl());

    if (!browser_.IsCreated() || FAILED(browser_.Navigate(PageAddress()))) ShowPlainView();
    return true;
}

bool HelpDialog::InterceptNavigation(const std::wstring& url) {
    if (!help_text::ContainsLocalHelpMarker(url)) return false;
    const std::string folder = ProgramFolder();
    // A missing help file or viewer is not reported; the navigation stays
    // cancelled either way.
    if (launcher_) {
        launcher_(nullptr, nullptr, help_text::kLocalHelpFile, nullptr, folder.empty() ? nullptr : folder.c_str(),
                  SW_SHOW);
    }
    return true;
}

void HelpDialog::ShowPlainView() {
    if (plainView_) return;
    HWND host = Item(IDC_HELP_BROWSER);
    RECT rect{5, 24, 5 + 451, 24 + 265};  // the template's place, if the host is gone
    if (host) {
        rect = fw::ChildRect(host);
    } else {
        MapDialogRect(Hwnd(), &rect);
    }
    // The view takes the host's place in the tab order and its id, so the
    // layout moves it as it moved the browser.
    HWND previous = host ? GetWindow(host, GW_HWNDPREV) : nullptr;
    HWND focus = GetFocus();
    const bool hadFocus = host && (focus == host || IsChild(host, focus));
    browser_.CloseControl();
    if (host) DestroyWindow(host);

    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LINK_CLASS};
    InitCommonControlsEx(&classes);
    const std::string markup = help_text::LinkMarkupOf(PageSource());
    plainView_ = CreateWindowExA(0, "SysLink", markup.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left,
                                 rect.top, rect.right - rect.left, rect.bottom - rect.top, Hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HELP_BROWSER)), ResourceModule(),
                                 nullptr);
    if (!plainView_) return;
    SendMessageA(plainView_, WM_SETFONT, static_cast<WPARAM>(SendMessageA(Hwnd(), WM_GETFONT, 0, 0)), FALSE);
    SetWindowPos(plainView_, previous ? previous : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (hadFocus) SetFocus(plainView_);
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
    if (plainView_ && header.hwndFrom == plainView_ && (header.code == NM_CLICK || header.code == NM_RETURN)) {
        // The plain view's links go where the browser's would: the marker
        // opens the local help file, anything else opens outside.
        const auto& link = reinterpret_cast<const NMLINK&>(header);
        const std::wstring url(link.item.szUrl);
        if (!InterceptNavigation(url)) OpenOutside(url);
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
    default:
        return ResizableDialog::OnMessage(message, wParam, lParam, result);
    }
}
