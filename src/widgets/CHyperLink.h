#pragma once
// A dialog's static text turned into a hyperlink: underlined, blue (purple
// once opened, teal while it has the focus), with a hand cursor and a
// tooltip showing the target. A click, or the space bar while it has the
// focus, opens the target (by default through UrlLauncher::ShellOpenUrl);
// when that fails, a message box says why.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Control.h"
#include "framework/UniqueHandle.h"

class CHyperLink : public fw::Control {
public:
    static constexpr COLORREF kLinkColor = RGB(0, 0, 255);
    static constexpr COLORREF kFocusColor = RGB(0, 128, 128);
    static constexpr COLORREF kVisitedColor = RGB(128, 0, 128);
    // The tooltip's one tool.
    static constexpr UINT_PTR kToolId = 1;

    // How a link opens its target: a shell result code, success above 32.
    using Opener = std::function<INT_PTR(const std::string& url, int showCommand)>;

    CHyperLink();
    ~CHyperLink() override;

    // Sets the target; a bound link is refitted to its text and its
    // tooltip shows the new target.
    void SetLinkUrl(const std::string& url);
    const std::string& LinkUrl() const { return url_; }

    // Opens the target (see the class comment). On success the link counts
    // as visited; on failure a beep and ReportLinkError, the state stays.
    void OpenLink();
    // Replaces UrlLauncher::ShellOpenUrl for this link (tests use it to watch opens).
    void SetOpener(Opener opener) { opener_ = std::move(opener); }

    bool Active() const { return active_ != FALSE; }
    bool MouseOver() const { return mouseOver_ != FALSE; }
    bool Visited() const { return visited_ != FALSE; }
    HWND ToolTip() const { return toolTip_; }
    // The text color the link is drawn in now.
    COLORREF TextColor() const;

    bool OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The hand cursor all links share: the system help viewer's, else the
    // system's own hand. Loaded once, kept for the process's life.
    static HCURSOR HandCursor();

protected:
    void PreSubclass() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FitToText();
    void CreateToolTip();
    void RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam) const;

    BOOL active_ = FALSE;
    BOOL mouseOver_ = FALSE;
    BOOL visited_ = FALSE;
    std::string url_;
    fw::Font linkFont_;
    HWND toolTip_ = nullptr;  // owned by the link's window, gone with it
    Opener opener_;
};
