#pragma once
// Owner of an image list. A list control that shows it only borrows it:
// its owner takes it back from the control before the control is destroyed
// (SetImageList with null), so it is destroyed exactly once, here.

#include <windows.h>
#include <commctrl.h>

namespace fw {

class ImageList {
public:
    ImageList() = default;
    ~ImageList() { Reset(); }
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    bool Create(int width, int height, UINT flags, int initial, int grow);
    void Reset();
    HIMAGELIST Get() const { return images_; }

    // Appends a copy of the icon; the new image's index, or -1.
    int AddIcon(HICON icon);
    int Count() const;
    // Keeps the first `count` images and drops the rest.
    bool Truncate(int count);

private:
    HIMAGELIST images_ = nullptr;
};

}  // namespace fw
