// fw::AdminNamespace: two processes' namespaces of one name name the same
// objects, and a squatter's object of the same name in the global
// namespace is not them. Wine has no private namespaces: there the
// fallback's names are checked instead.

#include "framework/AdminNamespace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/UniqueHandle.h"

TEST(AdminNamespace, OneNameOneObjectAndTheSquattersIsNotIt) {
    const std::wstring name = L"Zaltrow namespace test " + std::to_wstring(GetCurrentProcessId());
    const fw::AdminNamespace first(name), second(name);
    std::printf("private namespaces: %s\n", first.Private() ? "in place" : "not available (the global fallback)");
    ASSERT_EQ(first.Private(), second.Private());
    const std::wstring lock = first.ObjectName(L"lock");
    EXPECT_EQ(lock, second.ObjectName(L"lock"));
    const bool global = lock.rfind(L"Global\\", 0) == 0;
    EXPECT_NE(global, first.Private()) << "a private name is never a global one";

    const fw::KernelHandle made(CreateMutexW(nullptr, FALSE, lock.c_str()));
    ASSERT_TRUE(made);
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    const fw::KernelHandle again(CreateMutexW(nullptr, FALSE, second.ObjectName(L"lock").c_str()));
    ASSERT_TRUE(again);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "the second namespace names the same lock";

    // What a standard user could make first: the well-known global name.
    const fw::KernelHandle squatter(CreateMutexW(nullptr, FALSE, (L"Global\\" + name + L" other").c_str()));
    ASSERT_TRUE(squatter);
    const fw::KernelHandle other(CreateMutexW(nullptr, FALSE, first.ObjectName(L"other").c_str()));
    ASSERT_TRUE(other);
    EXPECT_EQ(GetLastError() == ERROR_ALREADY_EXISTS, !first.Private());
}
