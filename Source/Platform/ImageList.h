#pragma once

#include "Handles.h"

#include <windows.h>

#include <commctrl.h>

using UniqueImageList = UniqueOwner<NullIsEmpty<HIMAGELIST, &ImageList_Destroy>>;

// Owns one comctl32 image list.
class TImageList {
public:
    TImageList(int width, int height);

    // Adds an image (mask may be null); answers its index. A bitmap wider than one image adds
    // one image per width.
    int Add(HBITMAP image, HBITMAP mask = nullptr);
    // Adds the images of a bitmap whose pixels of maskColor are transparent; answers the
    // index of the first.
    int AddMasked(HBITMAP image, COLORREF maskColor);
    // The same from a bitmap resource of the program.
    int AddResource(const char* name, COLORREF maskColor);
    int Count() const;
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    HIMAGELIST Handle() const noexcept { return handle_.Get(); }

private:
    UniqueImageList handle_;
    int width_ = 0;
    int height_ = 0;
};
