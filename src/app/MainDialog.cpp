#include "app/MainDialog.h"

#include <direct.h>
#include <shellapi.h>

#include <algorithm>
#include <unordered_set>
#include <string>
#include <utility>
#include <vector>

#include "BuildConfig.h"
#include "app/AboutDialog.h"
#include "app/CommandState.h"
#include "app/ExportCommand.h"
#include "app/PropertiesDialog.h"
#include "inventory/UninstallerProbe.h"
#include "app/RestoreDialog.h"
#include "app/ScaledArt.h"
#include "app/WindowLayout.h"
#include "app/ElevatedUpgrade.h"
#include "widgets/HelpDialog.h"
#include "inventory/EntryJudgement.h"
#include "inventory/EntryProperties.h"
#include "app/RemoveCommand.h"
#include "inventory/EntryRemoval.h"
#include "inventory/EntrySelection.h"
#include "app/BatchUninstallCommand.h"
#include "app/UninstallCommand.h"
#include "framework/Clipboard.h"
#include "framework/Dpi.h"
#include "framework/PaintDc.h"
#include "framework/RunningAccount.h"
#include "framework/ShellIcon.h"
#include "framework/SystemErrorText.h"
#include "framework/UniqueHandle.h"
#include "framework/WindowQueries.h"
#include "inventory/EntryValidation.h"
#include "registry/SettingsStore.h"
#include "resource.h"

namespace {

constexpr const wchar_t* kCaption = L"" ZALTROW_MESSAGE_CAPTION;
constexpr const char* kSettingsKey = ZALTROW_SETTINGS_KEY;
constexpr const char* kDisableSplashValue = "bDisableSplash";
// While icons load, extracted ones go to their rows on this timer. A timer
// waits for painting, so the rows are drawn first however fast icons come.
constexpr UINT_PTR kIconTimer = 1;
constexpr UINT kIconTimerMs = 40;
// Posted once for however many selection changes come before it (Ctrl+A
// changes every row), so the buttons are set once.
constexpr UINT kUpdateStatesMessage = WM_APP + 1;
// Sizes at 100 % scale: the rows' and buttons' icons, and the columns
// before they are fitted to the rows.
constexpr int kRowIconSize = 32;
constexpr int kButtonIconSize = 32;
const int kNameColumnWidth = ColumnInfoOf(ProgramColumn::Name).width;
const int kPathColumnWidth = ColumnInfoOf(ProgramColumn::Command).width;
// The opening window grows to show whole names and paths, but to no more
// than this share of its monitor's work area.
constexpr int kMostOfScreenPercent = 90;

struct ButtonIcons {
    int control;
    UINT hoverIcon;
    UINT normalIcon;
};
constexpr ButtonIcons kButtonIcons[] = {
    {IDC_REFRESH, IDI_REFRESH_HOVER, IDI_REFRESH_NORMAL}, {IDC_UPGRADE, IDI_UPGRADE_HOVER, IDI_UPGRADE_NORMAL},
    {IDC_REMOVE, IDI_REMOVE_HOVER, IDI_REMOVE_NORMAL},    {IDC_QUIT, IDI_QUIT, IDI_QUIT},
    {IDC_HELP_BUTTON, IDI_HELP_HOVER, IDI_HELP_NORMAL},   {IDC_UNINSTALL, IDI_UNINSTALL, IDI_UNINSTALL},
};

}  // namespace

MainDialog::MainDialog()
    : ResizableDialog(IDD_ZALTROW_DIALOG, nullptr, MinimumSize::Opening),
      mainIcon_(LoadIconA(ResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      accelerators_(LoadAcceleratorsW(ResourceModule(), MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS))) {}

bool MainDialog::TranslateKeys(MSG& message) {
    if (!Hwnd() || (message.hwnd != Hwnd() && !IsChild(Hwnd(), message.hwnd))) return false;
    if (search_.HandleKey(message, list_.Hwnd())) return true;
    if (accelerators_ && TranslateAcceleratorW(Hwnd(), accelerators_, &message)) return true;
    return IsDialogMessageW(Hwnd(), &message) != FALSE;
}

fw::ImageList MainDialog::Images() const { return fw::ImageList(list_.GetImageList(LVSIL_SMALL)); }

HoverButton& MainDialog::Button(int id) {
    switch (id) {
    case IDC_HELP_BUTTON: return helpButton_;
    case IDC_REFRESH: return refreshButton_;
    case IDC_UPGRADE: return upgradeButton_;
    case IDC_REMOVE: return removeButton_;
    case IDC_QUIT: return quitButton_;
    default: return uninstallButton_;
    }
}

const char* MainDialog::ToolTipText(int controlId) {
    switch (controlId) {
    case IDC_UNINSTALL: return "Launch the selected program's Uninstall program.";
    case IDC_QUIT: return "Quit.";
    case IDC_REMOVE: return "Remove the selected program from the Add/Remove Programs list.";
    case IDC_REFRESH: return "Refresh the list of Add/Remove Programs.";
    case IDC_HELP_BUTTON: return "Help.";
    case IDC_UPGRADE: return "Check for updates.";
    default: return nullptr;
    }
}

void MainDialog::DoDataExchange() {
    Bind(helpButton_, IDC_HELP_BUTTON);
    Bind(refreshButton_, IDC_REFRESH);
    Bind(upgradeButton_, IDC_UPGRADE);
    Bind(removeButton_, IDC_REMOVE);
    Bind(quitButton_, IDC_QUIT);
    Bind(uninstallButton_, IDC_UNINSTALL);
    Bind(list_, IDC_PROGRAM_LIST);
    Bind(actionsGroup_, IDC_ACTIONS_GROUP);
    Bind(optionsGroup_, IDC_OPTIONS_GROUP);
    Bind(quickFilter_, IDC_QUICK_FILTER);
    Bind(searchBox_, IDC_SEARCH_BOX);
}

bool MainDialog::OnInitDialog() {
    AddControl(IDC_UNINSTALL, AnchorMoveDown);
    AddControl(IDC_REMOVE, AnchorMoveDown);
    AddControl(IDC_REFRESH, AnchorMoveDown);
    AddControl(IDC_UPGRADE, AnchorMoveRight | AnchorMoveDown);
    AddControl(IDC_HELP_BUTTON, AnchorMoveRight | AnchorMoveDown);
    AddControl(IDC_QUIT, AnchorMoveRight | AnchorMoveDown);
    AddControl(IDC_PROGRAM_LIST, AnchorStretchRight | AnchorStretchDown);
    AddControl(IDC_SHOWN_COUNT, AnchorStretchRight);
    AddControl(IDC_ACTIONS_GROUP, AnchorMoveDown);
    AddControl(IDC_OPTIONS_GROUP, AnchorMoveRight | AnchorMoveDown);
    // Every dialog of the program takes the window's look while it lives,
    // as the setting is when the window opens.
    theme_.Renew();
    fw::SetDialogLook(&theme_);
    ResizableDialog::OnInitDialog();

    DecorateButtons();
    AddAboutItem();
    ShowSplash();
    SetWindowIcons();
    // The buttons have tips; the list is no tool (see EnableToolTips).
    EnableToolTips({IDC_UNINSTALL, IDC_REMOVE, IDC_REFRESH, IDC_UPGRADE, IDC_HELP_BUTTON, IDC_QUIT});
    SetUpList();
    search_.Attach(Hwnd(), IDC_SEARCH_BOX, IDC_QUICK_FILTER, IDC_SHOWN_COUNT);
    ApplyLook();
    const WindowLayout::Stored stored = WindowLayout::Load(Hwnd(), list_, Dpi(), MinTrackSize());
    RefreshList();
    if (!stored.columns) FitColumnsToRows();
    if (!stored.placement) FitWindowToColumns();
    // The list has the focus from the start, its first row selected, as
    // the keyboard user expects; false keeps the system from moving it.
    SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_.Hwnd()), TRUE);
    return false;
}

void MainDialog::DecorateButtons() {
    for (const ButtonIcons& icons : kButtonIcons) {
        HoverButton& button = Button(icons.control);
        const int size = fw::Scaled(kButtonIconSize, Dpi());
        button.SetIcons(icons.hoverIcon, icons.normalIcon, size, size);
        button.SetIconAlign(0);
    }
    upgradeButton_.SetShield(StateOf(IDC_UPGRADE).needsElevation, fw::SystemMetric(SM_CXSMICON, Dpi()));
}

void MainDialog::AddAboutItem() {
    HMENU menu = GetSystemMenu(Hwnd(), FALSE);
    if (!menu) return;
    char text[256] = {};
    if (LoadStringA(ResourceModule(), IDS_ABOUTBOX, text, sizeof text) <= 0 || text[0] == '\0') return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
}

void MainDialog::ShowSplash() {
    SettingsStore store;
    if (store.ReadInt(kSettingsKey, kDisableSplashValue) == 1) return;
    store.WriteString(kSettingsKey, kDisableSplashValue, "0");
    splash_ = std::make_unique<SplashWindow>();
    if (!splash_->Start(Hwnd())) splash_.reset();
}

// The list's font, row icons and badge at the window's DPI.
void MainDialog::ScaleList() {
    // Entry names come in any script: the rows use a font that has them.
    fw::Font font = fw::MessageFont(Dpi());
    if (font) {
        SendMessageW(list_.Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
        listFont_ = std::move(font);  // after the list has let go of the previous one
    }
    // Red rows carry the phantom icon too, so colour is not the only sign.
    list_.SetBadge(fw::LoadIconAt(ResourceModule(), IDI_PHANTOM, ProgramListCtrl::kBadgeSize, Dpi()));

    const int size = fw::Scaled(kRowIconSize, Dpi());
    fw::ImageListHandle images = fw::ImageList::Create(size, size, ILC_COLOR32, 0, 1);
    fw::Icon defaultIcon = fw::LoadIconAt(ResourceModule(), IDI_DEFAULT_PROGRAM, kRowIconSize, Dpi());
    fw::ImageList(images.get()).AddIcon(defaultIcon.get());  // image 0; the list keeps a copy
    // From here the list control owns the image list and destroys it with
    // itself (its template has no LVS_SHAREIMAGELISTS); the previous one goes.
    list_.AdoptImageList(std::move(images), LVSIL_SMALL);

    ShowListPicture();
}

void MainDialog::ShowListPicture() {
    if (theme_.Dark()) {
        list_.RemoveBkImage();
        return;
    }
    wchar_t folder[2000] = {};
    if (_wgetcwd(folder, 2000)) {
        list_.SetBkImage(std::wstring(L"file://") + folder + L"\\" + ScaledArt::ListPicture(Dpi()), 50, 38);
    }
}

void MainDialog::ApplyLook() {
    list_.SetLook(theme_.Look());
    ShowListPicture();
    std::optional<HoverButton::Colors> colors;
    if (theme_.Dark()) {
        const theme::DarkColors& d = theme::Dark();
        colors = HoverButton::Colors{d.buttonFace, d.buttonText, d.disabledText, d.buttonLight, d.buttonShadow, d.frame};
    }
    for (const ButtonIcons& icons : kButtonIcons) Button(icons.control).SetColors(colors);
    std::optional<GroupFrame::Colors> groups;
    if (theme_.Dark()) groups = GroupFrame::Colors{theme::Dark().window, theme::Dark().text, theme::Dark().headerLine};
    actionsGroup_.SetColors(groups);
    optionsGroup_.SetColors(groups);
    std::optional<DropListBox::Colors> dropList;
    if (theme_.Dark()) {
        const theme::DarkColors& d = theme::Dark();
        dropList = DropListBox::Colors{d.edit, d.editText, d.headerLine, d.selectedRow, d.selectedRowText};
    }
    quickFilter_.SetColors(dropList);
    std::optional<EditFrame::Colors> editFrame;
    if (theme_.Dark()) editFrame = EditFrame::Colors{theme::Dark().headerLine, theme::Dark().edit};
    searchBox_.SetColors(editFrame);
}

// The big and small window icons at the window's DPI.
void MainDialog::SetWindowIcons() {
    bigIcon_ = fw::LoadIconAt(ResourceModule(), IDR_MAINFRAME, fw::SystemMetric(SM_CXICON, fw::kDefaultDpi), Dpi());
    smallIcon_ = fw::LoadIconAt(ResourceModule(), IDR_MAINFRAME, fw::SystemMetric(SM_CXSMICON, fw::kDefaultDpi), Dpi());
    SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_ ? bigIcon_.get() : mainIcon_));
    SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_ ? smallIcon_.get() : mainIcon_));
}

void MainDialog::OnDpiChanged(UINT from, UINT to) {
    ResizableDialog::OnDpiChanged(from, to);
    // Hidden columns too: they open again at the new scale.
    ColumnChoice::Layout columns = list_.Columns().Current(list_);
    for (int& width : columns.widths) width = MulDiv(width, static_cast<int>(to), static_cast<int>(from));
    list_.Columns().Apply(list_, columns);
    DecorateButtons();
    SetWindowIcons();
    ScaleList();
    // The rows' icons are extracted again at the new size.
    RefreshList();
}

// Scaled, the columns may no longer fit: borders and scroll bars do not
// grow in step, and a small monitor keeps the window narrower.
void MainDialog::OnDpiResized() { FitColumnsIntoList(); }

// Name and command as wide as the widest name (or the header's text) and
// the widest path; the other columns keep their widths.
void MainDialog::FitColumnsToRows() {
    const auto width = [this](int column) { return static_cast<int>(SendMessageW(list_.Hwnd(), LVM_GETCOLUMNWIDTH, column, 0)); };
    SendMessageW(list_.Hwnd(), LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    const int header = width(0);
    const int command = list_.Columns().IndexOf(ProgramColumn::Command);
    SendMessageW(list_.Hwnd(), LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
    if (command >= 0) SendMessageW(list_.Hwnd(), LVM_SETCOLUMNWIDTH, command, LVSCW_AUTOSIZE);
    // The list measures with paddings of fixed pixels; at a larger scale
    // the text needs room to match.
    const int slack = fw::Scaled(6, Dpi());
    SendMessageW(list_.Hwnd(), LVM_SETCOLUMNWIDTH, 0, std::max(width(0) + slack, header));
    const int nameMinimum = fw::Scaled(kNameColumnWidth, Dpi()) / 2;
    if (width(0) < nameMinimum) SendMessageW(list_.Hwnd(), LVM_SETCOLUMNWIDTH, 0, nameMinimum);
    if (command < 0) return;
    SendMessageW(list_.Hwnd(), LVM_SETCOLUMNWIDTH, command,
                 std::max(width(command) + slack, fw::Scaled(kPathColumnWidth, Dpi()) / 2));
}

// The opening window, wide and tall enough to show the columns whole and
// every row where its monitor has the room, centred on that monitor. Never
// smaller than the template makes it; where the monitor is too small the
// path column gives up the room, so no row needs scrolling sideways.
void MainDialog::FitWindowToColumns() {
    if (IsZoomed(Hwnd())) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(Hwnd(), MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    RECT window{}, listClient{};
    GetWindowRect(Hwnd(), &window);
    GetClientRect(list_.Hwnd(), &listClient);
    const auto columnWidth = [this](int column) { return static_cast<int>(SendMessageW(list_.Hwnd(), LVM_GETCOLUMNWIDTH, column, 0)); };
    int columns = 0;
    for (int column = 0; column < list_.Columns().ShownCount(); ++column) columns += columnWidth(column);
    const int scrollBar = fw::SystemMetric(SM_CXVSCROLL, Dpi());
    const bool verticalBar = (GetWindowLongPtrW(list_.Hwnd(), GWL_STYLE) & WS_VSCROLL) != 0;
    const int clientWidth = listClient.right + (verticalBar ? 0 : scrollBar);  // with room for the bar
    const int rowsHeight = [&]() -> int {
        RECT row{};
        const int count = list_.GetItemCount();
        if (count == 0 || !list_.GetItemRect(0, row, LVIR_BOUNDS)) return 0;
        return row.top + count * (row.bottom - row.top);  // the header, then every row
    }();
    const int most = kMostOfScreenPercent;
    const int width = std::clamp<int>(window.right - window.left + columns - clientWidth + scrollBar,
                                      window.right - window.left, (work.right - work.left) * most / 100);
    const int height = std::clamp<int>(window.bottom - window.top + rowsHeight - listClient.bottom,
                                       window.bottom - window.top, (work.bottom - work.top) * most / 100);
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    SetWindowPos(Hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    FitColumnsIntoList();
}

// Where the window has too little room the path column takes what is left
// after the others, and a name of extraordinary length no more than two
// thirds, so no row needs scrolling sideways.
void MainDialog::FitColumnsIntoList() {
    const auto columnWidth = [this](int column) { return static_cast<int>(SendMessageW(list_.Hwnd(), LVM_GETCOLUMNWIDTH, column, 0)); };
    int columns = 0;
    for (int column = 0; column < list_.Columns().ShownCount(); ++column) columns += columnWidth(column);
    const int scrollBar = fw::SystemMetric(SM_CXVSCROLL, Dpi());
    RECT listClient{};
    GetClientRect(list_.Hwnd(), &listClient);
    const int room = listClient.right - ((GetWindowLongPtrW(list_.Hwnd(), GWL_STYLE) & WS_VSCROLL) ? 0 : scrollBar);
    if (columns <= room) return;
    // The room comes from the path first, then the other columns, the name
    // last, each keeping enough to be seen.
    int excess = columns - room;
    const int command = list_.Columns().IndexOf(ProgramColumn::Command);
    const auto give = [&](int column, int least) {
        if (column < 0 || excess <= 0) return;
        const int now = columnWidth(column);
        const int taken = std::clamp(now - least, 0, excess);
        if (taken == 0) return;
        SendMessageW(list_.Hwnd(), LVM_SETCOLUMNWIDTH, column, now - taken);
        excess -= taken;
    };
    give(command, fw::Scaled(kPathColumnWidth, Dpi()) / 4);
    for (int column = 1; column < list_.Columns().ShownCount() && excess > 0; ++column)
        if (column != command) give(column, fw::Scaled(40, Dpi()));
    give(0, fw::Scaled(kNameColumnWidth, Dpi()) / 2);
}

void MainDialog::SetUpList() {
    list_.SetUp(Dpi());
    ScaleList();

    list_.SetTextBkColor(CLR_NONE);
    SetWindowTextA(Item(IDC_UPGRADE), "U&pgrade");
    SetWindowTextA(Hwnd(), ZALTROW_PRODUCT_NAME);

    // The info tip tells rows of the same name apart (by their keys), so
    // the list reports it in UTF-16 whatever the window's own text is.
    list_.UseWideNotifications();
    list_.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_HEADERDRAGDROP);
    // Where Windows offers annotations; elsewhere the tip and the icon say it.
    rowDescriptions_.Attach(list_.Hwnd(), [this](int row) { return RowDescription(row); });
}

namespace {

// Adds the time since the last call to one of a fill's phases.
class PhaseClock {
public:
    explicit PhaseClock(RefreshTimings* timings) : timings_(timings) {
        if (timings_) {
            QueryPerformanceFrequency(&frequency_);
            QueryPerformanceCounter(&last_);
        }
    }
    void Add(double RefreshTimings::*phase) {
        if (!timings_) return;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        timings_->*phase += 1000.0 * static_cast<double>(now.QuadPart - last_.QuadPart) /
                            static_cast<double>(frequency_.QuadPart);
        last_ = now;
    }

private:
    RefreshTimings* timings_;
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER last_{};
};

}  // namespace

void MainDialog::RefreshList() {
    const KeptSelection kept = KeepSelection();
    FillList();
    RestoreSelection(kept);
    UpdateCommandStates();
}

MainDialog::KeptSelection MainDialog::KeepSelection() const {
    KeptSelection kept;
    for (int row : list_.SelectedRows()) {
        if (kept.firstRow < 0) kept.firstRow = row;
        if (const ProgramRow* shown = list_.RowAt(row)) kept.selected.push_back(shown->identity);
    }
    if (const ProgramRow* shown = list_.RowAt(list_.FocusedRow())) kept.focused = shown->identity;
    return kept;
}

void MainDialog::RestoreSelection(const KeptSelection& kept) {
    const int count = list_.GetItemCount();
    if (count == 0) return;
    const std::unordered_set<std::wstring> wanted(kept.selected.begin(), kept.selected.end());
    std::vector<int> rows;
    int focus = -1;
    if (!wanted.empty() || !kept.focused.empty()) {
        for (int row = 0; row < count; ++row) {
            const ProgramRow* shown = list_.RowAt(row);
            if (!shown) continue;
            const std::wstring& identity = shown->identity;
            if (wanted.count(identity)) rows.push_back(row);
            if (identity == kept.focused) focus = row;
        }
    }
    if (rows.empty()) {
        // The selected entries are gone (removed) or none was selected:
        // the row now where the first of them was, as a list does after
        // a deletion; the first row at the start.
        const int row = std::clamp(kept.firstRow, 0, count - 1);
        rows.push_back(row);
        focus = row;
    }
    if (focus < 0) focus = rows.front();
    list_.SelectRows(rows, focus);
}

void MainDialog::FillList() {
    RefreshTimings timings;
    PhaseClock clock(refreshObserver_ ? &timings : nullptr);
    // One repaint at the end instead of one per inserted row: a visible
    // list otherwise redraws itself hundreds of times per fill.
    SendMessageA(list_.Hwnd(), WM_SETREDRAW, FALSE, 0);
    list_.DeleteAllItems();
    // Rows refer only to this fill's images or to image 0, so the rest can
    // go; otherwise every refresh would grow the list without bound. The
    // loader drops what the last fill still had coming.
    iconJobs_.clear();
    hurriedIconSources_.clear();
    iconLoader_.Load({});
    Images().Truncate(kFixedImages);
    inventory_.Enumerate();
    clock.Add(&RefreshTimings::enumeration);

    rows_.Fill(inventory_);
    search_.OfferLists(rows_);
    clock.Add(&RefreshTimings::phantomTests);

    // In the current sort order; rows that tie keep the inventory order, as
    // inserting and then sorting with the platform's merge sort would.
    list_.Show(&rows_);
    ShowLegend();
    ShowShownCount();
    clock.Add(&RefreshTimings::rows);

    // One extraction per icon source, however many rows share it, in the
    // order shown: the rows on screen get theirs first.
    std::vector<IconJob> jobs;
    std::vector<bool> queued(rows_.IconSources().size(), false);
    for (int row = 0; row < list_.GetItemCount(); ++row) {
        const ProgramRow* shown = list_.RowAt(row);
        if (!shown || shown->iconSource == ProgramRows::kNoIconSource || queued[shown->iconSource]) continue;
        queued[shown->iconSource] = true;
        const RowIconSource& source = rows_.IconSources()[shown->iconSource];
        jobs.push_back({shown->iconSource, source.path, source.index, fw::Scaled(kRowIconSize, Dpi())});
    }

    // The loader gets the jobs on the timer's first tick, which comes after
    // the list has painted, so extraction does not hold up the first sight
    // of the rows.
    iconJobs_ = std::move(jobs);
    if (!iconJobs_.empty()) SetTimer(Hwnd(), kIconTimer, kIconTimerMs, nullptr);
    SendMessageA(list_.Hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_.Hwnd(), nullptr, TRUE);
    clock.Add(&RefreshTimings::icons);
    if (refreshObserver_) refreshObserver_->RefreshTimed(timings);
}

// The legend says what red means; on a machine with more entries than the
// list holds it says instead how many are not listed, so none is missed
// without a word.
void MainDialog::ShowLegend() {
    std::wstring legend = L"Invalid phantom programs, which should be removed, are highlighted in red.";
    if (!inventory_.Shortfalls().empty()) legend = L"Invalid phantom programs are highlighted in red. Not listed: " + ProgramInventory::ShortfallText(inventory_.Shortfalls(), ProgramInventory::ListNames::Window) + L".";
    SetWindowTextW(Item(IDC_LEGEND), legend.c_str());
}

// The icons the loader has extracted go to the rows of their entries,
// wherever a header click has moved them; a row without an icon keeps
// image 0.
void MainDialog::ApplyIcons() {
    fw::ImageList images = Images();
    for (IconResult& result : iconLoader_.TakeResults()) {
        if (!result.icon || result.key >= rows_.IconSources().size()) continue;
        // The image list copies the icon; ours is destroyed with the result.
        const int image = images.AddIcon(result.icon.get());
        if (image < kFixedImages) continue;
        rows_.SetSourceImage(result.key, image);
        list_.RedrawModelRows(rows_.IconSources()[result.key].rows);
    }
}

// The rows on screen (scrolled or sorted there since) get their icons next.
void MainDialog::HurryVisibleIcons() {
    std::vector<std::size_t> sources;
    const auto [first, last] = list_.VisibleRows();
    for (int row = first; row < last; ++row) {
        const ProgramRow* shown = list_.RowAt(row);
        if (shown && shown->iconSource != ProgramRows::kNoIconSource) sources.push_back(shown->iconSource);
    }
    if (sources == hurriedIconSources_) return;
    iconLoader_.Prioritize(sources);
    hurriedIconSources_ = std::move(sources);
}

bool MainDialog::OnButtonClicked(int id) {
    // A command the rule says is not available now does nothing, however
    // it came (a key, a menu item, a message).
    if (!StateOf(id).available) return true;
    switch (id) {
    case IDC_REFRESH:
        RefreshList();
        return true;
    case ID_SELECT_ALL:
        SelectAllShown();
        return true;
    case ID_FIND:
        search_.Focus();
        return true;
    case ID_EXPORT:
        ExportCommand(inventory_, rows_, ShownModelRows()).Run(Hwnd());
        return true;
    case ID_SELECT_RED:
        SelectRedRows();
        return true;
    case ID_OPEN_FOLDER:
        OpenInstallFolder();
        return true;
    case ID_COPY_NAME:
        CopyNames();
        return true;
    case ID_KEY_IGNORED:
        return true;
    case ID_CONTEXT_MENU:
        ShowContextMenu(KeyboardMenuPoint());
        return true;
    case ID_PROPERTIES:
        ShowProperties();
        return true;
    case ID_RESTORE_REMOVED: {
        RestoreDialog restore(Hwnd());
        restore.DoModal();
        if (restore.RestoredAny()) RefreshList();
        return true;
    }
    case IDC_REMOVE:
        OnRemove();
        return true;
    case IDC_UPGRADE:
        OnUpgrade();
        return true;
    case IDC_HELP_BUTTON: {
        HelpDialog help(Hwnd());
        help.DoModal();
        return true;
    }
    default:
        return false;
    }
}

SelectionFacts MainDialog::Facts() const {
    SelectionFacts facts;
    facts.rows = static_cast<std::size_t>(list_.GetItemCount());
    facts.selected = static_cast<std::size_t>(list_.SelectedCount());
    facts.anyPhantom = AnyShownPhantom();
    const fw::AccountRights rights = fw::RunningRights();
    facts.mayChangeMachine = fw::MayChangeMachine(rights);
    if (facts.selected == 1)
        if (const ProgramEntry* entry = EntryOfRow(list_.FirstSelected())) facts.folderKnown = !entry->installLocation.empty();
    if (!facts.mayChangeMachine) {
        for (int row : list_.SelectedRows()) {
            const ProgramEntry* entry = EntryOfRow(row);
            if (entry && NeedsAdministrator(ListOf(*entry), rights)) {
                facts.selectionNeedsAdministrator = true;
                break;
            }
        }
    }
    return facts;
}

CommandState MainDialog::StateOf(int command) const { return CommandStateOf(command, Facts()); }

void MainDialog::OnUpgrade() {
    // The upgrade installs into Program Files: without administrator
    // rights an elevated copy of this program does it.
    if (!fw::MayChangeMachine(fw::RunningRights())) {
        const ElevatedUpgrade::UpgradeOutcome outcome = ElevatedUpgrade::Run(Hwnd());
        // The new version runs in this one's place.
        if (outcome == ElevatedUpgrade::UpgradeOutcome::Upgraded) DestroyWindow(Hwnd());
        // A setup that failed half-way may have changed the list.
        if (outcome == ElevatedUpgrade::UpgradeOutcome::NotUpgraded) RefreshList();
        return;
    }
    upgradeChecker_.SetProductToThisProgram();
    upgradeChecker_.SetParent(Hwnd());
    upgradeChecker_.DoModal();
}

// The Uninstall button, Enter and a double-click on a row.
void MainDialog::OnOK() { OnUninstall(); }

// Quit, Alt+F4 and the close box; Escape never comes here (TranslateKeys).
void MainDialog::OnCancel() { DestroyWindow(Hwnd()); }

const ProgramEntry* MainDialog::EntryOfRow(int row) const {
    const std::optional<std::size_t> at = list_.ModelRowAt(row);
    return at ? rows_.Entry(*at) : nullptr;
}

void MainDialog::ShowInvalidSelection(const std::wstring& rowText) {
    MessageBoxW(Hwnd(), InvalidSelectionText(rowText).c_str(), kCaption, MB_OK | MB_ICONHAND);
}

bool MainDialog::SelectedEntries(std::vector<ProgramEntry>& entries) {
    for (int row : list_.SelectedRows()) {
        const ProgramEntry* entry = EntryOfRow(row);
        if (!entry) {
            ShowInvalidSelection(list_.GetItemText(row, 0));
            return false;
        }
        entries.push_back(*entry);
    }
    return true;
}

void MainDialog::OnRemove() {
    // Copies of the entries: the refresh inside the removal leaves them.
    std::vector<ProgramEntry> entries;
    if (!SelectedEntries(entries) || entries.empty()) return;
    std::vector<RemovalCandidate> candidates;
    for (int row : list_.SelectedRows()) candidates.push_back({list_.GetItemText(row, 0), list_.IsPhantomRow(row)});
    switch (AskToRemove(Hwnd(), RemoveQuestionOf(candidates))) {
    case RemoveAnswer::Remove: RemoveProgramEntries(Hwnd(), entries, [this] { RefreshList(); }); return;
    case RemoveAnswer::Uninstall: OnUninstall(); return;
    case RemoveAnswer::Keep: return;
    }
}

void MainDialog::UpdateCommandStates() {
    statesPending_ = false;
    const SelectionFacts facts = Facts();
    for (const int id : {IDC_UNINSTALL, IDC_REMOVE}) {
        const bool enabled = CommandStateOf(id, facts).available;
        HWND button = Item(id);
        // A button that goes grey may not keep the focus: the list takes it.
        if (!enabled && GetFocus() == button)
            SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_.Hwnd()), TRUE);
        EnableWindow(button, enabled);
    }
    removeButton_.SetShield(CommandStateOf(IDC_REMOVE, facts).needsElevation, fw::SystemMetric(SM_CXSMICON, Dpi()));
    uninstallButton_.SetShield(CommandStateOf(IDC_UNINSTALL, facts).needsElevation,
                               fw::SystemMetric(SM_CXSMICON, Dpi()));
}

// The shown red rows; while a filter hides some, the count says how many
// of all red rows were selected.
void MainDialog::SelectRedRows() {
    std::vector<int> rows;
    for (int row = 0; row < list_.GetItemCount(); ++row)
        if (list_.GetItemData(row) == PhantomMark) rows.push_back(row);
    list_.SelectRows(rows, rows.empty() ? -1 : rows.front());
    if (!search_.Active()) return;
    std::size_t red = 0;
    for (const ProgramRow& row : rows_.All()) red += row.phantom ? 1 : 0;
    ShowShownCount(std::to_wstring(rows.size()) + L" of " + std::to_wstring(red) + L" red rows selected");
}

void MainDialog::SelectAllShown() {
    std::vector<int> rows;
    for (int row = 0; row < list_.GetItemCount(); ++row) {
        const ProgramEntry* entry = EntryOfRow(row);
        if (!entry || !IsOwnEntry(*entry) || list_.GetItemCount() == 1) rows.push_back(row);
    }
    list_.SelectRows(rows, -1);
}

std::vector<std::size_t> MainDialog::ShownModelRows() const {
    std::vector<std::size_t> shown;
    const int count = list_.GetItemCount();
    shown.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int row = 0; row < count; ++row)
        if (const std::optional<std::size_t> model = list_.ModelRowAt(row)) shown.push_back(*model);
    return shown;
}

bool MainDialog::AnyShownPhantom() const {
    for (int row = 0; row < list_.GetItemCount(); ++row)
        if (list_.IsPhantomRow(row)) return true;
    return false;
}

void MainDialog::ApplyFilter() {
    if (search_.Active())
        list_.SetFilter([this, criteria = search_.Criteria()](std::size_t row) { return criteria.Passes(rows_, row); });
    else
        list_.SetFilter({});
    ShowShownCount();
    UpdateCommandStates();
}

void MainDialog::ShowShownCount(const std::wstring& note) { search_.ShowCount(list_.ShownCount(), list_.ModelCount(), note); }

void MainDialog::ChooseColumns(POINT screen) {
    const std::optional<ProgramColumn> column = list_.Columns().Choose(Hwnd(), screen);
    if (column) list_.SetColumnShown(*column, !list_.Columns().Shown(*column));
}

bool MainDialog::OnCommand(int id, int code, HWND control) {
    if ((id == IDC_SEARCH_BOX && code == EN_CHANGE) || (id == IDC_QUICK_FILTER && code == CBN_SELCHANGE)) {
        ApplyFilter();
        return true;
    }
    return ResizableDialog::OnCommand(id, code, control);
}

void MainDialog::OpenInstallFolder() {
    const ProgramEntry* entry = StateOf(ID_OPEN_FOLDER).available ? EntryOfRow(list_.FirstSelected()) : nullptr;
    if (!entry || entry->installLocation.empty()) return;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = Hwnd();
    info.lpVerb = L"open";
    info.lpFile = entry->installLocation.c_str();
    info.nShow = SW_SHOWNORMAL;
    SetLastError(ERROR_SUCCESS);
    if (ShellExecuteExW(&info)) return;
    const DWORD error = GetLastError();
    const std::wstring text = L"The install folder could not be opened:\n" + entry->installLocation + L"\n\n" +
                              fw::SystemErrorText(error != ERROR_SUCCESS ? error : ERROR_PATH_NOT_FOUND);
    MessageBoxW(Hwnd(), text.c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
}

// The names of the selected rows, one per line, as a person would paste them.
void MainDialog::CopyNames() {
    std::wstring names;
    for (int row : list_.SelectedRows()) {
        if (!names.empty()) names += L"\r\n";
        names += list_.GetItemText(row, 0);
    }
    if (!names.empty()) fw::CopyToClipboard(Hwnd(), names);
}

// From the keyboard (Shift+F10, the menu key): below the focused row, or
// at the list's corner when no row is on screen.
POINT MainDialog::KeyboardMenuPoint() const {
    RECT row{};
    const int focused = list_.FocusedRow();
    POINT point{8, 8};
    if (focused >= 0 && list_.GetItemRect(focused, row, LVIR_LABEL)) point = {row.left + 8, row.bottom};
    ClientToScreen(list_.Hwnd(), &point);
    return point;
}

bool MainDialog::OnContextMenu(HWND window, POINT screen, bool fromKeyboard) {
    if (window == list_.Header() && !fromKeyboard) {
        ChooseColumns(screen);
        return true;
    }
    if (window != list_.Hwnd()) return false;
    ShowContextMenu(fromKeyboard ? KeyboardMenuPoint() : screen);
    return true;
}

void MainDialog::ShowContextMenu(POINT point) {
    HMENU menus = LoadMenuW(ResourceModule(), MAKEINTRESOURCEW(IDR_LIST_MENU));
    if (!menus) return;
    HMENU menu = GetSubMenu(menus, 0);
    const SelectionFacts facts = Facts();
    const int shieldSize = fw::SystemMetric(SM_CXSMICON, Dpi());
    fw::Bitmap shield = fw::IconBitmap(fw::ShieldIcon(shieldSize).get(), shieldSize);
    for (const int id : {IDC_UNINSTALL, IDC_REMOVE, ID_PROPERTIES, ID_OPEN_FOLDER, ID_COPY_NAME, ID_SELECT_ALL,
                         ID_SELECT_RED, ID_RESTORE_REMOVED}) {
        const CommandState state = CommandStateOf(id, facts);
        EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (state.available ? MF_ENABLED : MF_GRAYED));
        // The shield on what will ask for administrator rights.
        if (!state.needsElevation || !shield) continue;
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_BITMAP;
        item.hbmpItem = shield.get();
        SetMenuItemInfoW(menu, static_cast<UINT>(id), FALSE, &item);
    }
    SetMenuDefaultItem(menu, IDC_UNINSTALL, FALSE);
    const UINT command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x, point.y, 0,
                                        Hwnd(), nullptr);
    DestroyMenu(menus);
    if (command) SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
}

void MainDialog::OnUninstall() {
    if (!StateOf(IDC_UNINSTALL).available) return;
    if (list_.SelectedCount() > 1) {
        std::vector<BatchUninstallCommand::Chosen> chosen;
        for (int row : list_.SelectedRows()) {
            const ProgramEntry* entry = EntryOfRow(row);
            if (!entry) {
                ShowInvalidSelection(list_.GetItemText(row, 0));
                return;
            }
            chosen.push_back({*entry, *list_.RowAt(row)});
        }
        BatchUninstallCommand::Run(Hwnd(), chosen, [this] { RefreshList(); }, [this](const std::wstring& identity) {
            const std::optional<std::size_t> row = rows_.RowOfIdentity(identity);
            return row && rows_[*row].phantom;
        });
        return;
    }
    const int row = list_.FirstSelected();
    if (row < 0) return;
    const ProgramEntry* shownEntry = EntryOfRow(row);
    if (!shownEntry) {
        ShowInvalidSelection(list_.GetItemText(row, 0));
        return;
    }
    // The selection's own copies: the refresh after the uninstaller leaves them.
    const ProgramEntry entry = *shownEntry;
    const ProgramRow judged = *list_.RowAt(row);
    UninstallCommand::Run(Hwnd(), Dpi(), entry, judged, [this] { RefreshList(); },
                          [this](const std::wstring& identity) { return rows_.RowOfIdentity(identity).has_value(); });
}

bool MainDialog::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.code == TTN_NEEDTEXTA) {
        auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
        if (!(info.uFlags & TTF_IDISHWND)) return false;
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(header.idFrom));
        if (id == 0) return false;
        if (const char* text = ToolTipText(id)) info.lpszText = const_cast<char*>(text);
        result = TRUE;
        return true;
    }
    if (header.code == NM_DBLCLK && header.idFrom == IDC_PROGRAM_LIST) {
        OnUninstall();
        result = 0;
        return true;
    }
    if (header.code == LVN_ITEMCHANGED && header.idFrom == IDC_PROGRAM_LIST) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) &&
            !statesPending_) {
            statesPending_ = PostMessageW(Hwnd(), kUpdateStatesMessage, 0, 0) != FALSE;
        }
        return false;
    }
    if (header.code == LVN_GETINFOTIPW && header.idFrom == IDC_PROGRAM_LIST) {
        ShowInfoTip(reinterpret_cast<NMLVGETINFOTIPW&>(header));
        result = 0;
        return true;
    }
    return false;
}

// A row's tip names its list and key; a cut-off name comes first, whole.
void MainDialog::ShowInfoTip(NMLVGETINFOTIPW& tip) const {
    const ProgramEntry* entry = EntryOfRow(tip.iItem);
    if (!entry || !tip.pszText || tip.cchTextMax <= 0) return;
    std::wstring text = (tip.dwFlags & LVGIT_UNFOLDED) ? std::wstring() : std::wstring(tip.pszText);
    if (!text.empty()) text += L"\n";
    text += EntryInfoTip(*entry);
    if (const std::wstring reason = RowDescription(tip.iItem); !reason.empty()) text += L"\n" + reason;
    const std::size_t room = static_cast<std::size_t>(tip.cchTextMax) - 1;
    if (text.size() > room) text.resize(room);
    text.copy(tip.pszText, text.size());
    tip.pszText[text.size()] = L'\0';
}

void MainDialog::PaintMinimized() {
    fw::PaintDc dc(Hwnd());
    SendMessageA(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    const int iconWidth = fw::SystemMetric(SM_CXICON, Dpi());
    const int iconHeight = fw::SystemMetric(SM_CYICON, Dpi());
    RECT client{};
    GetClientRect(Hwnd(), &client);
    DrawIcon(dc.Get(), (client.right - iconWidth + 1) / 2, (client.bottom - iconHeight + 1) / 2, mainIcon_);
}

bool MainDialog::OnSysCommand(UINT command, LPARAM) {
    if (command != IDM_ABOUTBOX) return false;
    AboutDialog about(Hwnd());
    about.DoModal();
    return true;
}

bool MainDialog::OnPaint() {
    if (!IsIconic(Hwnd())) return false;
    PaintMinimized();
    return true;
}

bool MainDialog::OnTimer(UINT_PTR id) {
    if (id != kIconTimer) return false;
    if (!iconJobs_.empty()) iconLoader_.Load(std::exchange(iconJobs_, {}));
    HurryVisibleIcons();
    ApplyIcons();
    if (!iconLoader_.Busy()) KillTimer(Hwnd(), kIconTimer);
    return true;
}

void MainDialog::ShowProperties() {
    if (!StateOf(ID_PROPERTIES).available) return;
    // Of several selected rows, the focused one (Alt+Enter speaks of it).
    const int focused = list_.FocusedRow();
    const int row = focused >= 0 && (ListView_GetItemState(list_.Hwnd(), focused, LVIS_SELECTED) & LVIS_SELECTED)
                        ? focused
                        : list_.FirstSelected();
    const ProgramEntry* entry = EntryOfRow(row);
    if (!entry) return;
    const ProgramRow& shown = *list_.RowAt(row);
    PropertiesDialog properties(Hwnd(), *entry, shown.phantom, shown.reason, QuietUninstallOf(*entry, shown.file, shown.args));
    properties.DoModal();
}

// A row's text for screen readers: its name, and for a red row why it is red.
std::wstring MainDialog::RowDescription(int row) const {
    return row >= 0 && row < list_.GetItemCount() ? RowReasonText(list_.IsPhantomRow(row), list_.ReasonAt(row))
                                                  : std::wstring();
}

void MainDialog::OnDestroy() {
    rowDescriptions_.Detach();  // while the list is still there
    WindowLayout::Save(Hwnd(), list_, Dpi());
    // No icon may arrive for a list that is going: the worker ends here.
    KillTimer(Hwnd(), kIconTimer);
    iconJobs_.clear();
    iconLoader_.Stop();
    ResizableDialog::OnDestroy();
    if (fw::CurrentDialogLook() == &theme_) fw::SetDialogLook(nullptr);
    if (endsProgram_) PostQuitMessage(0);
}

bool MainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_QUERYDRAGICON) {
        result = reinterpret_cast<LRESULT>(mainIcon_);
        return true;
    }
    if (message == kUpdateStatesMessage) {
        UpdateCommandStates();
        return true;
    }
    // The framework has read the look again and dressed the dialog.
    if (fw::ChangesLook(Hwnd(), message, wParam, lParam)) ApplyLook();
    return ResizableDialog::OnMessage(message, wParam, lParam, result);
}
