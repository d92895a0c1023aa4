#pragma once
// The main window: the list of Add/Remove Programs entries, six icon
// buttons in two groups and a legend above the list. It owns the inventory
// and routes the commands.

#include <windows.h>

#include <memory>

#include "app/IconLoader.h"
#include "app/ProgramListCtrl.h"
#include "app/SplashWindow.h"
#include "framework/ImageList.h"
#include "inventory/ProgramInventory.h"
#include "net/UpgradeDialog.h"
#include "widgets/HoverButton.h"
#include "widgets/ResizableDialog.h"

// Where one RefreshList spent its time, in milliseconds.
struct RefreshTimings {
    double enumeration = 0;
    double phantomTests = 0;
    double sort = 0;   // putting the rows in order before they are inserted
    double rows = 0;   // inserting rows and their texts
    double icons = 0;  // handing the icon jobs to the loader
};

class MainDialog : public ResizableDialog {
public:
    MainDialog();
    ~MainDialog() override;

    // Re-reads the inventory and rebuilds every row of the list; with
    // `timings`, also says where the time went. Rows come with image 0;
    // their own icons follow from the icon loader (IconsPending).
    void RefreshList(RefreshTimings* timings = nullptr);
    // True while icons of the last fill are still to come.
    bool IconsPending() const { return iconLoader_.Busy(); }
    IconLoader& Icons() { return iconLoader_; }

    const ProgramInventory& Inventory() const { return inventory_; }
    ProgramListCtrl& List() { return list_; }
    const fw::ImageList& Images() const { return images_; }
    HoverButton& Button(int id);
    UpgradeDialog& UpgradeChecker() { return upgradeChecker_; }
    SplashWindow* Splash() const { return splash_.get(); }
    SIZE MinimumSize() const { return SIZE{minWidth_, minHeight_}; }

    // The tooltip of a control id; null for ids without one.
    static const char* ToolTipText(int controlId);

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnUninstall();
    void OnRemove();
    void OnUpgrade();
    void ShowInvalidSelection(const std::string& rowText);
    void DecorateButtons();
    void AddAboutItem();
    void ShowSplash();
    void SetUpList();
    void PaintMinimized();
    void ApplyIcons();

    UpgradeDialog upgradeChecker_;
    HoverButton helpButton_;
    HoverButton refreshButton_;
    HoverButton upgradeButton_;
    HoverButton removeButton_;
    HoverButton quitButton_;
    HoverButton uninstallButton_;
    ProgramListCtrl list_;
    HICON mainIcon_;  // shared resource icon: never destroyed
    int minWidth_ = 0;
    int minHeight_ = 0;
    fw::ImageList images_;
    std::unique_ptr<SplashWindow> splash_;
    ProgramInventory inventory_;
    IconLoader iconLoader_;  // last: stopped before anything it reports to goes
};
