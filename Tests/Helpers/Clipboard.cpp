#include "Clipboard.h"

#include <windows.h>

#include <cstring>

namespace {

bool PutData(UINT format, const void* text, std::size_t size) {
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    bool put = false;
    if (void* data = memory != nullptr ? GlobalLock(memory) : nullptr) {
        std::memcpy(data, text, size);
        GlobalUnlock(memory);
        // The clipboard owns the memory once it took it.
        put = SetClipboardData(format, memory) != nullptr;
    }
    if (!put && memory != nullptr)
        GlobalFree(memory);
    CloseClipboard();
    return put;
}

} // namespace

bool PutTextOnClipboard(const std::string& text) {
    return PutData(CF_TEXT, text.c_str(), text.size() + 1);
}

bool PutOnClipboard(const std::wstring& text) {
    return PutData(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}
