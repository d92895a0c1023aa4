#pragma once
// The program's thin layer over raw Win32, in place of an application
// framework. Everything with a window is written against these pieces:
//
// fw::Dialog (Dialog.h) — a dialog from a resource template, run modally
//   (DoModal) or modelessly through its owner fw::Modeless<D>. Its dialog
//   procedure dispatches to virtual handlers: OnCreated (the creation
//   sizes, which a dialog procedure never sees as WM_CREATE/WM_SIZE),
//   OnInitDialog (which runs DoDataExchange), OnCommand (which gives a
//   click of a button, menu item or accelerator to OnButtonClicked(id);
//   IDOK and IDCANCEL left over reach OnOK and OnCancel), OnNotify, typed
//   handlers with the parameters unpacked (OnSize, OnGetMinMaxInfo,
//   OnSysCommand, OnPaint, OnTimer, OnContextMenu(window, point,
//   fromKeyboard), OnDestroy) and OnMessage for the rest.
//   A handler returns true when it handled the message and gives its
//   result; results travel back through DWLP_MSGRESULT, except for the
//   messages whose result the dialog procedure returns itself
//   (WM_CTLCOLOR*, WM_QUERYDRAGICON, ...). A dialog opens centred over its
//   owner (or the screen) unless its template says otherwise.
//   EnableToolTips adds the children named by id as tooltip tools
//   identified by their window handles, answered through TTN_NEEDTEXTA
//   (never a list view: a tool is subclassed, a round trip per message).
//   Teardown: a window is gone before its dialog object. A modal dialog
//   has ended by then; a modeless one is destroyed by fw::Modeless before
//   the derived dialog's members go, so its OnDestroy sees them all.
//   Create is protected: only Modeless, or a dialog that sees to its own
//   window (destroying it, or owned by a window that goes first), makes a
//   modeless one. ~Dialog checks that no window is left.
//   A fw::DialogLook set with SetDialogLook (DialogLook.h) dresses every
//   dialog as it opens, answers the WM_CTLCOLOR* that the dialog's own
//   handlers leave, and is read again and put on again when the system
//   says its colours or the apps' dark mode changed.
//
// fw::Control (Control.h) — a C++ object bound to a dialog item after the
//   dialog is created ("data exchange": Dialog::Bind from DoDataExchange).
//   Attach runs the PreSubclass hook first (a button can change its style
//   there), then subclasses the window so WindowProc sees its messages.
//   Reflection: a dialog hands WM_NOTIFY, WM_DRAWITEM and WM_CTLCOLOR* to
//   the control object that sent them (OnReflect) before its own handlers.
//
// fw::ListView (ListView.h) — the list-view operations the program uses:
//   rows, columns, the selection, the header; an image list handed to it
//   (AdoptImageList) is the control's to destroy. Its texts are UTF-16. fw::ImageList
//   (ImageList.h) — operations on a borrowed image list.
//
// RAII: UniqueHandle.h (registry keys, kernel handles, icons, GDI objects,
//   image lists, memory DCs), ClientDc.h, PaintDc.h, MemoryDc.h (drawing
//   off screen for one paint), SelectedObject.h, ComPtr.h (COM interface
//   references), Bstr.h, WaitCursor.h (the hourglass for a scope), ClosedToInput.h (a window closed to
//   input for a scope, as a modal window closes its owner),
//   Clipboard.h (text onto the clipboard), LocaleTime.h (dates and times in the user's locale).
//   RegistryKey.h opens and creates registry keys into their owner
//   (fw::OpenRegKey, fw::CreateRegKey, by UTF-16 paths); every key the
//   program opens is opened there but InstalledCopy's one read. Reads ask
//   for KEY_READ or less (plus a view flag): a standard user may open the
//   machine's keys for nothing more. fw::SetRegistryOpenObserver lets a test
//   hear what each open and create asks for, since Wine grants any access;
//   unset, it costs nothing.
//
// Text: whatever can carry a name from the system (registry keys and
//   values, file paths, list rows, icons) goes through the wide (UTF-16)
//   calls, one set of them; code that keeps ANSI text of its own widens it
//   at its own edge (TextConversion.h).
//
// Helpers: Dpi.h (the scale a window is drawn at: lengths given at 96 DPI
//   scaled to it, per-monitor calls looked up at run time), TextConversion.h (ANSI and UTF-16), Wow64.h (a 32-bit process
//   on 64-bit Windows), WindowQueries.h (the system's message font, a window's
//   text, a child's rectangle in its parent), ShellIcon.h (the icon an
//   icon location names), ModulePath.h (the program's own file, ANSI or UTF-16),
//   FilePresence.h (fw::FileIsMissing: the one test of whether a file is
//   gone; only "no such file or folder" means gone), SystemErrorText.h
//   (the system's words for an error code), SystemLibrary.h (a DLL loaded
//   from the system folder only, never one planted beside the program),
//   ParallelFor.h (per-entry work split between two threads),
//   ProcessTree.h (a program started and followed, with every process it
//   starts, until all have ended; or the started process alone, and says so),
//   RunningAccount.h (whether this process may change machine-wide data,
//   and as whom it runs; the one place of the tests' rights aid),
//   ShellStart.h (a program or document started by the shell with a verb),
//   ElevatedStart.h (a program started with administrator rights, after
//   the user's consent; every elevated start is this one),
//   MessageWait.h (a wait for a process while the windows keep answering,
//   with the one rule for a WM_QUIT met meanwhile), UnelevatedStart.h (a program started as the
//   signed-in user by the desktop shell, also from an elevated process),
//   SecurityDescriptor.h (a descriptor from its SDDL text, for folders
//   only administrators may enter), UniqueFolder.h (a new folder with a
//   random name nobody else has), AdminNamespace.h (names for locks no
//   standard user can make first: a private namespace bounded by the
//   Administrators group, or the global one where there is none),
//   DllSearch.h (DLLs loaded by name come from the system folder only).
//
// BuildConfig.h, generated into the build folder, is the program's
// identity (name, version, file name, maker, message caption) as the top
// CMakeLists.txt sets it. This layer is the lowest: it uses nothing else of
// the program (src/CMakeLists.txt shows the order of all eight).
//
// No exception crosses a window procedure or the dialog manager: both
// procedures catch everything and fall back to default processing.

#include "framework/ClientDc.h"
#include "framework/Clipboard.h"
#include "framework/Control.h"
#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "framework/ImageList.h"
#include "framework/ListView.h"
#include "framework/LocaleTime.h"
#include "framework/MemoryDc.h"
#include "framework/PaintDc.h"
#include "framework/SelectedObject.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "framework/WaitCursor.h"
#include "framework/WindowQueries.h"
#include "framework/Wow64.h"
