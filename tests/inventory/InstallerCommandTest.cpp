// Which commands run msiexec on a product code: every spelling the table
// of forms allows, and the near misses that must keep the file rule.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inventory/InstallerCommand.h"

using installer_command::IsProductCode;
using installer_command::kOptions;
using installer_command::kPrograms;
using installer_command::ProductCodeOfCommand;

namespace {

const std::wstring kCode = L"{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}";

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}
std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

TEST(InstallerCommand, EveryFormOfTheTableRunsMsiexecOnItsCode) {
    int forms = 0;
    for (std::wstring_view spelling : kPrograms) {
        for (const std::wstring& folder : {std::wstring(), std::wstring(L"C:\\Windows\\System32\\"),
                                           std::wstring(L"C:\\Program Files\\Tools Dir\\")}) {
            for (bool quoted : {false, true}) {
                // A folder with a blank only ever stands in quotes.
                if (!quoted && folder.find(L' ') != std::wstring::npos) continue;
                for (std::wstring_view option : kOptions) {
                    for (const std::wstring& between : {std::wstring(), std::wstring(L" "), std::wstring(L"  ")}) {
                      for (const std::wstring& written : {kCode, L"\"" + kCode + L"\""}) {
                        const std::wstring program = folder + std::wstring(spelling);
                        std::wstring command = quoted ? L"\"" + program + L"\"" : program;
                        command += L" " + std::wstring(option) + between + written;
                        // The code comes back as it is written.
                        for (const auto& [form, code] : {std::pair{command, kCode},
                                                         std::pair{Upper(command), Upper(kCode)},
                                                         std::pair{Lower(command), Lower(kCode)},
                                                         std::pair{L"  " + command + L" /qb", kCode},
                                                         std::pair{command + L"/qn", kCode}}) {
                            ++forms;
                            EXPECT_EQ(ProductCodeOfCommand(form), code) << form;
                        }
                      }
                    }
                }
            }
        }
    }
    EXPECT_EQ(forms, 2 * 5 * 4 * 3 * 2 * 5);
    // Other options may come first.
    EXPECT_EQ(ProductCodeOfCommand(L"MsiExec.exe /norestart /qb /X" + kCode), kCode);
}

TEST(InstallerCommand, NearMissesAreNotWindowsInstallerCommands) {
    for (const std::wstring& command : std::vector<std::wstring>{
             L"MsiExec.exe /X{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A0}",    // a digit short
             L"MsiExec.exe /X{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04",    // no closing brace
             L"MsiExec.exe /X3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04",     // no braces
             L"MsiExec.exe /X{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1AG4}",   // not hexadecimal
             L"MsiExec.exe /X{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}x",  // more after the code
             L"MsiExec.exe /X\"{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}",  // an unclosed quote
             L"MsiExec.exe /X{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}\"",  // a quote never opened
             L"MsiExec.exe /Xyz {3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}",
             L"MsiExec.exe /qb {3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}",  // no option that takes a product
             L"MsiExec.exe",
             L"notmsiexec.exe /X{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}",
             L"C:\\msiexec.exe.bak\\u.exe /X{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}",
             L"\"C:\\Program Files\\App\\setup.exe\" /X{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}",
             L"RunDll32 msiexec /X{3B1A6E2C-9F4D-4E21-A0B7-5C8D2E9F1A04}",
             L"",
         }) {
        EXPECT_EQ(ProductCodeOfCommand(command), std::nullopt) << command;
    }
    EXPECT_TRUE(IsProductCode(kCode));
    EXPECT_TRUE(IsProductCode(Lower(kCode)));
    EXPECT_FALSE(IsProductCode(L"{3B1A6E2C9F4D-4E21-A0B7-5C8D2E9F1A04-}"));
    EXPECT_FALSE(IsProductCode(L"Zaltrow"));
}

}  // namespace
