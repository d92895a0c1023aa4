#include "app/StillListedDialog.h"

#include "BuildConfig.h"
#include "resource.h"

namespace {

std::wstring StillListedQuestion(UninstallOutcome outcome, const std::wstring& reason) {
    constexpr const wchar_t* kStillListed = L"the program is still listed in your Add/Remove Programs list.";
    constexpr const wchar_t* kQuestion = L"\n\nWould you like to remove the entry?";
    switch (outcome) {
    case UninstallOutcome::Ended:
        return std::wstring(L"The uninstall program has completed or was cancelled. However, ") + kStillListed +
               kQuestion;
    case UninstallOutcome::MayBeRunning:
        return std::wstring(L"The uninstall program may still be running: " ZALTROW_PRODUCT_NAME
                            " could not see whether it has finished. For now, ") +
               kStillListed + kQuestion;
    case UninstallOutcome::NotStarted:
        break;
    }
    return reason + L"\n\nNothing was run, and " + kStillListed + kQuestion;
}

}  // namespace

StillListedDialog::StillListedDialog(HWND owner) : EntryDialog(IDD_STILL_LISTED, owner) {}

bool StillListedDialog::OnInitDialog() {
    EntryDialog::OnInitDialog();
    SetDlgItemTextW(Hwnd(), IDC_OFFER_QUESTION, StillListedQuestion(outcome, reason).c_str());
    return true;
}
