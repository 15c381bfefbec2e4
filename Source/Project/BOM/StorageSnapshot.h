#pragma once

#include "PersistenceService.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// A read-only copy of one stored element and everything below it, taken once, so that text that
// is loaded again and again (the default rule template) is not parsed each time.
struct TStorageSnapshot {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Attributes;
    // All text inside the element, as the store reads it.
    std::string Text;
    std::vector<TStorageSnapshot> Children;
};

// A storage over a snapshot: reads answer as the store the snapshot came from did; writes raise.
// A null snapshot is a storage without an element.
class TSnapshotStorage : public TDebugInterfacedObject, public IHierStorage {
    GLZ_INTERFACES(TDebugInterfacedObject, IHierStorage)

    TSnapshotStorage(std::shared_ptr<const TStorageSnapshot> root, const TStorageSnapshot* element);

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

private:
    // Keeps the whole tree alive for every storage handed out below it.
    std::shared_ptr<const TStorageSnapshot> root_;
    const TStorageSnapshot* element_;
};

ComPtr<IHierStorage> OpenSnapshot(std::shared_ptr<const TStorageSnapshot> snapshot);
