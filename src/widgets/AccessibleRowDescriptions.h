#pragma once
// Gives each row of a list view an accessible description, so a screen
// reader says what the row's colour shows (a phantom and why). The list's
// own accessible object is annotated through the system's dynamic
// annotation service: a property server asked for PROPID_ACC_DESCRIPTION of
// any row of the list's client object. Where the system has no such service
// (Wine's is a stub), Attach fails silently and the rows keep only what the
// list itself says.

#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <string>

#include "framework/ComPtr.h"

class AccessibleRowDescriptions {
public:
    // The description of the row now at `row` (0-based); empty for none.
    using TextOfRow = std::function<std::wstring(int row)>;

    AccessibleRowDescriptions();
    ~AccessibleRowDescriptions();
    AccessibleRowDescriptions(const AccessibleRowDescriptions&) = delete;
    AccessibleRowDescriptions& operator=(const AccessibleRowDescriptions&) = delete;

    // Annotates the list's rows (after any earlier list is let go); true
    // when the system took the annotation. Must be called on the list's
    // thread, which has COM initialized.
    bool Attach(HWND list, TextOfRow text);
    // Takes the annotation off; a client that still holds the server gets
    // no description from it afterwards.
    void Detach();

    // What the server answers for a child of a window's object: the row's
    // text for a row (child id row + 1) of the attached list's client
    // object, empty for anything else.
    std::wstring Description(HWND window, LONG objectId, DWORD childId) const;
    // The server as the annotation service sees it.
    IAccPropServer* Server() const;

private:
    class PropertyServer;

    HWND list_ = nullptr;
    TextOfRow text_;
    bool registered_ = false;
    fw::ComPtr<IAccPropServices> services_;
    fw::ComPtr<PropertyServer> server_;
};
