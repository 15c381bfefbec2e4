#include "XMLStorage.h"

#include "CodeUnitEscapes.h"
#include "FileReplacement.h"
#include "Handles.h"
#include "TextConversion.h"

#include <oleauto.h>

#include <algorithm>
#include <utility>

namespace {

// The system's DOMDocument class.
constexpr CLSID DomDocumentClass = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// XML cannot carry most control characters, not even as character references, yet a name can be
// pasted with them and a window's class or caption can hold them. The document holds each as its
// symbol of the Control Pictures block (U+2401 for U+0001), which reads back as the character.
constexpr wchar_t ControlPictures = 0x2400;

bool IsControlXmlRefuses(wchar_t c) noexcept {
    return c > 0 && c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r';
}

bool IsPictureOfControl(wchar_t c) noexcept {
    return c > ControlPictures && IsControlXmlRefuses(static_cast<wchar_t>(c - ControlPictures));
}

// The other units XML cannot carry are escaped (CodeUnitEscapes), and so is a symbol of the text
// itself that would read back as a control character.
bool IsEscapedInXml(wchar_t c) noexcept {
    return c == 0 || c == 0xFFFE || c == 0xFFFF || IsSurrogate(c) || IsPictureOfControl(c);
}

bool MustEscapeInXml(std::wstring_view text, size_t at) noexcept {
    return IsEscapedInXml(text[at]) && (!IsSurrogate(text[at]) || IsUnpairedSurrogate(text, at));
}

// Whether the unit may stand for another in the document: most text has none.
bool IsSpokenFor(wchar_t c) {
    return IsPictureOfControl(c) || c == CodeUnitEscape || IsSurrogate(c);
}

// The program's 8-bit text, whose unpaired surrogates are escaped (GetWindowClassName), as the
// document holds it.
std::wstring DocumentText(const std::string& text) {
    std::wstring wide = AnsiToWide(text);
    UnescapeCodeUnits(wide, IsSurrogate);
    EscapeCodeUnits(wide, MustEscapeInXml, IsEscapedInXml);
    for (wchar_t& c : wide)
        if (IsControlXmlRefuses(c))
            c = static_cast<wchar_t>(c + ControlPictures);
    return wide;
}

// Owns one BSTR.
class UniqueBstr {
public:
    UniqueBstr() = default;
    explicit UniqueBstr(const std::string& text) {
        const std::wstring wide = DocumentText(text);
        value_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        if (value_ == nullptr)
            OleCheck(E_OUTOFMEMORY, "SysAllocStringLen");
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
        std::wstring wide;
        if (std::any_of(text, text + length, IsSpokenFor)) {
            wide.assign(text, length);
            for (wchar_t& c : wide)
                if (IsPictureOfControl(c))
                    c = static_cast<wchar_t>(c - ControlPictures);
            UnescapeCodeUnits(wide, IsEscapedInXml);
            EscapeCodeUnits(wide, IsUnpairedSurrogate, IsSurrogate);
            text = wide.data();
            length = static_cast<UINT>(wide.size());
        }
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

// The name of an element node; empty for every other kind of node.
std::wstring ElementName(IXMLDOMNode* node) {
    DOMNodeType type = NODE_INVALID;
    OleCheck(node->get_nodeType(&type), "get_nodeType");
    if (type != NODE_ELEMENT)
        return {};
    UniqueBstr name;
    OleCheck(node->get_nodeName(name.Put()), "get_nodeName");
    return std::wstring(name.Get(), SysStringLen(name.Get()));
}

// The first element named name among node and its following siblings, or null.
ComPtr<IXMLDOMNode> ElementFrom(ComPtr<IXMLDOMNode> node, const std::wstring& name) {
    while (node && ElementName(node.Get()) != name) {
        ComPtr<IXMLDOMNode> next;
        OleCheck(node->get_nextSibling(next.GetAddressOf()), "get_nextSibling");
        node = next;
    }
    return node;
}

ComPtr<IXMLDOMNode> NextSibling(IXMLDOMNode* node) {
    ComPtr<IXMLDOMNode> next;
    OleCheck(node->get_nextSibling(next.GetAddressOf()), "get_nextSibling");
    return next;
}

ComPtr<IXMLDOMNode> FirstChild(IXMLDOMNode* node) {
    ComPtr<IXMLDOMNode> first;
    OleCheck(node->get_firstChild(first.GetAddressOf()), "get_firstChild");
    return first;
}

// Owns one SAFEARRAY.
class UniqueSafeArray {
public:
    explicit UniqueSafeArray(SAFEARRAY* array) noexcept : array_(array) {}
    UniqueSafeArray(const UniqueSafeArray&) = delete;
    UniqueSafeArray& operator=(const UniqueSafeArray&) = delete;
    ~UniqueSafeArray() {
        if (array_ != nullptr)
            SafeArrayDestroy(array_);
    }
    SAFEARRAY* Get() const noexcept { return array_; }
    SAFEARRAY* Release() noexcept { return std::exchange(array_, nullptr); }

private:
    SAFEARRAY* array_;
};

// The file's bytes, for the DOM to parse as it would parse the file (the encoding is its to find
// out); read so, the DOM does not gather the file in small pieces, which costs the square of its
// size. Null when the file cannot be read.
bool ReadFileBytes(const std::string& fileName, VARIANT& bytes) {
    UniqueHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF)
        return false;
    const auto length = static_cast<ULONG>(size.QuadPart);
    UniqueSafeArray array(SafeArrayCreateVector(VT_UI1, 0, length));
    if (array.Get() == nullptr)
        OleCheck(E_OUTOFMEMORY, "SafeArrayCreateVector");
    void* data = nullptr;
    OleCheck(SafeArrayAccessData(array.Get(), &data), "SafeArrayAccessData");
    DWORD read = 0;
    const BOOL ok = ReadFile(file.Get(), data, length, &read, nullptr) && read == length;
    SafeArrayUnaccessData(array.Get());
    if (!ok)
        return false;
    bytes.vt = VT_ARRAY | VT_UI1;
    bytes.parray = array.Release();
    return true;
}

std::string NodeName(IXMLDOMNode* node) {
    UniqueBstr name;
    OleCheck(node->get_nodeName(name.Put()), "get_nodeName");
    return name.ToString();
}

TStorageSnapshot SnapshotOf(IXMLDOMElement* element) {
    TStorageSnapshot snapshot;
    snapshot.Name = NodeName(element);
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    OleCheck(element->get_attributes(attributes.GetAddressOf()), "get_attributes");
    long count = 0;
    if (attributes)
        OleCheck(attributes->get_length(&count), "get_length");
    for (long i = 0; i < count; ++i) {
        ComPtr<IXMLDOMNode> attribute;
        OleCheck(attributes->get_item(i, attribute.GetAddressOf()), "get_item");
        UniqueVariant value;
        OleCheck(attribute->get_nodeValue(&value.Get()), "get_nodeValue");
        snapshot.Attributes.emplace_back(
            NodeName(attribute.Get()),
            value.Get().vt == VT_BSTR
                ? UniqueBstr::ToAnsi(value.Get().bstrVal, SysStringLen(value.Get().bstrVal))
                : std::string());
    }
    UniqueBstr text;
    OleCheck(element->get_text(text.Put()), "get_text");
    snapshot.Text = text.ToString();
    for (ComPtr<IXMLDOMNode> node = FirstChild(element); node; node = NextSibling(node.Get())) {
        ComPtr<IXMLDOMElement> child;
        if (SUCCEEDED(
                node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(child.GetAddressOf()))) &&
            child)
            snapshot.Children.push_back(SnapshotOf(child.Get()));
    }
    return snapshot;
}

// Where the DOM saves a document in memory: each write is appended to a string, which grows as
// strings do (a memory stream of the system grows by each write, which costs the square of the
// document's size).
class TAppendStream final : public TDebugInterfacedObject, public IStream {
    GLZ_INTERFACES(TDebugInterfacedObject, ISequentialStream, IStream)

    explicit TAppendStream(std::string& bytes) : bytes_(bytes) {}

    HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG* read) override {
        if (read != nullptr)
            *read = 0;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override {
        try {
            bytes_.append(static_cast<const char*>(data), size);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        if (written != nullptr)
            *written = size;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* status, DWORD) override {
        if (status == nullptr)
            return E_POINTER;
        *status = STATSTG{};
        status->type = STGTY_STREAM;
        status->cbSize.QuadPart = bytes_.size();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override {
        if (clone != nullptr)
            *clone = nullptr;
        return E_NOTIMPL;
    }

private:
    std::string& bytes_;
};

ComPtr<IHierStorage> NewStorage(IXMLDOMElement* element, IXMLDOMDocument* document) {
    ComPtr<IXMLStorage> storage = MustCast<IXMLStorage>(static_cast<IXMLStorage*>(NewObject<TXMLStorage>()));
    storage->Attach(element, document);
    return storage;
}

} // namespace

std::string TXMLStorage::ReadAttr(const std::string& name, const std::string& defaultValue) {
    if (!element_)
        return defaultValue;
    // A load reads "name" twice: once to find the item, once in the item itself.
    if (!lastAttribute_ || lastAttribute_->first != name) {
        UniqueBstr attrName(name);
        UniqueVariant value;
        OleCheck(element_->getAttribute(attrName.Get(), &value.Get()), "getAttribute");
        std::optional<std::string> text;
        if (value.Get().vt == VT_BSTR)
            text = UniqueBstr::ToAnsi(value.Get().bstrVal, SysStringLen(value.Get().bstrVal));
        lastAttribute_.emplace(name, std::move(text));
    }
    return lastAttribute_->second.value_or(defaultValue);
}

void TXMLStorage::WriteAttr(const std::string& name, const std::string& value) {
    if (!element_)
        return;
    lastAttribute_.reset();
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
    ForgetChildren();
    OleCheck(element_->appendChild(child.Get(), appended.GetAddressOf()), "appendChild");
    return NewStorage(child.Get(), document_.Get());
}

int TXMLStorage::ChildCount(const std::string& name) {
    if (!element_)
        return 0;
    const std::wstring wanted = AnsiToWide(name);
    int count = 0;
    for (ComPtr<IXMLDOMNode> node = ElementFrom(FirstChild(element_.Get()), wanted); node;
         node = ElementFrom(NextSibling(node.Get()), wanted))
        ++count;
    return count;
}

ComPtr<IXMLDOMNode> TXMLStorage::FirstChildNamed(const std::wstring& name) {
    for (const auto& [met, node] : firstOfName_)
        if (met == name)
            return node;
    ComPtr<IXMLDOMNode> node = walkStarted_ ? walkNext_ : FirstChild(element_.Get());
    walkStarted_ = true;
    while (node) {
        const std::wstring met = ElementName(node.Get());
        ComPtr<IXMLDOMNode> next = NextSibling(node.Get());
        // Names met before were met earlier: only the first of each is kept.
        if (!met.empty() && met != name &&
            std::none_of(firstOfName_.begin(), firstOfName_.end(),
                         [&](const auto& entry) { return entry.first == met; }))
            firstOfName_.emplace_back(met, node);
        if (met == name) {
            firstOfName_.emplace_back(met, node);
            walkNext_ = next;
            return node;
        }
        node = next;
    }
    walkNext_.Reset();
    return nullptr;
}

ComPtr<IXMLDOMNode> TXMLStorage::FindChild(const std::string& name, int index) {
    const std::wstring wanted = AnsiToWide(name);
    const bool fromCursor = cursorNode_ && cursorName_ == wanted && cursorIndex_ <= index;
    int at = fromCursor ? cursorIndex_ : 0;
    ComPtr<IXMLDOMNode> node = fromCursor ? cursorNode_ : FirstChildNamed(wanted);
    for (; node && at < index; ++at)
        node = ElementFrom(NextSibling(node.Get()), wanted);
    if (node) {
        cursorName_ = wanted;
        cursorIndex_ = index;
        cursorNode_ = node;
    }
    return node;
}

void TXMLStorage::ForgetChildren() noexcept {
    firstOfName_.clear();
    walkNext_.Reset();
    walkStarted_ = false;
    cursorNode_.Reset();
    cursorIndex_ = -1;
}

ComPtr<IHierStorage> TXMLStorage::Child(const std::string& name, int index) {
    if (!element_ || index < 0)
        return nullptr;
    ComPtr<IXMLDOMNode> node = FindChild(name, index);
    if (!node)
        return nullptr;
    ComPtr<IXMLDOMElement> child;
    OleCheck(node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(child.GetAddressOf())),
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
    ForgetChildren();
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
    ForgetChildren();
    lastAttribute_.reset();
}

void TXMLStorage::Reset() {
    element_.Reset();
    document_.Reset();
    ForgetChildren();
    lastAttribute_.reset();
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
        UniqueVariant source;
        if (!ReadFileBytes(fileName, source.Get()))
            return false;
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
    ReplaceFileContents(fileName, SavedBytes());
    return true;
}

std::string TXMLStorage::SavedBytes() {
    if (!document_)
        return {};
    std::string bytes;
    ComPtr<IStream> stream(static_cast<IStream*>(NewObject<TAppendStream>(bytes)));
    UniqueVariant destination;
    destination.Get().vt = VT_UNKNOWN;
    destination.Get().punkVal = stream.Get();
    stream->AddRef();
    OleCheck(document_->save(destination.Get()), "save");
    return bytes;
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

std::shared_ptr<const TStorageSnapshot> TXMLStorage::Snapshot() {
    if (!element_)
        return nullptr;
    return std::make_shared<const TStorageSnapshot>(SnapshotOf(element_.Get()));
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
