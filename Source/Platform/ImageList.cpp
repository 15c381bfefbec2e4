#include "ImageList.h"

#include "Errors.h"
#include "Graphics.h"

#include <utility>

TImageList::TImageList(int width, int height) : width_(width), height_(height) {
    handle_ = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4);
    if (handle_ == nullptr)
        throw Exception("ImageList_Create failed");
}

TImageList::~TImageList() {
    if (handle_ != nullptr)
        ImageList_Destroy(handle_);
}

TImageList::TImageList(TImageList&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), width_(other.width_), height_(other.height_) {}

TImageList& TImageList::operator=(TImageList&& other) noexcept {
    if (this != &other) {
        if (handle_ != nullptr)
            ImageList_Destroy(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        width_ = other.width_;
        height_ = other.height_;
    }
    return *this;
}

int TImageList::Add(HBITMAP image, HBITMAP mask) {
    const int index = ImageList_Add(handle_, image, mask);
    if (index < 0)
        throw Exception("ImageList_Add failed");
    return index;
}

int TImageList::Count() const {
    return ImageList_GetImageCount(handle_);
}

int TImageList::AddMasked(HBITMAP image, COLORREF maskColor) {
    const int index = ImageList_AddMasked(handle_, image, maskColor);
    if (index < 0)
        throw Exception("ImageList_AddMasked failed");
    return index;
}

int TImageList::AddResource(const char* name, COLORREF maskColor) {
    // A DIB section keeps the colours exact, so the mask colour matches pixel for pixel.
    const UniqueBitmap bitmap = LoadBitmapResource(name);
    return AddMasked(bitmap.Get(), maskColor);
}
