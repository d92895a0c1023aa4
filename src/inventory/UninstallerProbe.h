#pragma once
// The quiet form of an entry (QuietUninstall.h), with the facts its table
// needs found on this system: whether the uninstaller's file carries NSIS's
// header, whether Inno Setup's data file lies beside it. What is to be
// started is then ready to start: msiexec from the system folder, a quiet
// command's file as this process reaches it (FileOfSource).

#include <string>

#include "inventory/ProgramEntry.h"
#include "inventory/QuietUninstall.h"

// `file` and `args` are what the entry's Uninstall starts, as its row was
// judged. Only a file on a local drive is read, and only its first bytes
// and the few after its program's end.
quiet_uninstall::QuietForm QuietUninstallOf(const ProgramEntry& entry, const std::wstring& file,
                                            const std::wstring& args);
