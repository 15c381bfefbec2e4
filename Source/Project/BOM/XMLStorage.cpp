#include "XMLStorage.h"

#include <oleauto.h>

#include <utility>
#include <vector>

namespace {

// The system's DOMDocument class.
constexpr CLSID DomDocumentClass = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// Owns one BSTR.
class UniqueBstr {
public:
    UniqueBstr() = default;
    explicit UniqueBstr(const std::string& text) {
        const int length =
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        value_ = SysAllocStringLen(nullptr, static_cast<UINT>(length));
        if (value_ == nullptr)
            OleCheck(E_OUTOFMEMORY, "SysAllocStringLen");
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), value_, length);
    }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    ~UniqueBstr() { SysFreeString(value_); }

    BSTR Get() const noexcept { return value_; }
    BSTR* Put() noexcept {
        SysFreeString(value_);
        value_ = nullptr;
        return &value_;
    }
    BSTR Release() noexcept { return std::exchange(value_, nullptr); }
    std::string ToString() const { return ToAnsi(value_, SysStringLen(value_)); }

    static std::string ToAnsi(const wchar_t* text, UINT length) {
        if (text == nullptr || length == 0)
            return {};
        const int size =
            WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
        std::string result(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), result.data(), size, nullptr, nullptr);
        return result;
    }

private:
    BSTR value_ = nullptr;
};

// Owns one VARIANT.
class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&value_); }
    explicit UniqueVariant(const std::string& text) : UniqueVariant() {
        UniqueBstr bstr(text);
        value_.vt = VT_BSTR;
        value_.bstrVal = bstr.Release();
    }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&value_); }

    VARIANT& Get() noexcept { return value_; }

private:
    VARIANT value_;
};

ComPtr<IXMLDOMDocument> NewDomDocument() {
    ComPtr<IXMLDOMDocument> document;
    OleCheck(CoCreateInstance(DomDocumentClass, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                              reinterpret_cast<void**>(document.GetAddressOf())),
             "CoCreateInstance(DOMDocument)");
    // Loads must finish before the call returns, and blanks of element text must survive.
    OleCheck(document->put_async(VARIANT_FALSE), "put_async");
    OleCheck(document->put_preserveWhiteSpace(VARIANT_TRUE), "put_preserveWhiteSpace");
    return document;
}

ComPtr<IXMLDOMElement> DocumentElement(IXMLDOMDocument* document) {
    ComPtr<IXMLDOMElement> element;
    OleCheck(document->get_documentElement(element.GetAddressOf()), "get_documentElement");
    return element;
}

// The direct child elements of that name, in document order.
std::vector<ComPtr<IXMLDOMNode>> ChildElements(IXMLDOMElement* element, const std::string& name) {
    std::vector<ComPtr<IXMLDOMNode>> result;
    ComPtr<IXMLDOMNode> node;
    OleCheck(element->get_firstChild(node.GetAddressOf()), "get_firstChild");
    while (node) {
        DOMNodeType type = NODE_INVALID;
        OleCheck(node->get_nodeType(&type), "get_nodeType");
        if (type == NODE_ELEMENT) {
            UniqueBstr nodeName;
            OleCheck(node->get_nodeName(nodeName.Put()), "get_nodeName");
            if (nodeName.ToString() == name)
                result.push_back(node);
        }
        ComPtr<IXMLDOMNode> next;
        OleCheck(node->get_nextSibling(next.GetAddressOf()), "get_nextSibling");
        node = next;
    }
    return result;
}

ComPtr<IHierStorage> NewStorage(IXMLDOMElement* element, IXMLDOMDocument* document) {
    ComPtr<IXMLStorage> storage = MustCast<IXMLStorage>(static_cast<IXMLStorage*>(NewObject<TXMLStorage>()));
    storage->Attach(element, document);
    return storage;
}

std::string FolderOf(const std::string& fullPath) {
    const auto slash = fullPath.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : fullPath.substr(0, slash);
}

} // namespace

std::string TXMLStorage::ReadAttr(const std::string& name, const std::string& defaultValue) {
    if (!element_)
        return defaultValue;
    UniqueBstr attrName(name);
    UniqueVariant value;
    OleCheck(element_->getAttribute(attrName.Get(), &value.Get()), "getAttribute");
    if (value.Get().vt != VT_BSTR)
        return defaultValue;
    return UniqueBstr::ToAnsi(value.Get().bstrVal, SysStringLen(value.Get().bstrVal));
}

void TXMLStorage::WriteAttr(const std::string& name, const std::string& value) {
    if (!element_)
        return;
    UniqueBstr attrName(name);
    UniqueVariant attrValue(value);
    OleCheck(element_->setAttribute(attrName.Get(), attrValue.Get()), "setAttribute");
}

ComPtr<IHierStorage> TXMLStorage::AddChild(const std::string& name) {
    // No element can carry an empty name; the caller skips what cannot be made.
    if (!element_ || !document_ || name.empty())
        return nullptr;
    UniqueBstr tagName(name);
    ComPtr<IXMLDOMElement> child;
    OleCheck(document_->createElement(tagName.Get(), child.GetAddressOf()), "createElement");
    ComPtr<IXMLDOMNode> appended;
    OleCheck(element_->appendChild(child.Get(), appended.GetAddressOf()), "appendChild");
    return NewStorage(child.Get(), document_.Get());
}

int TXMLStorage::ChildCount(const std::string& name) {
    if (!element_)
        return 0;
    return static_cast<int>(ChildElements(element_.Get(), name).size());
}

ComPtr<IHierStorage> TXMLStorage::Child(const std::string& name, int index) {
    if (!element_ || index < 0)
        return nullptr;
    const auto children = ChildElements(element_.Get(), name);
    if (index >= static_cast<int>(children.size()))
        return nullptr;
    ComPtr<IXMLDOMElement> child;
    OleCheck(children[static_cast<size_t>(index)]->QueryInterface(
                 IID_IXMLDOMElement, reinterpret_cast<void**>(child.GetAddressOf())),
             "IXMLDOMElement");
    return NewStorage(child.Get(), document_.Get());
}

std::string TXMLStorage::GetText() {
    if (!element_)
        return {};
    UniqueBstr text;
    OleCheck(element_->get_text(text.Put()), "get_text");
    return text.ToString();
}

void TXMLStorage::SetText(const std::string& text) {
    if (!element_)
        return;
    UniqueBstr value(text);
    OleCheck(element_->put_text(value.Get()), "put_text");
}

std::string TXMLStorage::ReadChildText(const std::string& name) {
    ComPtr<IHierStorage> child = Child(name, 0);
    return child ? child->GetText() : std::string();
}

void TXMLStorage::WriteChildText(const std::string& name, const std::string& text) {
    if (ComPtr<IHierStorage> child = AddChild(name))
        child->SetText(text);
}

void TXMLStorage::Attach(IXMLDOMElement* element, IXMLDOMDocument* document) {
    element_ = element;
    document_ = document;
}

void TXMLStorage::Reset() {
    element_.Reset();
    document_.Reset();
}

bool TXMLStorage::NewDocument(const std::string& rootName) {
    Reset();
    try {
        ComPtr<IXMLDOMDocument> document = NewDomDocument();
        UniqueBstr tagName(rootName);
        ComPtr<IXMLDOMElement> root;
        OleCheck(document->createElement(tagName.Get(), root.GetAddressOf()), "createElement");
        OleCheck(document->putref_documentElement(root.Get()), "putref_documentElement");
        Attach(root.Get(), document.Get());
        return true;
    } catch (const Exception&) {
        Reset();
        return false;
    }
}

bool TXMLStorage::LoadFromFile(const std::string& fileName) {
    try {
        ComPtr<IXMLDOMDocument> document = NewDomDocument();
        UniqueVariant source(fileName);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        OleCheck(document->load(source.Get(), &loaded), "load");
        if (loaded != VARIANT_TRUE)
            return false;
        Attach(DocumentElement(document.Get()).Get(), document.Get());
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool TXMLStorage::LoadFromXML(const std::string& text) {
    try {
        ComPtr<IXMLDOMDocument> document = NewDomDocument();
        UniqueBstr source(text);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        OleCheck(document->loadXML(source.Get(), &loaded), "loadXML");
        Attach(DocumentElement(document.Get()).Get(), document.Get());
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool TXMLStorage::LoadObject(IPersistObject* obj) {
    if (obj != nullptr)
        obj->Load(this);
    return true;
}

bool TXMLStorage::SaveToFile(const std::string& fileName) {
    if (!document_)
        return true;
    char fullPath[MAX_PATH];
    const DWORD length = GetFullPathNameA(fileName.c_str(), MAX_PATH, fullPath, nullptr);
    if (length == 0 || length >= MAX_PATH)
        throw Exception("Invalid file name: " + fileName);
    // A save that fails part-way must not leave a half-written configuration behind.
    char tempPath[MAX_PATH];
    if (GetTempFileNameA(FolderOf(fullPath).c_str(), "glz", 0, tempPath) == 0)
        throw EOleSysError(HRESULT_FROM_WIN32(GetLastError()), "GetTempFileNameA");
    try {
        UniqueVariant destination(tempPath);
        OleCheck(document_->save(destination.Get()), "save");
        if (!MoveFileExA(tempPath, fullPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw EOleSysError(HRESULT_FROM_WIN32(GetLastError()), "MoveFileExA");
    } catch (...) {
        DeleteFileA(tempPath);
        throw;
    }
    return true;
}

bool TXMLStorage::GetXML(std::string& text) {
    if (!document_)
        return true;
    UniqueBstr xml;
    OleCheck(document_->get_xml(xml.Put()), "get_xml");
    text = xml.ToString();
    return true;
}

bool TXMLStorage::SaveObject(IPersistObject* obj) {
    if (obj != nullptr)
        obj->Save(this);
    return true;
}

ComPtr<IHierStorage> OpenXMLFile(const std::string& fileName) {
    ComPtr<IXMLDOMDocument> document = NewDomDocument();
    UniqueVariant source(fileName);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    OleCheck(document->load(source.Get(), &loaded), "load");
    if (loaded != VARIANT_TRUE)
        return nullptr;
    return NewStorage(DocumentElement(document.Get()).Get(), document.Get());
}
