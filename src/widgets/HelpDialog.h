#pragma once
// The help window: the program's help page, carried inside the program as
// an HTML resource and shown in an embedded web browser, above the maker's
// support e-mail and web-site lines as hyperlinks. A link in the page whose
// address holds the built-in help marker opens the local help file beside
// the program instead of navigating. When the browser cannot show the page
// (no HTML engine), the same content is shown as plain text with links.
//
//     HelpDialog dialog(owner);
//     dialog.DoModal();

#include <windows.h>

#include <functional>
#include <string>

#include "widgets/CHyperLink.h"
#include "widgets/CWebBrowser21.h"
#include "widgets/ResizableDialog.h"

class HelpDialog : public ResizableDialog {
public:
    // ShellExecuteA's shape: how the local help file is opened.
    using ShellLauncher = std::function<INT_PTR(HWND owner, const char* verb, const char* file,
                                                const char* parameters, const char* directory, int showCommand)>;

    explicit HelpDialog(HWND parent = nullptr);

    // The navigation handler: true when `url` holds the built-in help marker
    // (in any letter case), after opening the local help file from the
    // program's folder; the navigation is then to be cancelled. Other
    // addresses are left alone.
    bool InterceptNavigation(const std::wstring& url);

    // Replace how programs are started (tests watch with them): the local
    // help file (default ShellExecuteA), and the addresses the plain view's
    // links open outside the dialog (default UrlLauncher::ShellOpenUrl).
    void SetShellLauncher(ShellLauncher launcher) { launcher_ = std::move(launcher); }
    void SetUrlOpener(CHyperLink::Opener opener) { urlOpener_ = std::move(opener); }

    // The embedded page's address: res:// + the program's path + /23/186.
    static std::string PageAddress();
    // The folder of the program file, without a trailing backslash.
    static std::string ProgramFolder();
    // The embedded page's HTML; empty when the resource is missing.
    static std::string PageSource();

    CHyperLink& MailLink() { return mailLink_; }
    CHyperLink& SiteLink() { return siteLink_; }
    CWebBrowser21& Browser() { return browser_; }
    // True once the plain view stands in for the browser.
    bool ShowsPlainView() const { return plainView_ != nullptr; }

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void ShowPlainView();
    void OpenOutside(const std::wstring& url);

    CHyperLink mailLink_;
    CHyperLink siteLink_;
    CWebBrowser21 browser_;
    bool pageShown_ = false;
    HWND plainView_ = nullptr;  // a child of the dialog, gone with it
    ShellLauncher launcher_;
    CHyperLink::Opener urlOpener_;
};
