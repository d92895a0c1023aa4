// fw::UniqueHandle lets go of its handle without touching the last error,
// which callers read after the failed call that the handle went with.

#include "framework/UniqueHandle.h"

#include <gtest/gtest.h>

TEST(UniqueHandle, ResetKeepsTheLastErrorEvenWhenClosingFails) {
    // A value no handle has: closing it fails with an error of its own.
    fw::KernelHandle handle(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x7ff0)));
    SetLastError(ERROR_FILE_NOT_FOUND);
    handle.reset();
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}
