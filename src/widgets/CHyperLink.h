#pragma once
// A dialog's static text turned into a hyperlink: underlined, blue (purple
// once opened, teal while it has the focus), with a hand cursor and a
// tooltip showing the target. A click, or the space bar while it has the
// focus, opens the target through the shell; when the shell cannot, the
// default web browser's command line is run directly; when that fails as
// well, a message box says why.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Control.h"
#include "framework/UniqueHandle.h"

class CHyperLink : public fw::Control {
public:
    static constexpr COLORREF kLinkColour = RGB(0, 0, 255);
    static constexpr COLORREF kFocusColour = RGB(0, 128, 128);
    static constexpr COLORREF kVisitedColour = RGB(128, 0, 128);
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
    // Replaces ShellOpenUrl for this link (tests use it to watch opens).
    void SetOpener(Opener opener) { opener_ = std::move(opener); }

    bool Active() const { return active_ != FALSE; }
    bool MouseOver() const { return mouseOver_ != FALSE; }
    bool Visited() const { return visited_ != FALSE; }
    HWND ToolTip() const { return toolTip_; }
    // The text colour the link is drawn in now.
    COLORREF TextColour() const;

    bool OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The shell opens `url` ("open"); if it cannot, the ".htm" files'
    // browser command is run with the URL in place of its placeholder.
    // The shell's result, or the browser command's when that was run.
    static INT_PTR ShellOpenUrl(const std::string& url, int showCommand);
    // The default value of `root`\`subkey` (at most 259 characters) into
    // `value`: 0, or the registry's error code.
    static LONG ReadRegDefault(HKEY root, const std::string& subkey, std::string& value);
    // Tells the user why a link could not be opened (message box owned by
    // `owner`, captioned with the program's name).
    static void ReportLinkError(HWND owner, INT_PTR code);
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
