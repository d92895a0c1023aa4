#pragma once
// The help window: the program's help page, carried inside the program as
// an HTML resource and shown in an embedded web browser, above the maker's
// support e-mail and web-site lines as hyperlinks. The page has the online
// help's link and the built-in help itself, which "Open Built-In Help"
// scrolls to. Web and mail addresses open outside the dialog. Where the
// browser cannot show the page (no HTML engine, a failed navigation, no
// control), the page's links stand in a link control and the built-in
// help as plain text in a scrolling read-only box below them.
//
//     HelpDialog dialog(owner);
//     dialog.DoModal();

#include <windows.h>

#include <functional>
#include <string>

#include "framework/UniqueHandle.h"
#include "widgets/CHyperLink.h"
#include "widgets/CWebBrowser21.h"
#include "widgets/ResizableDialog.h"

class HelpDialog : public ResizableDialog {
public:
    // The page's HTML (UTF-8); empty when it cannot be had.
    using PageLoader = std::function<std::string()>;

    // The program's icon beside the version lines, at 96 DPI.
    static constexpr int kIconSize = 32;

    explicit HelpDialog(HWND parent = nullptr);

    // The navigation handler: a web or mail address is opened outside the
    // dialog (a failure is reported) and true is returned, so that the
    // navigation is cancelled; the page and its anchors navigate as usual.
    bool InterceptNavigation(const std::wstring& url);

    // Replace how addresses are opened outside the dialog (default
    // UrlLauncher::ShellOpenUrl) and where the page comes from (default
    // PageSource); tests watch and take the page away with them.
    void SetUrlOpener(CHyperLink::Opener opener) { urlOpener_ = std::move(opener); }
    void SetPageLoader(PageLoader loader) { pageLoader_ = std::move(loader); }

    // The embedded page's address: res:// + the program's path + /23/186.
    static std::string PageAddress();
    // The embedded page's HTML; empty when the resource is missing.
    static std::string PageSource();

    CHyperLink& MailLink() { return mailLink_; }
    CHyperLink& SiteLink() { return siteLink_; }
    CWebBrowser21& Browser() { return browser_; }
    // True once the plain view stands in for the browser.
    bool ShowsPlainView() const { return helpText_ != nullptr; }

    // "Open Built-In Help" in the plain view: its text gets the focus and
    // shows its beginning. (The browser scrolls to the help by itself.)
    void ShowBuiltInHelp();

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDpiChanged(UINT from, UINT to) override;

private:
    void LayOutHeading();
    void ShowPlainView();
    void OpenOutside(const std::wstring& url);

    CHyperLink mailLink_;
    CHyperLink siteLink_;
    CWebBrowser21 browser_;
    bool pageShown_ = false;
    std::wstring page_;        // the page's text; empty when it could not be read
    HWND links_ = nullptr;     // the plain view, children of the dialog, gone with it
    HWND helpText_ = nullptr;
    fw::Icon icon_;            // shown by the icon control, so it outlives the window
    fw::Font textFont_;        // the plain view's
    CHyperLink::Opener urlOpener_;
    PageLoader pageLoader_;
};
