#include "ImageList.h"

#include "Errors.h"
#include "Graphics.h"

TImageList::TImageList(int width, int height) : width_(width), height_(height) {
    handle_.Reset(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4));
    if (!handle_)
        throw Exception("ImageList_Create failed");
}

int TImageList::Add(HBITMAP image, HBITMAP mask) {
    const int index = ImageList_Add(handle_.Get(), image, mask);
    if (index < 0)
        throw Exception("ImageList_Add failed");
    return index;
}

int TImageList::Count() const {
    return ImageList_GetImageCount(handle_.Get());
}

int TImageList::AddMasked(HBITMAP image, COLORREF maskColor) {
    const int index = ImageList_AddMasked(handle_.Get(), image, maskColor);
    if (index < 0)
        throw Exception("ImageList_AddMasked failed");
    return index;
}

int TImageList::AddResource(const char* name, COLORREF maskColor) {
    // A DIB section keeps the colours exact, so the mask colour matches pixel for pixel.
    const UniqueBitmap bitmap = LoadBitmapResource(name);
    return AddMasked(bitmap.Get(), maskColor);
}
