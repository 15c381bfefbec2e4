#include "WindowMap.h"

TWindowMap& WindowMap() noexcept {
    union TLasting {
        TLasting() : map() {}
        ~TLasting() {}
        TWindowMap map;
    };
    static TLasting lasting;
    return lasting.map;
}
