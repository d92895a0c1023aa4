// The pieces that prove an upgrade: base64 of the page's signature line,
// the program header, CNG's verdict on a statement signed by
// tools/sign-upgrade.sh with the tests' key, and CNG's SHA-256 of a file.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "TestStatements.h"
#include "TestUpgradeKey.h"
#include "ThisProgram.h"
#include "framework/UniqueHandle.h"
#include "net/Base64.h"
#include "net/ExecutableHeader.h"
#include "net/SignatureVerifier.h"

namespace {

using Bytes = std::vector<unsigned char>;

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
    EXPECT_TRUE(IsWindowsExecutable(ReadWholeFile(BesideThisProgram("command_recorder.exe")).substr(0, 4096)));

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

TEST(SignatureVerifier, AcceptsTheSignedStatementOnlyWithItsKeyAndCng) {
    const std::string lines = StatementLines("statement-1.3.txt");
    const std::string text = StatementText(lines);
    const std::size_t marker = lines.find("<!-- UPGRADE Statement Signature\n");
    ASSERT_NE(marker, std::string::npos);
    const std::size_t start = lines.find('\n', marker) + 1;
    const std::optional<Bytes> signature = DecodeBase64(lines.substr(start, lines.find('\n', start) - start));
    ASSERT_TRUE(signature);
    ASSERT_EQ(signature->size(), 64u);

    using Result = SignatureVerifier::Result;
    const SignatureVerifier tests(TestUpgradeKey());
    EXPECT_EQ(tests.VerifyText(text, *signature), Result::Valid);
    std::string changed = text;
    changed.replace(changed.find("version=1.3"), 11, "version=9.3");
    EXPECT_EQ(tests.VerifyText(changed, *signature), Result::Invalid);
    EXPECT_EQ(tests.VerifyText(text + " ", *signature), Result::Invalid);
    EXPECT_EQ(SignatureVerifier(BuiltInUpgradeKey()).VerifyText(text, *signature), Result::Invalid) << "another key";
    Bytes flipped = *signature;
    flipped[10] ^= 1;
    EXPECT_EQ(tests.VerifyText(text, flipped), Result::Invalid);
    EXPECT_EQ(tests.VerifyText(text, Bytes(signature->begin(), signature->begin() + 63)), Result::Invalid);
    // Where CNG is missing nothing can be proven.
    EXPECT_EQ(SignatureVerifier(TestUpgradeKey(), "no-such-cng.dll").VerifyText(text, *signature),
              Result::Unverifiable);
}

TEST(SignatureVerifier, FileSha256IsTheDigestTheStatementNames) {
    const std::string text = StatementText(StatementLines("statement-1.3.txt"));
    const std::size_t at = text.find("sha256=") + 7;
    fw::FileHandle file(CreateFileA(BesideThisProgram("command_recorder.exe").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    EXPECT_EQ(SignatureVerifier::FileSha256(file.get()), std::optional<std::string>(text.substr(at, 64)));
    EXPECT_EQ(SignatureVerifier::FileSha256(file.get(), "no-such-cng.dll"), std::nullopt);
}

}  // namespace
