#pragma once
// Owner for WinINet handles (sessions, connections, requests). Kept apart
// from UniqueHandle.h so that code without internet access does not need
// wininet.h or the wininet library.

#include <windows.h>
#include <wininet.h>

#include "framework/UniqueHandle.h"

namespace fw {

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::InternetCloseHandle(h); }
};
using InternetHandle = UniqueHandle<InternetHandleTraits>;

}  // namespace fw
