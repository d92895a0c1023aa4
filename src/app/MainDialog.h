#pragma once
// The main window: the list of Add/Remove Programs entries, six icon
// buttons in two groups and a legend above the list. It owns the inventory
// and routes the commands.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CommandState.h"
#include "app/IconLoader.h"
#include "app/ProgramListCtrl.h"
#include "app/RefreshObserver.h"
#include "app/SearchBar.h"
#include "app/SplashWindow.h"
#include "framework/ImageList.h"
#include "inventory/ProgramInventory.h"
#include "app/UpgradeDialog.h"
#include "app/WindowTheme.h"
#include "widgets/AccessibleRowDescriptions.h"
#include "widgets/DropListBox.h"
#include "widgets/EditFrame.h"
#include "widgets/GroupFrame.h"
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

    // The main window's keys, for the message loop: its accelerators
    // (Delete, F5, F1, Ctrl+A, Ctrl+Shift+A, Alt+Enter; Escape does
    // nothing), then the dialog manager's (Tab, Enter, Alt+letter). True
    // when `message` was one of them and is handled.
    bool TranslateKeys(MSG& message);
    // The program ends when this window closes (Quit, Alt+F4, the close box).
    void EndProgramOnClose() { endsProgram_ = true; }

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;
    bool OnButtonClicked(int id) override;
    bool OnContextMenu(HWND window, POINT screen, bool fromKeyboard) override;
    void OnOK() override;
    void OnCancel() override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnSysCommand(UINT command, LPARAM position) override;
    bool OnPaint() override;
    bool OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDpiChanged(UINT from, UINT to) override;
    void OnDpiResized() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    friend struct MainDialogTestAccess;

    HoverButton& Button(int id);
    // The list's image list, which the list control owns.
    fw::ImageList Images() const;

    void OnUninstall();
    void OnRemove();
    // The entries of the selected rows, in row order; false (after saying
    // so) when a selected row shows no entry.
    bool SelectedEntries(std::vector<ProgramEntry>& entries);
    // Which entries are selected and focused, to be selected again after a
    // fill; a selection whose entries are all gone leaves the row that took
    // the first one's place selected.
    struct KeptSelection {
        std::vector<std::wstring> selected;  // EntryIdentity of each
        std::wstring focused;
        int firstRow = -1;
    };
    KeptSelection KeepSelection() const;
    void RestoreSelection(const KeptSelection& kept);
    // The buttons as the command rule says (CommandStateOf).
    void UpdateCommandStates();
    // What the command rule reads: the selection, the rows, the account.
    SelectionFacts Facts() const;
    CommandState StateOf(int command) const;
    POINT KeyboardMenuPoint() const;
    void ShowContextMenu(POINT screen);
    void SelectRedRows();
    void OpenInstallFolder();
    void CopyNames();
    void ShowProperties();
    std::wstring RowDescription(int row) const;
    void FitColumnsToRows();
    void FitWindowToColumns();
    void FitColumnsIntoList();
    void ScaleList();
    // The list's background picture at the window's DPI; none in the
    // dark look, whose list it would light up.
    void ShowListPicture();
    // The look (theme_) on the parts the window draws itself: the rows,
    // the header, the buttons, the list's picture. The dialog's own
    // colours follow from theme_ as the framework's dialog look.
    void ApplyLook();
    void SetWindowIcons();
    void FillList();
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
    // The search row (SearchBar): the list shows what it lets through, and
    // the count says how many; `note` follows the count.
    void ApplyFilter();
    void ShowShownCount(const std::wstring& note = {});
    // Ctrl+A: every shown row, but this program's own entry unless it is
    // the only one shown.
    void SelectAllShown();
    // The header's menu: a column shown or hidden.
    void ChooseColumns(POINT screen);
    // A shown row is red.
    bool AnyShownPhantom() const;
    // The model's rows the list shows, in its order (what Export writes).
    std::vector<std::size_t> ShownModelRows() const;

    WindowTheme theme_;
    UpgradeDialog upgradeChecker_;
    HoverButton helpButton_;
    HoverButton refreshButton_;
    HoverButton upgradeButton_;
    HoverButton removeButton_;
    HoverButton quitButton_;
    HoverButton uninstallButton_;
    GroupFrame actionsGroup_;
    GroupFrame optionsGroup_;
    DropListBox quickFilter_;  // the search row's quick filters (search_)
    EditFrame searchBox_;      // and its search box
    ProgramListCtrl list_;
    SearchBar search_;
    HICON mainIcon_;  // shared resource icon: never destroyed
    fw::Icon bigIcon_;    // the window's icons at its DPI
    fw::Icon smallIcon_;
    fw::Font listFont_;  // the rows' font, which shows names in any script
    std::unique_ptr<SplashWindow> splash_;
    ProgramInventory inventory_;
    ProgramRows rows_;  // the last fill's, which the list shows
    RefreshObserver* refreshObserver_ = nullptr;
    HACCEL accelerators_ = nullptr;  // a resource's: never destroyed
    bool statesPending_ = false;     // an update of the buttons is posted
    bool endsProgram_ = false;
    AccessibleRowDescriptions rowDescriptions_;  // the reason of red rows, for screen readers
    std::vector<IconJob> iconJobs_;  // the last fill's, until the loader takes them
    std::vector<std::size_t> hurriedIconSources_;  // the icon sources of the rows on screen at the last tick
    IconLoader iconLoader_;  // last; stopped when the window goes (OnDestroy)
};
