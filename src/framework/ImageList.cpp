#include "framework/ImageList.h"

namespace fw {

ImageListHandle ImageList::Create(int width, int height, UINT flags, int initial, int grow) {
    return ImageListHandle(ImageList_Create(width, height, flags, initial, grow));
}

int ImageList::AddIcon(HICON icon) const { return images_ ? ImageList_ReplaceIcon(images_, -1, icon) : -1; }

int ImageList::Count() const { return images_ ? ImageList_GetImageCount(images_) : 0; }

bool ImageList::Truncate(int count) const {
    if (!images_) return false;
    if (Count() <= count) return true;
    // One call, instead of removing image by image, each of which rebuilds
    // the list's bitmaps.
    return ImageList_SetImageCount(images_, count) != FALSE;
}

}  // namespace fw
