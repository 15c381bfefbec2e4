#pragma once

#include "PropertyInfo.h"

#include <string>

// Test objects that describe one property of every kind the property storage knows.

inline TPropInfo OrdProperty(const std::string& name, TTypeKind kind, long long& field) {
    TPropInfo info(name, kind);
    info.GetOrd = [&field] { return field; };
    info.SetOrd = [&field](long long value) { field = value; };
    return info;
}

inline TPropInfo TextProperty(const std::string& name, TTypeKind kind, std::string& field) {
    TPropInfo info(name, kind);
    info.GetText = [&field] { return field; };
    info.SetText = [&field](const std::string& value) { field = value; };
    return info;
}

inline TPropInfo FloatProperty(const std::string& name, TFloatType type, long double& field) {
    TPropInfo info(name, TTypeKind::tkFloat);
    info.FloatType = type;
    info.GetFloat = [&field] { return field; };
    info.SetFloat = [&field](long double value) { field = value; };
    return info;
}

inline TPropInfo ObjectProperty(const std::string& name, TPersistent* object) {
    TPropInfo info(name, TTypeKind::tkClass);
    info.GetNested = [object] { return object; };
    return info;
}

inline const std::vector<std::string> FontStyleNames{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
inline const std::vector<std::string> AlignNames{"alNone", "alTop",   "alBottom",
                                                 "alLeft", "alRight", "alClient"};

class TTestFont : public TPersistent {
public:
    long long Height = -11;
    std::string Name = "Tahoma";
    long long Style = 0;
    void DescribeProperties(TPropList& list) override {
        list.push_back(OrdProperty("Height", TTypeKind::tkInteger, Height));
        list.push_back(TextProperty("Name", TTypeKind::tkLString, Name));
        TPropInfo style = OrdProperty("Style", TTypeKind::tkSet, Style);
        style.Names = FontStyleNames;
        list.push_back(std::move(style));
    }
};

class TTestItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    // Not stored: tells a rebuilt item from one updated in place.
    bool Marked = false;
    std::string Caption;
    long long Size = 0;
    void DescribeProperties(TPropList& list) override {
        list.push_back(TextProperty("Caption", TTypeKind::tkLString, Caption));
        list.push_back(OrdProperty("Size", TTypeKind::tkInteger, Size));
    }
};

class TTestItems : public TCollection {
public:
    TTestItem* At(int index) const { return static_cast<TTestItem*>(Item(index)); }
    TTestItem* AddItem(const std::string& caption, long long size) {
        auto* item = static_cast<TTestItem*>(Add());
        item->Caption = caption;
        item->Size = size;
        return item;
    }

protected:
    std::unique_ptr<TCollectionItem> NewItem() override { return std::make_unique<TTestItem>(this); }
};

class TDescribed : public TComponent, public TPersistent {
public:
    explicit TDescribed(TComponent* owner, const std::string& name) : TComponent(owner) {
        SetName(name);
        SetClassName("TDescribed");
    }

    long long Count = 0;
    long long Big = 0;
    long long Letter = 'a';
    long long WideLetter = 'w';
    long long Align = 0;
    long long Style = 0;
    long double Ratio = 0;
    long double Amount = 0;
    long double Precise = 0;
    long double Price = 0;
    std::string Caption;
    std::string Description;
    Variant Extra;
    TStringList Lines;
    TTestItems Items;
    TTestFont Font;
    TComponent* Buddy = nullptr;

    void DescribeProperties(TPropList& list) override {
        list.push_back(OrdProperty("Count", TTypeKind::tkInteger, Count));
        list.push_back(OrdProperty("Big", TTypeKind::tkInt64, Big));
        list.push_back(OrdProperty("Letter", TTypeKind::tkChar, Letter));
        list.push_back(OrdProperty("WideLetter", TTypeKind::tkWChar, WideLetter));
        TPropInfo align = OrdProperty("Align", TTypeKind::tkEnumeration, Align);
        align.Names = AlignNames;
        list.push_back(std::move(align));
        TPropInfo style = OrdProperty("Style", TTypeKind::tkSet, Style);
        style.Names = FontStyleNames;
        list.push_back(std::move(style));
        list.push_back(FloatProperty("Ratio", TFloatType::ftSingle, Ratio));
        list.push_back(FloatProperty("Amount", TFloatType::ftDouble, Amount));
        list.push_back(FloatProperty("Precise", TFloatType::ftExtended, Precise));
        list.push_back(FloatProperty("Price", TFloatType::ftCurr, Price));
        list.push_back(TextProperty("Caption", TTypeKind::tkString, Caption));
        list.push_back(TextProperty("Description", TTypeKind::tkLString, Description));
        TPropInfo extra("Extra", TTypeKind::tkVariant);
        extra.GetVariant = [this] { return Extra; };
        extra.SetVariant = [this](const Variant& value) { Extra = value; };
        list.push_back(std::move(extra));
        list.push_back(ObjectProperty("Lines", &Lines));
        list.push_back(ObjectProperty("Items", &Items));
        list.push_back(ObjectProperty("Font", &Font));
        TPropInfo buddy("Buddy", TTypeKind::tkClass);
        buddy.Reference = true;
        buddy.GetComponent = [this] { return Buddy; };
        buddy.SetComponent = [this](TComponent* component) { Buddy = component; };
        list.push_back(std::move(buddy));
        TPropInfo event("OnChange", TTypeKind::tkMethod);
        list.push_back(std::move(event));
    }
};
