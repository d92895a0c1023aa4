#include "app/UninstallProgressDialog.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/Dpi.h"
#include "framework/MessageWait.h"
#include "inventory/BatchUninstallText.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kClockTimer = 1;
enum Column { Program, State };

}  // namespace

UninstallProgressDialog::UninstallProgressDialog(HWND owner, std::vector<std::wstring> displayNames)
    : ResizableDialog(IDD_UNINSTALL_PROGRESS, owner, MinimumSize::Opening), names_(std::move(displayNames)) {}

void UninstallProgressDialog::DoDataExchange() { Bind(list_, IDC_BATCH_LIST); }

bool UninstallProgressDialog::OnInitDialog() {
    AddControl(IDC_BATCH_NOW, AnchorStretchRight);
    AddControl(IDC_BATCH_LIST, AnchorStretchRight | AnchorStretchDown);
    AddControl(IDC_BATCH_BAR, AnchorStretchRight | AnchorMoveDown);
    AddControl(IDC_BATCH_ELAPSED, AnchorMoveDown);
    AddControl(IDC_BATCH_STOP, AnchorMoveRight | AnchorMoveDown);
    ResizableDialog::OnInitDialog();

    listFont_ = fw::MessageFont(Dpi());
    if (listFont_) {
        for (int id : {IDC_BATCH_LIST, IDC_BATCH_NOW})
            SendDlgItemMessageW(Hwnd(), id, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
    }
    list_.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    list_.InsertColumn(Program, L"Program", 100);
    list_.InsertColumn(State, L"State", 100);
    FitColumns();
    for (std::size_t i = 0; i < names_.size(); ++i) {
        list_.InsertItem(static_cast<int>(i), names_[i], 0);
        list_.SetItemText(static_cast<int>(i), State, WaitingStateText());
    }
    SendDlgItemMessageW(Hwnd(), IDC_BATCH_BAR, PBM_SETRANGE32, 0, static_cast<LPARAM>(names_.size()));
    ShowNow();
    ShowElapsed();
    SetTimer(Hwnd(), kClockTimer, 1000, nullptr);
    return true;
}

// The state column as wide as its longest words; the names get the rest,
// at any size and scale.
void UninstallProgressDialog::FitColumns() {
    if (!list_.Hwnd()) return;
    RECT client{};
    GetClientRect(list_.Hwnd(), &client);
    const int stateWidth = fw::Scaled(170, Dpi());
    ListView_SetColumnWidth(list_.Hwnd(), State, stateWidth);
    ListView_SetColumnWidth(list_.Hwnd(), Program,
                            std::max(fw::Scaled(80, Dpi()), static_cast<int>(client.right) - stateWidth -
                                                                fw::SystemMetric(SM_CXVSCROLL, Dpi())));
}

void UninstallProgressDialog::OnSize(UINT sizeType, int cx, int cy) {
    ResizableDialog::OnSize(sizeType, cx, cy);
    FitColumns();
}

void UninstallProgressDialog::OnDpiResized() { FitColumns(); }

void UninstallProgressDialog::Started(std::size_t index, const std::wstring&, bool quiet) {
    if (index >= names_.size()) return;
    running_ = index;
    list_.SetItemText(static_cast<int>(index), State, RunningStateText(quiet));
    list_.EnsureVisible(static_cast<int>(index));
    ShowNow();
}

void UninstallProgressDialog::Ended(std::size_t index, const BatchResult& result) {
    if (index >= names_.size()) return;
    if (running_ == index) running_.reset();
    list_.SetItemText(static_cast<int>(index), State, EndedStateText(result));
    ++ended_;
    if (result.outcome != BatchOutcome::NotRun) ++done_;
    SendDlgItemMessageW(Hwnd(), IDC_BATCH_BAR, PBM_SETPOS, static_cast<WPARAM>(ended_), 0);
    ShowNow();
}

void UninstallProgressDialog::Wait(DWORD milliseconds) {
    MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    std::optional<int> quit;
    fw::HandleQueuedMessages(quit);
    // The program is asked to end: nothing more is started.
    if (quit) {
        quit_ = quit;
        stopAsked_ = true;
    }
}

void UninstallProgressDialog::Finish() {
    KillTimer(Hwnd(), kClockTimer);
    ShowElapsed();
    running_.reset();
    stopAsked_ = true;
    EnableWindow(Item(IDC_BATCH_STOP), FALSE);
    ShowNow();
}

bool UninstallProgressDialog::OnButtonClicked(int id) {
    if (id != IDC_BATCH_STOP) return false;
    AskToStop();
    return true;
}

void UninstallProgressDialog::AskToStop() {
    if (stopAsked_) return;
    stopAsked_ = true;
    SetDlgItemTextW(Hwnd(), IDC_BATCH_STOP, L"Stopping\u2026");
    EnableWindow(Item(IDC_BATCH_STOP), FALSE);
    ShowNow();
}

void UninstallProgressDialog::ShowNow() {
    std::wstring now;
    if (running_) {
        now = L"Uninstalling " + std::to_wstring(*running_ + 1) + L" of " + std::to_wstring(names_.size()) + L": " +
              names_[*running_];
        if (stopAsked_) now += L" (the last one)";
    } else {
        now = std::to_wstring(done_) + L" of " + std::to_wstring(names_.size()) + L" done";
    }
    SetDlgItemTextW(Hwnd(), IDC_BATCH_NOW, now.c_str());
}

void UninstallProgressDialog::ShowElapsed() {
    const ULONGLONG seconds = (GetTickCount64() - start_) / 1000;
    wchar_t text[64];
    swprintf(text, 64, L"Elapsed time: %llu:%02llu", seconds / 60, seconds % 60);
    SetDlgItemTextW(Hwnd(), IDC_BATCH_ELAPSED, text);
}

bool UninstallProgressDialog::OnTimer(UINT_PTR id) {
    if (id != kClockTimer) return false;
    ShowElapsed();
    return true;
}

void UninstallProgressDialog::OnDestroy() {
    KillTimer(Hwnd(), kClockTimer);
    ResizableDialog::OnDestroy();
}
