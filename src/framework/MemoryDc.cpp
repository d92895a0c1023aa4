#include "framework/MemoryDc.h"

namespace fw {

MemoryDc::MemoryDc(HDC target) : target_(target) {
    if (GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER) return;
    GetClipBox(target, &area_);
    const int width = area_.right - area_.left;
    const int height = area_.bottom - area_.top;
    memory_.reset(CreateCompatibleDC(target));
    if (!memory_) return;
    bitmap_.reset(CreateCompatibleBitmap(target, width, height));
    if (!bitmap_) {
        memory_.reset();
        return;
    }
    displaced_ = SelectObject(memory_.get(), bitmap_.get());
    SetWindowOrgEx(memory_.get(), area_.left, area_.top, nullptr);
    offScreen_ = true;
}

MemoryDc::~MemoryDc() {
    if (!offScreen_) return;
    BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, memory_.get(),
           area_.left, area_.top, SRCCOPY);
    SelectObject(memory_.get(), displaced_);
    // memory_ and bitmap_ release themselves; the bitmap is no longer selected.
}

}  // namespace fw
