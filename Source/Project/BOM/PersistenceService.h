#pragma once

#include "DebugInterfacedObjectUnit.h"

#include <msxml.h>

#include <string>

// One element of a hierarchical store.
struct IHierStorage : public IUnknown {
    virtual std::string ReadAttr(const std::string& name, const std::string& defaultValue) = 0;
    virtual void WriteAttr(const std::string& name, const std::string& value) = 0;
    virtual ComPtr<IHierStorage> AddChild(const std::string& name) = 0;
    virtual int ChildCount(const std::string& name) = 0;
    virtual ComPtr<IHierStorage> Child(const std::string& name, int index) = 0;
    virtual std::string GetText() = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual std::string ReadChildText(const std::string& name) = 0;
    virtual void WriteChildText(const std::string& name, const std::string& text) = 0;
    virtual void Attach(IXMLDOMElement* element, IXMLDOMDocument* document) = 0;
    virtual void Reset() = 0;
};
__CRT_UUID_DECL(IHierStorage, 0x613CB9EE, 0x2D99, 0x4247, 0x9F, 0x20, 0x75, 0x68, 0xDE, 0x55, 0x16, 0xE4)

// An object that saves itself into an element and loads itself from one.
struct IPersistObject : public IUnknown {
    virtual void Save(IHierStorage* storage) = 0;
    virtual void Load(IHierStorage* storage) = 0;
    // Empty: the object is not stored as a child.
    virtual std::string GetElementName() = 0;
};
__CRT_UUID_DECL(IPersistObject, 0x512B5AD9, 0x8E7A, 0x4961, 0xA3, 0xD0, 0xB9, 0x18, 0xBF, 0xB1, 0x46, 0x13)
