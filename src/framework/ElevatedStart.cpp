#include "framework/ElevatedStart.h"

#include "framework/RunningAccount.h"
#include "framework/ShellStart.h"

namespace fw {

DWORD ElevatedStart::Start(const std::wstring& file, const std::wstring& args, const std::wstring& folder,
                           KernelHandle& process, HWND owner, int show) {
    process.reset();
    if (ElevationPromptRefused()) return ERROR_CANCELLED;
    const std::wstring directory = folder.empty() ? file.substr(0, file.find_last_of(L'\\') + 1) : folder;
    const TestAidWithheld elevated;  // the started program is elevated, whatever this one takes itself for
    return ShellStart::Start(L"runas", file, args, directory, process, owner, show);
}

}  // namespace fw
