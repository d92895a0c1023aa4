#pragma once
// Off-screen drawing for one paint: everything drawn through Get() goes to
// a bitmap the size of the target's clip box, with unchanged coordinates,
// and reaches the target in a single copy when the object goes. A printing
// context is drawn on directly.

#include <windows.h>

#include "framework/UniqueHandle.h"

class MemoryDC {
public:
    explicit MemoryDC(HDC target);
    ~MemoryDC();
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Get() const { return offScreen_ ? memory_.get() : target_; }
    bool IsOffScreen() const { return offScreen_; }

private:
    fw::Bitmap bitmap_;
    HGDIOBJ displaced_ = nullptr;
    HDC target_;
    RECT area_{};
    fw::MemoryDcHandle memory_;
    bool offScreen_ = false;
};
