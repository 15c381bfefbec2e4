#include "StorageSnapshot.h"

namespace {
[[noreturn]] void ReadOnly() {
    throw Exception("A storage snapshot is read-only");
}
} // namespace

TSnapshotStorage::TSnapshotStorage(std::shared_ptr<const TStorageSnapshot> root,
                                   const TStorageSnapshot* element)
    : root_(std::move(root)), element_(element) {}

std::string TSnapshotStorage::ReadAttr(const std::string& name, const std::string& defaultValue) {
    if (element_ != nullptr)
        for (const auto& [attrName, value] : element_->Attributes)
            if (attrName == name)
                return value;
    return defaultValue;
}

void TSnapshotStorage::WriteAttr(const std::string&, const std::string&) {
    ReadOnly();
}

ComPtr<IHierStorage> TSnapshotStorage::AddChild(const std::string&) {
    ReadOnly();
}

int TSnapshotStorage::ChildCount(const std::string& name) {
    int count = 0;
    if (element_ != nullptr)
        for (const auto& child : element_->Children)
            count += child.Name == name ? 1 : 0;
    return count;
}

ComPtr<IHierStorage> TSnapshotStorage::Child(const std::string& name, int index) {
    if (element_ == nullptr || index < 0)
        return nullptr;
    for (const auto& child : element_->Children)
        if (child.Name == name && index-- == 0)
            return ComPtr<IHierStorage>(NewObject<TSnapshotStorage>(root_, &child));
    return nullptr;
}

std::string TSnapshotStorage::GetText() {
    return element_ != nullptr ? element_->Text : std::string();
}

void TSnapshotStorage::SetText(const std::string&) {
    ReadOnly();
}

std::string TSnapshotStorage::ReadChildText(const std::string& name) {
    ComPtr<IHierStorage> child = Child(name, 0);
    return child ? child->GetText() : std::string();
}

void TSnapshotStorage::WriteChildText(const std::string&, const std::string&) {
    ReadOnly();
}

void TSnapshotStorage::Attach(IXMLDOMElement*, IXMLDOMDocument*) {
    ReadOnly();
}

void TSnapshotStorage::Reset() {
    element_ = nullptr;
    root_.reset();
}

ComPtr<IHierStorage> OpenSnapshot(std::shared_ptr<const TStorageSnapshot> snapshot) {
    const TStorageSnapshot* element = snapshot.get();
    return ComPtr<IHierStorage>(NewObject<TSnapshotStorage>(std::move(snapshot), element));
}
