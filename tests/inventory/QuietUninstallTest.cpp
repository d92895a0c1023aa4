// The quiet-form table: which form each kind of entry gets, in which order
// the kinds are tried, and how NSIS's header and Inno Setup's files are
// told apart from look-alikes.

#include <gtest/gtest.h>

#include "inventory/QuietUninstall.h"

namespace {

using quiet_uninstall::Basis;

TEST(QuietUninstall, TableOfForms) {
    const wchar_t* code = L"{5A0C2F4E-1B7D-4C39-9E61-2D8F3A7B6C02}";
    struct Case {
        quiet_uninstall::Facts facts;
        Basis basis;
        const wchar_t* command;
    };
    const Case cases[] = {
        // The entry's own word first, whatever else it is.
        {{L"\"C:\\Tool\\un.exe\" /quiet", code, L"C:\\Tool\\un.exe", L"", true, true}, Basis::QuietUninstallString,
         L"\"C:\\Tool\\un.exe\" /quiet"},
        {{L"", code, L"C:\\Windows\\System32\\MsiExec.exe", L"/I{5A0C...}", false, false}, Basis::WindowsInstaller,
         L"msiexec /x {5A0C2F4E-1B7D-4C39-9E61-2D8F3A7B6C02} /qn /norestart"},
        {{L"", L"", L"C:\\Tool\\uninst.exe", L"", true, false}, Basis::Nsis, L"\"C:\\Tool\\uninst.exe\" /S"},
        // _?= stays last, where NSIS reads it; /S is not doubled.
        {{L"", L"", L"C:\\T\\u.exe", L"/L=1 _?=C:\\T x", true, false}, Basis::Nsis, L"\"C:\\T\\u.exe\" /L=1 /S _?=C:\\T x"},
        {{L"", L"", L"C:\\T\\u.exe", L"/S", true, false}, Basis::Nsis, L"\"C:\\T\\u.exe\" /S"},
        {{L"", L"", L"C:\\T\\UNINS001.EXE", L"", false, true}, Basis::InnoSetup,
         L"\"C:\\T\\UNINS001.EXE\" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART"},
        {{L"", L"", L"C:\\T\\unins000.exe", L"/LOG", false, true}, Basis::InnoSetup,
         L"\"C:\\T\\unins000.exe\" /LOG /VERYSILENT /SUPPRESSMSGBOXES /NORESTART"},
        // Inno's name without its data file, or its data beside another name: none.
        {{L"", L"", L"C:\\T\\unins000.exe", L"", false, false}, Basis::None, L""},
        {{L"", L"", L"C:\\T\\unins0000.exe", L"", false, true}, Basis::None, L""},
        {{L"", L"", L"C:\\T\\uninsabc.exe", L"", false, true}, Basis::None, L""},
        {{L"", L"", L"C:\\T\\setup.exe", L"/uninstall", false, false}, Basis::None, L""},
        {{L"", L"", L"", L"", true, true}, Basis::None, L""},
    };
    for (const Case& c : cases) {
        const quiet_uninstall::QuietForm form = quiet_uninstall::QuietFormOf(c.facts);
        EXPECT_EQ(form.basis, c.basis) << form.command;
        EXPECT_EQ(form.command, c.command);
        // What is started is what is shown.
        if (c.basis != Basis::None && c.basis != Basis::WindowsInstaller) {
            EXPECT_EQ(quiet_uninstall::CommandLineText(form.file, form.args), form.command);
        }
    }
}

// A PE head whose one section ends at `end`, and NSIS's first header.
std::string Head(std::uint32_t end) {
    std::string head(1024, '\0');
    head[0] = 'M', head[1] = 'Z', head[0x3C] = static_cast<char>(0x80);
    head.replace(0x80, 4, std::string("PE\0\0", 4));
    head[0x86] = 1;                  // one section
    head[0x94] = static_cast<char>(0xF0);  // optional header size
    const std::size_t section = 0x80 + 24 + 0xF0;
    for (int i = 0; i < 4; ++i) {
        head[section + 16 + i] = static_cast<char>((end - 0x400) >> (8 * i));  // raw size
        head[section + 20 + i] = static_cast<char>(0x400 >> (8 * i));          // raw offset
    }
    return head;
}
std::string FirstHeader(char flags, std::size_t at) {
    return std::string(at, 'x') + flags + std::string(3, '\0') + std::string("\xEF\xBE\xAD\xDE" "NullsoftInst", 16);
}

TEST(QuietUninstall, NsisHeader) {
    EXPECT_EQ(quiet_uninstall::NsisDataOffset(Head(0x9A00)), 0x9A00u);
    EXPECT_EQ(quiet_uninstall::NsisDataOffset(Head(0x9A01)), 0x9C00u);  // to the next boundary
    EXPECT_EQ(quiet_uninstall::NsisDataOffset("MZ"), 0u);
    EXPECT_EQ(quiet_uninstall::NsisDataOffset(std::string(1024, 'M')), 0u);
    std::string cut = Head(0x9A00);
    cut[0x3C] = static_cast<char>(0xF0), cut[0x3D] = 3;  // PE header past the bytes read
    EXPECT_EQ(quiet_uninstall::NsisDataOffset(cut), 0u);

    EXPECT_TRUE(quiet_uninstall::HasNsisUninstallerHeader(FirstHeader(1, 0)));
    EXPECT_TRUE(quiet_uninstall::HasNsisUninstallerHeader(FirstHeader(3, 512)));
    EXPECT_FALSE(quiet_uninstall::HasNsisUninstallerHeader(FirstHeader(0, 0)));    // a setup
    EXPECT_FALSE(quiet_uninstall::HasNsisUninstallerHeader(FirstHeader(1, 100)));  // off a boundary
    EXPECT_FALSE(quiet_uninstall::HasNsisUninstallerHeader(FirstHeader(1, 4 * 512)));
    EXPECT_FALSE(quiet_uninstall::HasNsisUninstallerHeader(FirstHeader(1, 0).substr(0, 19)));
}

}  // namespace
