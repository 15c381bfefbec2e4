#include "DebugInterfacedObjectUnit.h"

namespace {

std::atomic<long> liveObjects{0};

} // namespace

TDebugInterfacedObject::TDebugInterfacedObject() noexcept {
    liveObjects.fetch_add(1);
}

TDebugInterfacedObject::~TDebugInterfacedObject() {
    liveObjects.fetch_sub(1);
}

long TDebugInterfacedObject::LiveObjects() noexcept {
    return liveObjects.load();
}

void* TDebugInterfacedObject::FindInterface(REFIID riid) {
    if (IsEqualGUID(riid, IID_IUnknown))
        return static_cast<IUnknown*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE TDebugInterfacedObject::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = FindInterface(riid);
    if (*object == nullptr)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE TDebugInterfacedObject::AddRef() {
    return refCount_.fetch_add(1) + 1;
}

ULONG STDMETHODCALLTYPE TDebugInterfacedObject::Release() {
    const ULONG count = refCount_.fetch_sub(1) - 1;
    if (count == 0)
        delete this;
    return count;
}

bool SameObject(IUnknown* a, IUnknown* b) {
    if (a == nullptr || b == nullptr)
        return a == b;
    return Supports<IUnknown>(a).Get() == Supports<IUnknown>(b).Get();
}
