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
    ItemClasses()->Add(cls, key);
}

TAbstractObject* CreateItemFromText(const std::string& text) {
    const auto brace = text.find('{');
    if (brace == std::string::npos)
        return CreateItemByKey({}, text);
    return CreateItemByKey(text.substr(brace + 1, text.size() - brace - 2), text.substr(0, brace));
}

TAbstractObject* CreateItemByKey(const std::string& params, const std::string& key) {
    if (nesting >= MaxItemNesting)
        return nullptr;
    const TNestingGuard guard;
    // An item that cannot be built is left out; the rest of the rule text is still read.
    TAbstractObject* created = nullptr;
    Guarded("CreateItemByKey", [&] {
        const TAbstractObjectClass cls = ItemClasses()->Find(key);
        created = cls == nullptr ? nullptr : TAbstractObject::Create(cls, params);
    });
    return created;
}

TAbstractObject* CreateRulePartFromText(const std::string& text) {
    if (AsciiUpper(text.substr(0, text.find('{'))) == ExtenderKey)
        return nullptr;
    return CreateItemFromText(text);
}
