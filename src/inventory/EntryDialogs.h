#pragma once
// What the two uninstall dialogs share: the entry's icon and name.

#include <windows.h>

#include <string>

constexpr int kEntryIconControl = 1027;
constexpr int kEntryNameControl = 1028;

// Puts the icon (unless null) and the name (unless empty) into the dialog.
void ShowEntryInDialog(HWND dialog, HICON icon, const std::string& name);
