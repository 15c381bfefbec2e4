#include "EARoutines.h"

#include "ElHashList.h"
#include "Errors.h"
#include "Routines.h"

void LogCurrentError(const char* where) noexcept {
    try {
        LogError(std::string(where) + ": Err = " + CurrentExceptionText());
    } catch (...) {
        // No memory for the text: the failure goes unrecorded, as everywhere in the library.
    }
}

bool IsYes(const std::string& value) {
    return AsciiUpper(value) == "YES";
}

HINSTANCE ThisModule() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}
