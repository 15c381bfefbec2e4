#include "uEAGeneralClasses.h"

#include "EARoutines.h"
#include "Routines.h"

namespace {

constexpr char ExtenderKey[] = "WINDOWEXTENDER";

thread_local int nesting = 0;

// Counts one level of item construction on this thread.
class TNestingGuard {
public:
    TNestingGuard() { ++nesting; }
    TNestingGuard(const TNestingGuard&) = delete;
    TNestingGuard& operator=(const TNestingGuard&) = delete;
    ~TNestingGuard() { --nesting; }
};

} // namespace

void TAbstractParamsItem::SetParam(const std::string& name, const std::string& value) {
    if (name == "NAME")
        Name = value;
}

TItemClasses* ItemClasses() noexcept {
    // Lives as long as the module; built on first use, whoever comes first.
    static TItemClasses classes;
    return &classes;
}

void RegisterItemClass(TAbstractObjectClass cls, const std::string& key) {
    try {
        ItemClasses()->Add(cls, key);
    } catch (...) {
        LogCurrentError("RegisterItemClass");
    }
}

TAbstractObject* CreateItemFromText(const std::string& text) {
    try {
        const auto brace = text.find('{');
        if (brace == std::string::npos)
            return CreateItemByKey({}, text);
        return CreateItemByKey(text.substr(brace + 1, text.size() - brace - 2), text.substr(0, brace));
    } catch (...) {
        LogCurrentError("CreateItemFromText");
        return nullptr;
    }
}

TAbstractObject* CreateItemByKey(const std::string& params, const std::string& key) {
    try {
        if (nesting >= MaxItemNesting)
            return nullptr;
        const TNestingGuard guard;
        const TAbstractObjectClass cls = ItemClasses()->Find(key);
        return cls == nullptr ? nullptr : TAbstractObject::Create(cls, params);
    } catch (...) {
        LogCurrentError("CreateItemByKey");
        return nullptr;
    }
}

TAbstractObject* CreateRulePartFromText(const std::string& text) {
    try {
        if (AsciiUpper(text.substr(0, text.find('{'))) == ExtenderKey)
            return nullptr;
        return CreateItemFromText(text);
    } catch (...) {
        LogCurrentError("CreateRulePartFromText");
        return nullptr;
    }
}
