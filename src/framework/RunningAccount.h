#pragma once
// Who this process runs as, for what it may change: a machine-wide list (or
// another user's) only with an elevated token or as LocalSystem, and the
// console's backups of a LocalSystem run go where only administrators reach.
//
// Test aid: Wine runs everything as an elevated administrator, so in the
// test builds of the programs an environment variable (ZALTROW_TEST_RIGHTS)
// makes the program take itself as not elevated ("standard") or as
// LocalSystem ("system"); and, since Wine shows no consent prompt either,
// "standard-refused" is "standard" with every prompt for elevation refused
// (ElevatedStart then starts nothing). Only those builds link the aid's
// object (RightsTestAid.cpp), which names the variable through
// EnableRightsTestAid before main: the product reads no variable and its
// files do not even hold the name. Any other value, or none, leaves the
// real checks (the token's elevation, its user against S-1-5-18) and the
// real prompt. It can only make the program assume other rights, or have
// fewer, never give it any: Windows still decides what a call may do.

#include <string>

namespace fw {

// Names the aid's variable; called by the aid's object alone, before main.
void EnableRightsTestAid(const wchar_t* variable);

// A second aid of the test builds: a minute of uninstall's --timeout lasts
// as many milliseconds as `variable` says (1 to 60000), so a test sees a
// time-out in seconds. Always 60000 in the product, and for any other value.
void EnableMinuteTestAid(const wchar_t* variable);
unsigned MinuteMilliseconds();

enum class AccountRights {
    Standard,       // not elevated: may change only the running account's own list
    Administrator,  // an elevated token
    System,         // LocalSystem, as fleet tools run scripts
};

// Read once per process.
AccountRights RunningRights();

// While it lives, the programs this one starts do not see the test aid:
// an elevated program started from one that only takes itself as not
// elevated is elevated. (Windows gives an elevated program an environment
// of its own; Wine passes this one's on.)
class TestAidWithheld {
public:
    TestAidWithheld();
    ~TestAidWithheld();
    TestAidWithheld(const TestAidWithheld&) = delete;
    TestAidWithheld& operator=(const TestAidWithheld&) = delete;

private:
    std::wstring value_;
    bool had_ = false;
};

// Whether the test aid stands for a user who refuses every consent prompt;
// false unless it says "standard-refused". Read once per process.
bool ElevationPromptRefused();

inline bool MayChangeMachine(AccountRights rights) { return rights != AccountRights::Standard; }

// The running account's SID ("S-1-5-21-..."), whose hive is
// HKEY_CURRENT_USER; empty when the token cannot be read.
std::wstring RunningUserSid();

}  // namespace fw
