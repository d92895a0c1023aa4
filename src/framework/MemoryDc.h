#pragma once
// Off-screen drawing for one paint: everything drawn through Get() goes to
// a bitmap the size of the target's clip box, with unchanged coordinates,
// and reaches the target in a single copy when the object goes. A printing
// context is drawn on directly.

#include <windows.h>

#include "framework/UniqueHandle.h"

namespace fw {

class MemoryDc {
public:
    explicit MemoryDc(HDC target);
    ~MemoryDc();
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC Get() const { return offScreen_ ? memory_.get() : target_; }
    bool IsOffScreen() const { return offScreen_; }

private:
    Bitmap bitmap_;
    HGDIOBJ displaced_ = nullptr;
    HDC target_;
    RECT area_{};
    MemoryDcHandle memory_;
    bool offScreen_ = false;
};

}  // namespace fw
