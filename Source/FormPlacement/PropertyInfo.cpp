#include "PropertyInfo.h"

#include "Pex.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

namespace {

const std::vector<std::string> BooleanNames{"False", "True"};

// The layer's text-only description of a property, as the kind the storage knows.
TPropInfo FromPublished(TPublishedProperty published) {
    auto get = std::make_shared<std::function<std::string()>>(std::move(published.Get));
    auto set = std::make_shared<std::function<void(const std::string&)>>(std::move(published.Set));
    switch (published.Kind) {
    case TPropertyKind::pkInteger: {
        TPropInfo info(published.Name, TTypeKind::tkInteger);
        info.GetOrd = [get] { return std::stoll((*get)()); };
        info.SetOrd = [set](long long value) { (*set)(std::to_string(value)); };
        return info;
    }
    case TPropertyKind::pkBoolean: {
        TPropInfo info(published.Name, TTypeKind::tkEnumeration);
        info.Names = BooleanNames;
        info.GetOrd = [get] { return TextEqualsIgnoreCase((*get)(), "True") ? 1 : 0; };
        info.SetOrd = [set](long long value) { (*set)(value != 0 ? "True" : "False"); };
        return info;
    }
    case TPropertyKind::pkString:
        break;
    }
    TPropInfo info(published.Name, TTypeKind::tkLString);
    info.GetText = [get] { return (*get)(); };
    info.SetText = [set](const std::string& text) { (*set)(text); };
    return info;
}

} // namespace

void TPersistent::DescribeProperties(TPropList&) {}

int TCollectionItem::Index() const {
    for (int i = 0; i < collection_->Count(); ++i)
        if (collection_->Item(i) == this)
            return i;
    return -1;
}

TCollectionItem* TCollection::Add() {
    items_.push_back(NewItem());
    return items_.back().get();
}

void TCollection::Delete(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds");
    items_.erase(items_.begin() + index);
}

TPropList PublishedProperties(TPersistent* object) {
    TPropList list;
    if (object != nullptr)
        object->DescribeProperties(list);
    return list;
}

TPropList PublishedProperties(TComponent* component) {
    TPropList list;
    if (component == nullptr)
        return list;
    if (auto* described = dynamic_cast<TPersistent*>(component)) {
        described->DescribeProperties(list);
        return list;
    }
    for (TPublishedProperty& published : component->PublishedProperties())
        list.push_back(FromPublished(std::move(published)));
    return list;
}

TPropInfoList::TPropInfoList(TComponent* component, TTypeKinds kinds) {
    Keep(PublishedProperties(component), kinds);
}

TPropInfoList::TPropInfoList(TPersistent* object, TTypeKinds kinds) {
    Keep(PublishedProperties(object), kinds);
}

void TPropInfoList::Keep(TPropList list, TTypeKinds kinds) {
    for (auto& info : list)
        if ((kinds & KindBit(info.Kind)) != 0)
            list_.push_back(std::move(info));
}

const TPropInfo* TPropInfoList::FindByName(const std::string& name) const noexcept {
    for (const auto& info : list_)
        if (TextEqualsIgnoreCase(info.Name, name))
            return &info;
    return nullptr;
}
