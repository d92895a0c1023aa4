#include "app/SearchBar.h"

#include <commctrl.h>

#include <algorithm>

namespace {

const wchar_t* ListsText(SearchBar::Lists lists) {
    switch (lists) {
    case SearchBar::Lists::Machine: return L"this machine";
    case SearchBar::Lists::ThisUser: return L"this user";
    case SearchBar::Lists::OtherUsers: return L"other users";
    default: return L"all lists";
    }
}

std::wstring QuickText(const SearchBar::Quick& quick) {
    if (quick.lists == SearchBar::Lists::All) return quick.redOnly ? L"Red only" : L"All";
    std::wstring text = quick.redOnly ? L"Red of " : L"All of ";
    return text + ListsText(quick.lists);
}

bool InLists(EntrySource source, SearchBar::Lists lists) {
    switch (lists) {
    case SearchBar::Lists::Machine:
        return source == EntrySource::Machine || source == EntrySource::Machine64 || source == EntrySource::Machine32;
    case SearchBar::Lists::ThisUser: return source == EntrySource::User;
    case SearchBar::Lists::OtherUsers: return source == EntrySource::OtherUser;
    default: return true;
    }
}

}  // namespace

void SearchBar::Attach(HWND dialog, int boxId, int quickId, int countId) {
    box_ = GetDlgItem(dialog, boxId);
    quick_ = GetDlgItem(dialog, quickId);
    count_ = GetDlgItem(dialog, countId);
    // Shown also while the box has the focus, so the empty box still says
    // what it searches.
    SendMessageW(box_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(kCueText));
    OfferLists(ProgramRows());
}

void SearchBar::OfferLists(const ProgramRows& rows) {
    const Quick chosen = Chosen();
    bool others = false;
    for (const ProgramRow& row : rows.All()) others = others || row.source == EntrySource::OtherUser;
    std::vector<Quick> offered;
    for (Lists lists : {Lists::All, Lists::Machine, Lists::ThisUser, Lists::OtherUsers}) {
        if (lists == Lists::OtherUsers && !others) continue;
        offered.push_back({lists, false});
        offered.push_back({lists, true});
    }
    if (offered == offered_) return;
    offered_ = std::move(offered);
    SendMessageW(quick_, CB_RESETCONTENT, 0, 0);
    for (const Quick& quick : offered_)
        SendMessageW(quick_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(QuickText(quick).c_str()));
    const auto at = std::find(offered_.begin(), offered_.end(), chosen);
    SendMessageW(quick_, CB_SETCURSEL, at == offered_.end() ? 0 : at - offered_.begin(), 0);
}

std::wstring SearchBar::Text() const {
    const int length = GetWindowTextLengthW(box_);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box_, text.data(), length + 1)));
    return text;
}

SearchBar::Quick SearchBar::Chosen() const {
    const LRESULT at = quick_ ? SendMessageW(quick_, CB_GETCURSEL, 0, 0) : CB_ERR;
    return at >= 0 && static_cast<std::size_t>(at) < offered_.size() ? offered_[static_cast<std::size_t>(at)] : Quick{};
}

bool SearchBar::Active() const { return GetWindowTextLengthW(box_) > 0 || !(Chosen() == Quick{}); }

bool SearchBar::RowCriteria::Passes(const ProgramRows& rows, std::size_t row) const {
    const ProgramRow& shown = rows[row];
    if (quick.redOnly && !shown.phantom) return false;
    if (!InLists(shown.source, quick.lists)) return false;
    return rows.Matches(row, text);
}

bool SearchBar::HasFocus() const {
    const HWND focus = GetFocus();
    return focus && (focus == box_ || IsChild(box_, focus));
}

void SearchBar::Focus() {
    SetFocus(box_);
    SendMessageW(box_, EM_SETSEL, 0, -1);
}

bool SearchBar::Clear() {
    if (GetWindowTextLengthW(box_) == 0) return false;
    SetWindowTextW(box_, L"");  // EN_CHANGE filters again
    return true;
}

bool SearchBar::HandleKey(const MSG& message, HWND list) {
    if (message.hwnd != box_ || message.message != WM_KEYDOWN) return false;
    switch (message.wParam) {
    case VK_DELETE:
        DispatchMessageW(&message);
        return true;
    case 'A':
        if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_SHIFT) < 0) return false;
        SendMessageW(box_, EM_SETSEL, 0, -1);
        return true;
    case VK_ESCAPE:
        Clear();
        return true;
    case VK_RETURN:
    case VK_DOWN:
        SetFocus(list);
        return true;
    default:
        return false;
    }
}

void SearchBar::ShowCount(std::size_t shown, std::size_t total, const std::wstring& note) {
    std::wstring text;
    if (Active()) text = std::to_wstring(shown) + L" of " + std::to_wstring(total) + L" shown";
    if (!note.empty()) text += (text.empty() ? L"" : L"; ") + note;
    SetWindowTextW(count_, text.c_str());
}
