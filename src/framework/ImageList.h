#pragma once
// The operations on an image list the program uses, over a borrowed
// handle. Ownership is an ImageListHandle (UniqueHandle.h), or the list
// control an image list was handed to (ListView::AdoptImageList).

#include <windows.h>
#include <commctrl.h>

#include "framework/UniqueHandle.h"

namespace fw {

class ImageList {
public:
    explicit ImageList(HIMAGELIST images) : images_(images) {}

    // A new image list; empty when it could not be made.
    static ImageListHandle Create(int width, int height, UINT flags, int initial, int grow);

    HIMAGELIST Get() const { return images_; }
    // Adds a copy of the icon at the end; the new image's index, or -1.
    int AddIcon(HICON icon) const;
    int Count() const;
    // Keeps the first `count` images and drops the rest.
    bool Truncate(int count) const;

private:
    HIMAGELIST images_;
};

}  // namespace fw
