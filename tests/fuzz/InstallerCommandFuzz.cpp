// The Windows Installer command forms: which commands name a product code.
#include "FuzzInput.h"
#include "inventory/InstallerCommand.h"

using installer_command::IsProductCode;
using installer_command::ProductCodeOfCommand;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring command = fuzz::WideOf(data, size);
    if (const std::optional<std::wstring> code = ProductCodeOfCommand(command)) {
        fuzz::Check(IsProductCode(*code), "the code found is a product code");
    }
    IsProductCode(command);
    return 0;
}
