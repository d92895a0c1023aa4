#pragma once
// A dialog built from a resource template (see Framework.h).

#include <windows.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "framework/Control.h"
#include "framework/UniqueHandle.h"

namespace fw {

class Dialog {
public:
    Dialog(UINT templateId, HWND parent);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; the EndDialog code, or -1 when the dialog
    // could not be created.
    INT_PTR DoModal();
    // Destroys a modeless window now, while the whole object still lives,
    // so every handler of its WM_DESTROY runs; nothing when none is open.
    void Destroy();

    HWND Hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    UINT TemplateId() const { return templateId_; }
    // The DPI the window is laid out for: its monitor's at creation, then
    // whatever WM_DPICHANGED says.
    UINT Dpi() const { return dpi_; }
    // The font of the template's controls at that DPI.
    HFONT DialogFont() const;
    void SetParent(HWND parent) { parent_ = parent; }

    // Ends a modal dialog; hides a modeless one, which is destroyed by its
    // owner (fw::Modeless) or with its parent, whichever comes first.
    void EndDialog(INT_PTR code);

    // The module whose resources the dialogs load (the program itself).
    static HINSTANCE ResourceModule();

protected:
    // Creates the dialog modelessly; false when it could not be created.
    // Only what sees the window gone before the object may do this:
    // fw::Modeless, or a dialog that destroys its own window or is owned
    // by a window that goes first.
    bool Create();

    // Data exchange: binds a control object to the dialog item `id`
    // (its PreSubclass hook runs, then it is subclassed).
    bool Bind(Control& control, int id);

    // Adds the children with these ids as tooltip tools identified by their
    // handles; the texts are asked for with TTN_NEEDTEXTA through OnNotify.
    // The tooltip subclasses each tool, which under Wine costs a server
    // round trip per message: a list view that takes thousands of messages
    // per fill must not be one.
    void EnableToolTips(std::initializer_list<int> ids);

    // Called once, before OnInitDialog, with the outer and client sizes the
    // window was created with. A dialog procedure never sees WM_CREATE or
    // the first WM_SIZE, which happen before it is installed.
    virtual void OnCreated(SIZE /*outer*/, SIZE /*client*/) {}
    // WM_INITDIALOG. The base runs the data exchange; true lets the system
    // set the focus. Derived dialogs call it from their own.
    virtual bool OnInitDialog();
    // Binds the dialog's control objects (Bind), once, from OnInitDialog.
    virtual void DoDataExchange() {}
    // WM_COMMAND from a control, menu or accelerator. The base gives a
    // click (a button's BN_CLICKED, a menu item, an accelerator) to
    // OnButtonClicked; IDOK and IDCANCEL that it leaves reach OnOK and
    // OnCancel.
    virtual bool OnCommand(int id, int code, HWND control);
    // A button, menu item or accelerator with this id was used; true when
    // handled.
    virtual bool OnButtonClicked(int /*id*/) { return false; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_NOTIFY that the sending control did not take through OnReflect.
    virtual bool OnNotify(NMHDR& header, LRESULT& result);
    // Typed handlers, each for one message with its parameters unpacked.
    // WM_SIZE and WM_DESTROY are notifications: the dialog manager's own
    // handling runs after them. The others return true when handled.
    virtual void OnSize(UINT /*sizeType*/, int /*cx*/, int /*cy*/) {}
    virtual bool OnGetMinMaxInfo(MINMAXINFO& /*info*/) { return false; }
    // `command` with its low four bits (used by the system) cleared.
    virtual bool OnSysCommand(UINT /*command*/, LPARAM /*position*/) { return false; }
    virtual bool OnPaint() { return false; }
    virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
    // WM_CONTEXTMENU for `window` (the dialog or a child): at `screen`,
    // or, from the keyboard (Shift+F10, the menu key), where the handler
    // chooses. False passes it on.
    virtual bool OnContextMenu(HWND /*window*/, POINT /*screen*/, bool /*fromKeyboard*/) { return false; }
    virtual void OnDestroy() {}
    // WM_DPICHANGED, after the framework has moved and resized every child
    // and given each its font at the new DPI, before the window
    // takes the size Windows suggests: the dialog's own pixel sizes
    // (columns, icons, fonts of its own) follow here.
    virtual void OnDpiChanged(UINT /*from*/, UINT /*to*/) {}
    // After that, once the window has the size Windows suggested (or the
    // size a monitor too small for it left).
    virtual void OnDpiResized() {}
    // Any other message. Return true when handled, with its result; a
    // result for a message that returns through DWLP_MSGRESULT is put there.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ChangeDpi(UINT to, const RECT& suggested);
    bool Reflect(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    UINT templateId_;
    HWND parent_;
    HWND hwnd_ = nullptr;
    HWND toolTip_ = nullptr;
    bool modal_ = false;
    UINT dpi_ = 96;
    // After a DPI change: the children's fonts at the new DPI (the
    // template's among them), which the dialog owns.
    std::vector<std::pair<HFONT, Font>> rescaledFonts_;
    HFONT dialogFont_ = nullptr;
};

// The owner of a modeless dialog: its destructor destroys the window
// before the dialog's own members go, so the dialog's WM_DESTROY handling
// runs on a whole object. fw::Modeless<MainDialog> dialog; dialog.Create();
template <typename D>
class Modeless final : public D {
public:
    using D::D;
    using D::Create;
    ~Modeless() override { this->Destroy(); }
};

}  // namespace fw
