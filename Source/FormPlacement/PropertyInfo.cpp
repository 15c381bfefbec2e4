#include "PropertyInfo.h"

#include "ControlProperties.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

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
    if (auto* control = dynamic_cast<TWinControl*>(component))
        DescribeControl(control, list);
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
        if (SameText(info.Name, name))
            return &info;
    return nullptr;
}

bool SameText(const std::string& a, const std::string& b) noexcept {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}
