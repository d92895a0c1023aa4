#pragma once
// The main window: the list of Add/Remove Programs entries, six icon
// buttons in two groups and a legend above the list. It owns the inventory
// and routes the commands.

#include <windows.h>

#include <memory>

#include "app/IconLoader.h"
#include "app/ProgramListCtrl.h"
#include "app/RefreshObserver.h"
#include "app/SplashWindow.h"
#include "framework/ImageList.h"
#include "inventory/ProgramInventory.h"
#include "net/UpgradeDialog.h"
#include "widgets/HoverButton.h"
#include "widgets/ResizableDialog.h"

struct MainDialogTestAccess;  // the tests' view of the parts below

class MainDialog : public ResizableDialog {
public:
    MainDialog();

    // Re-reads the inventory and rebuilds every row of the list, in the
    // list's sort column and direction. Rows come with image 0; their own
    // icons follow from the icon loader (IconsPending), the rows on screen
    // first.
    void RefreshList();
    // Images every fill keeps: 0, the rows' placeholder.
    static constexpr int kFixedImages = 1;
    // True while icons of the last fill are still to come.
    bool IconsPending() const { return !iconJobs_.empty() || iconLoader_.Busy(); }
    // Told where each RefreshList spends its time; null for nobody.
    void SetRefreshObserver(RefreshObserver* observer) { refreshObserver_ = observer; }

    // The tooltip of a control id; null for ids without one.
    static const char* ToolTipText(int controlId);

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnSysCommand(UINT command, LPARAM position) override;
    bool OnPaint() override;
    bool OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    friend struct MainDialogTestAccess;

    HoverButton& Button(int id);
    // The list's image list, which the list control owns.
    fw::ImageList Images() const;

    void OnUninstall();
    void OnRemove();
    void OnUpgrade();
    // The inventory entry the row now at `row` was filled from; null for
    // none. Valid until the next fill.
    const ProgramEntry* EntryOfRow(int row) const;
    void ShowInvalidSelection(const std::wstring& rowText);
    void ShowInfoTip(NMLVGETINFOTIPW& tip) const;
    void DecorateButtons();
    void AddAboutItem();
    void ShowSplash();
    void SetUpList();
    void PaintMinimized();
    void ApplyIcons();
    void HurryVisibleIcons();
    void ShowLegend();

    UpgradeDialog upgradeChecker_;
    HoverButton helpButton_;
    HoverButton refreshButton_;
    HoverButton upgradeButton_;
    HoverButton removeButton_;
    HoverButton quitButton_;
    HoverButton uninstallButton_;
    ProgramListCtrl list_;
    HICON mainIcon_;  // shared resource icon: never destroyed
    fw::Font listFont_;  // the rows' font, which shows names in any script
    std::unique_ptr<SplashWindow> splash_;
    ProgramInventory inventory_;
    RefreshObserver* refreshObserver_ = nullptr;
    std::vector<IconJob> iconJobs_;  // the last fill's, until the loader takes them
    // The last fill's icon sources (the jobs' keys): the entries showing each.
    std::vector<std::vector<std::size_t>> iconSources_;
    static constexpr std::size_t kNoIconSource = static_cast<std::size_t>(-1);
    std::vector<std::size_t> iconSourceOfEntry_;  // by entry; kNoIconSource for none
    std::vector<std::size_t> hurriedIconSources_;  // those of the rows on screen at the last tick
    IconLoader iconLoader_;  // last; stopped when the window goes (OnDestroy)
};
