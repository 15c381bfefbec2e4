#pragma once

#include "PersistenceService.h"
#include "StorageSnapshot.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Attaches a new storage inside the unit; the same operations as IHierStorage.
struct IXMLStorage : public IHierStorage {};
__CRT_UUID_DECL(IXMLStorage, 0x337102C9, 0x8EBC, 0x45A5, 0xB0, 0xD6, 0x03, 0xF3, 0xF0, 0x79, 0xEE, 0xC9)

// Document-level operations, reached on the object itself.
class IXMLFileStorage {
public:
    virtual bool NewDocument(const std::string& rootName) = 0;
    virtual bool LoadFromFile(const std::string& fileName) = 0;
    virtual bool LoadFromXML(const std::string& text) = 0;
    virtual bool LoadObject(IPersistObject* obj) = 0;
    // Replaces the file as one step (ReplaceFileContents); failures raise EFileWriteError.
    virtual bool SaveToFile(const std::string& fileName) = 0;
    virtual bool GetXML(std::string& text) = 0;
    virtual bool SaveObject(IPersistObject* obj) = 0;

protected:
    ~IXMLFileStorage() = default;
};

// An element of an XML document of the system's DOM.
class TXMLStorage : public TDebugInterfacedObject, public IXMLStorage, public IXMLFileStorage {
    GLZ_INTERFACES(TDebugInterfacedObject, IHierStorage, IXMLStorage)

    TXMLStorage() = default;

    std::string ReadAttr(const std::string& name, const std::string& defaultValue) override;
    void WriteAttr(const std::string& name, const std::string& value) override;
    ComPtr<IHierStorage> AddChild(const std::string& name) override;
    int ChildCount(const std::string& name) override;
    ComPtr<IHierStorage> Child(const std::string& name, int index) override;
    std::string GetText() override;
    void SetText(const std::string& text) override;
    std::string ReadChildText(const std::string& name) override;
    void WriteChildText(const std::string& name, const std::string& text) override;
    void Attach(IXMLDOMElement* element, IXMLDOMDocument* document) override;
    void Reset() override;

    bool NewDocument(const std::string& rootName) override;
    bool LoadFromFile(const std::string& fileName) override;
    bool LoadFromXML(const std::string& text) override;
    bool LoadObject(IPersistObject* obj) override;
    bool SaveToFile(const std::string& fileName) override;
    bool GetXML(std::string& text) override;
    bool SaveObject(IPersistObject* obj) override;

    // The bytes SaveToFile writes: the document as the DOM saves it to a file.
    std::string SavedBytes();

    // A copy of the attached element and all below it; null without an element.
    std::shared_ptr<const TStorageSnapshot> Snapshot();

private:
    // The index-th child element of that name; null when there are fewer.
    ComPtr<IXMLDOMNode> FindChild(const std::string& name, int index);
    ComPtr<IXMLDOMNode> FirstChildNamed(const std::wstring& name);
    void ForgetChildren() noexcept;

    ComPtr<IXMLDOMDocument> document_;
    ComPtr<IXMLDOMElement> element_;
    // What walks over the children found so far: a load asks for them in document order, so each
    // step goes on from where the last one ended. The first element of each name met, and where
    // the walk goes on (null at the end). A change through this storage starts afresh; a load only
    // reads and a save only writes, so the children do not change behind its back.
    std::vector<std::pair<std::wstring, ComPtr<IXMLDOMNode>>> firstOfName_;
    ComPtr<IXMLDOMNode> walkNext_;
    bool walkStarted_ = false;
    // The child found last by a request for a later one of its name.
    std::wstring cursorName_;
    int cursorIndex_ = -1;
    ComPtr<IXMLDOMNode> cursorNode_;
    // The attribute read last and its value (none when the element lacks it).
    std::optional<std::pair<std::string, std::optional<std::string>>> lastAttribute_;
};

// The root element of the file, or null when it does not load.
ComPtr<IHierStorage> OpenXMLFile(const std::string& fileName);
