#pragma once
// The window over a batch of uninstalls: every program with its state
// (waiting, running, then how it ended), the overall bar, the time gone
// and "Stop after this one". It is the batch's BatchProgress: the batch
// runs on this thread, and each wait handles the messages meanwhile, so
// the window keeps answering. Its close box and Escape stop after the
// running one too. The caller creates it (fw::Modeless) and keeps its
// owner closed to input while the batch runs and its report is read.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/ThemedListView.h"
#include "framework/ListView.h"
#include "framework/UniqueHandle.h"
#include "inventory/BatchUninstall.h"
#include "widgets/ResizableDialog.h"

class UninstallProgressDialog : public ResizableDialog, public BatchProgress {
public:
    UninstallProgressDialog(HWND owner, std::vector<std::wstring> displayNames);

    void Started(std::size_t index, const std::wstring& command, bool quiet) override;
    void Ended(std::size_t index, const BatchResult& result) override;
    void Wait(DWORD milliseconds) override;
    bool GoOn() override { return !stopAsked_; }

    bool StopAsked() const { return stopAsked_; }
    // The batch is over: the clock stops, and the window shows the last
    // states until it is closed.
    void Finish();
    // A WM_QUIT met while the batch ran: its exit code, for the caller to
    // post again once the batch is over.
    const std::optional<int>& Quit() const { return quit_; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange() override;
    bool OnButtonClicked(int id) override;
    void OnOK() override {}
    void OnCancel() override { AskToStop(); }
    bool OnTimer(UINT_PTR id) override;
    void OnSize(UINT sizeType, int cx, int cy) override;
    void OnDpiResized() override;
    void OnDestroy() override;

private:
    void AskToStop();
    void ShowElapsed();
    void ShowNow();
    void FitColumns();

    std::vector<std::wstring> names_;
    ThemedListView list_;
    fw::Font listFont_;  // names come in any script
    std::size_t ended_ = 0;  // the bar: every entry said, run or not
    std::size_t done_ = 0;   // of them, the ones that were run (or skipped)
    std::optional<std::size_t> running_;
    bool stopAsked_ = false;
    std::optional<int> quit_;
    ULONGLONG start_ = GetTickCount64();
};
