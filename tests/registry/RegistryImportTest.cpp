// Run where a 32-bit build has two registry views (under WOW64), so the
// names of both machine views are told apart; it reads no registry.

#include "registry/RegistryImport.h"

#include <gtest/gtest.h>

#include "framework/TextConversion.h"
#include "framework/Wow64.h"
#include "registry/RegistryExport.h"

TEST(RegistryImport, LocatesEveryNameWhereTheExportReadItFrom) {
    ASSERT_TRUE(sizeof(void*) == 8 || fw::RunsUnderWow64()) << "registered for a 64-bit system";
    for (const char16_t* name :
         {u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\X", u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node",
          u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\X", u"HKEY_LOCAL_MACHINE\\SYSTEM\\X",
          u"HKEY_CURRENT_USER\\Software\\X\\Y", u"HKEY_USERS\\S-1-5-21-1-2-3-1001\\Software\\X"}) {
        const std::optional<RegistryImport::Location> where = RegistryImport::Locate(name);
        ASSERT_TRUE(where) << fw::Narrow(std::u16string_view(name));
        EXPECT_EQ(fw::AsUtf16(RegistryExport::NameInFile(where->root, where->view, where->path)), name);
    }
    for (const char16_t* name : {u"HKEY_CLASSES_ROOT\\X", u"HKLM\\SOFTWARE\\X", u"HKEY_CURRENT_USER",
                                 u"HKEY_CURRENT_USER\\", u"HKEY_CURRENT_USER\\A\\\\B", u"HKEY_CURRENT_USER\\A\\"}) {
        EXPECT_FALSE(RegistryImport::Locate(name)) << fw::Narrow(std::u16string_view(name));
    }
}
