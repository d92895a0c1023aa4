#include "framework/RunningAccount.h"

#include <windows.h>
#include <sddl.h>

#include <vector>

#include "framework/UniqueHandle.h"

namespace fw {
namespace {

// The token's user (its SID inside the returned buffer); empty on failure.
std::vector<BYTE> TokenUser(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, ::TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token, ::TokenUser, buffer.data(), size, &size)) return {};
    return buffer;
}

KernelHandle ProcessToken() {
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) token.release();
    return token;
}

// The aid's variable: null but in the test builds.
const wchar_t* aidVariable = nullptr;

// The test aid's value; empty when it is not set (or too long to be one),
// and always in the product.
std::wstring TestAid() {
    if (!aidVariable) return {};
    wchar_t aid[32] = {};
    const DWORD length = GetEnvironmentVariableW(aidVariable, aid, 32);
    return length > 0 && length < 32 ? std::wstring(aid, length) : std::wstring();
}

AccountRights ReadRights() {
    const std::wstring aid = TestAid();
    if (aid == L"standard" || aid == L"standard-refused") return AccountRights::Standard;
    if (aid == L"system") return AccountRights::System;
    const KernelHandle token = ProcessToken();
    if (!token) return AccountRights::Standard;
    const std::vector<BYTE> user = TokenUser(token.get());
    if (!user.empty() && IsWellKnownSid(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, WinLocalSystemSid))
        return AccountRights::System;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
                   elevation.TokenIsElevated
               ? AccountRights::Administrator
               : AccountRights::Standard;
}

}  // namespace

void EnableRightsTestAid(const wchar_t* variable) { aidVariable = variable; }

namespace {
const wchar_t* minuteVariable = nullptr;
}  // namespace

void EnableMinuteTestAid(const wchar_t* variable) { minuteVariable = variable; }

unsigned MinuteMilliseconds() {
    constexpr unsigned kMinute = 60000;
    if (!minuteVariable) return kMinute;
    wchar_t text[16] = {};
    const DWORD length = GetEnvironmentVariableW(minuteVariable, text, 16);
    if (length == 0 || length >= 16) return kMinute;
    unsigned value = 0;
    for (DWORD i = 0; i < length; ++i) {
        if (text[i] < L'0' || text[i] > L'9' || value > kMinute) return kMinute;
        value = value * 10 + static_cast<unsigned>(text[i] - L'0');
    }
    return value >= 1 && value <= kMinute ? value : kMinute;
}

AccountRights RunningRights() {
    static const AccountRights rights = ReadRights();
    return rights;
}

bool ElevationPromptRefused() {
    static const bool refused = TestAid() == L"standard-refused";
    return refused;
}

TestAidWithheld::TestAidWithheld() {
    RunningRights();  // read before it goes
    ElevationPromptRefused();
    value_ = TestAid();
    had_ = !value_.empty();
    if (had_) SetEnvironmentVariableW(aidVariable, nullptr);
}

TestAidWithheld::~TestAidWithheld() {
    if (had_) SetEnvironmentVariableW(aidVariable, value_.c_str());
}

std::wstring RunningUserSid() {
    const KernelHandle token = ProcessToken();
    const std::vector<BYTE> user = token ? TokenUser(token.get()) : std::vector<BYTE>();
    wchar_t* text = nullptr;
    if (user.empty() || !ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, &text))
        return {};
    std::wstring sid = text;
    LocalFree(text);
    return sid;
}

}  // namespace fw
