#pragma once
// Standard output or error, written exactly: a console gets the wide text
// (WriteConsoleW shows every script its font has, whatever the code page);
// a file or pipe gets UTF-8, which scripts decode as such (PowerShell and
// Ansible once told so: see the README).

#include <windows.h>

#include <string_view>

class ConsoleOutput {
public:
    // STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
    explicit ConsoleOutput(DWORD which);

    bool IsConsole() const { return console_; }
    // False when not all of it could be written (a closed pipe, a full
    // disk, no such output at all); the first such failure is kept.
    bool Write(std::wstring_view text);
    bool Line(std::wstring_view text) { return Write(text) && Write(L"\r\n"); }
    // Whether a write failed, and Windows' reason for the first that did.
    bool Failed() const { return failed_; }
    DWORD FailureError() const { return error_; }

private:
    bool Fail();

    HANDLE handle_;
    bool console_ = false;
    bool failed_ = false;
    DWORD error_ = ERROR_SUCCESS;
};
