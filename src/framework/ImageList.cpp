#include "framework/ImageList.h"

namespace fw {

bool ImageList::Create(int width, int height, UINT flags, int initial, int grow) {
    Reset();
    images_ = ImageList_Create(width, height, flags, initial, grow);
    return images_ != nullptr;
}

void ImageList::Reset() {
    if (images_) ImageList_Destroy(images_);
    images_ = nullptr;
}

int ImageList::AddIcon(HICON icon) { return images_ ? ImageList_ReplaceIcon(images_, -1, icon) : -1; }

int ImageList::Count() const { return images_ ? ImageList_GetImageCount(images_) : 0; }

bool ImageList::Truncate(int count) {
    if (!images_) return false;
    if (Count() <= count) return true;
    // One call, instead of removing image by image, each of which rebuilds
    // the list's bitmaps.
    return ImageList_SetImageCount(images_, count) != FALSE;
}

}  // namespace fw
