// The pieces that prove an installer: base64 of the page's signature line,
// the program header, and CNG's verdict on a file signed by
// tools/sign-upgrade.sh with the tests' key.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "TempFolder.h"
#include "TestUpgradeKey.h"
#include "ThisProgram.h"
#include "framework/UniqueHandle.h"
#include "net/Base64.h"
#include "net/ExecutableHeader.h"
#include "net/SignatureVerifier.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

TEST(DecodeBase64, StandardAlphabetWithPaddingAndLineEnds) {
    EXPECT_EQ(DecodeBase64(""), Bytes{});
    EXPECT_EQ(DecodeBase64("QUJD\n"), (Bytes{'A', 'B', 'C'}));
    EXPECT_EQ(DecodeBase64("QUI=\r\n"), (Bytes{'A', 'B'}));
    EXPECT_EQ(DecodeBase64(" QQ== "), (Bytes{'A'}));
    EXPECT_EQ(DecodeBase64("+/8="), (Bytes{0xFB, 0xFF}));
    for (const char* bad : {"QUJ", "QU=I", "QUJD=", "Q===", "QUJ*", "QR==", "<html>"})
        EXPECT_EQ(DecodeBase64(bad), std::nullopt) << bad;
}

TEST(IsWindowsExecutable, MzHeaderPointingAtPeSignature) {
    std::string program(0x100, '\0');
    program[0] = 'M';
    program[1] = 'Z';
    program[0x3C] = static_cast<char>(0x80);
    program.replace(0x80, 4, std::string("PE\0\0", 4));
    EXPECT_TRUE(IsWindowsExecutable(program));
    EXPECT_TRUE(IsWindowsExecutable(ReadFile(BesideThisProgram("command_recorder.exe")).substr(0, 4096)));

    std::string noPe = program;
    noPe[0x81] = 'X';
    std::string pointsPastTheEnd = program;
    pointsPastTheEnd[0x3D] = 0x10;  // 0x1080
    std::string pointsIntoTheHeader = program;
    pointsIntoTheHeader[0x3C] = 0x02;
    for (const std::string& bad : {noPe, pointsPastTheEnd, pointsIntoTheHeader, std::string("MZ"),
                                   std::string("<html lang=\"en\">"), std::string()})
        EXPECT_FALSE(IsWindowsExecutable(bad));
}

TEST(SignatureVerifier, AcceptsTheSignedFileOnlyWithItsKeyAndCng) {
    const std::string lines = ReadFile(BesideThisProgram("command_recorder.sig"));
    const std::optional<Bytes> signature = DecodeBase64(lines.substr(lines.find('\n') + 1));
    ASSERT_TRUE(signature);
    ASSERT_EQ(signature->size(), 64u);

    TempFolder folder;
    const std::string installer = ReadFile(BesideThisProgram("command_recorder.exe"));
    const auto verify = [&](const std::string& content, const UpgradePublicKey& key, const Bytes& sig,
                            const char* library = "bcrypt.dll") {
        folder.WriteFile("setup.exe", content);
        fw::FileHandle file(CreateFileA(folder.Join("setup.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
        return SignatureVerifier(key, library).VerifyFile(file.get(), sig);
    };
    using Result = SignatureVerifier::Result;
    EXPECT_EQ(verify(installer, TestUpgradeKey(), *signature), Result::Valid);
    std::string changed = installer;
    changed[changed.size() / 2] ^= 0x20;
    EXPECT_EQ(verify(changed, TestUpgradeKey(), *signature), Result::Invalid);
    EXPECT_EQ(verify(installer + "x", TestUpgradeKey(), *signature), Result::Invalid);
    EXPECT_EQ(verify(installer, BuiltInUpgradeKey(), *signature), Result::Invalid) << "another key";
    Bytes flipped = *signature;
    flipped[10] ^= 1;
    EXPECT_EQ(verify(installer, TestUpgradeKey(), flipped), Result::Invalid);
    EXPECT_EQ(verify(installer, TestUpgradeKey(), Bytes(signature->begin(), signature->begin() + 63)),
              Result::Invalid);
    // Where CNG is missing nothing can be proven.
    EXPECT_EQ(verify(installer, TestUpgradeKey(), *signature, "no-such-cng.dll"), Result::Unverifiable);
}

}  // namespace
