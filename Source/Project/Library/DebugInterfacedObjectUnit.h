#pragma once

#include "Errors.h"

#include <unknwn.h>
#include <wrl/client.h>

#include <atomic>
#include <utility>

using Microsoft::WRL::ComPtr;

// The reference-counted base of every interfaced class. The count is atomic: the resident
// program's two threads share one model. Interfaces are COM-style and never leave the module.
class TDebugInterfacedObject : public IUnknown {
public:
    TDebugInterfacedObject() noexcept;
    TDebugInterfacedObject(const TDebugInterfacedObject&) = delete;
    TDebugInterfacedObject& operator=(const TDebugInterfacedObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    ULONG RefCount() const noexcept { return refCount_.load(); }

    // Objects alive in this process, for tests that prove a tree was fully released.
    static long LiveObjects() noexcept;

protected:
    virtual ~TDebugInterfacedObject();

    // The interface of this identity, or null; each class that adds interfaces extends it.
    virtual void* FindInterface(REFIID riid);

    // Keeps the object alive while it is set up: a reference that is handed out and
    // dropped during construction must not free it.
    void BeginConstruction() noexcept { refCount_.fetch_add(1); }
    void EndConstruction() noexcept { refCount_.fetch_sub(1); }

    template <class T, class... Args> friend T* NewObject(Args&&... args);

private:
    std::atomic<ULONG> refCount_{0};
};

// Finds riid among the listed interfaces of self.
template <class... Interfaces, class Self> void* InterfaceOf(Self* self, REFIID riid) {
    void* found = nullptr;
    ((found == nullptr && IsEqualGUID(riid, __uuidof(Interfaces)) ? (found = static_cast<Interfaces*>(self))
                                                                  : nullptr),
     ...);
    return found;
}

// Routes every IUnknown slot of a class with several interface bases to the one count.
#define GLZ_ROUTE_IUNKNOWN                                                                                   \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {                          \
        return TDebugInterfacedObject::QueryInterface(riid, object);                                         \
    }                                                                                                        \
    ULONG STDMETHODCALLTYPE AddRef() override {                                                              \
        return TDebugInterfacedObject::AddRef();                                                             \
    }                                                                                                        \
    ULONG STDMETHODCALLTYPE Release() override {                                                             \
        return TDebugInterfacedObject::Release();                                                            \
    }

// Put in every class that adds interfaces: routes all IUnknown slots to the one count.
#define GLZ_INTERFACES(Parent, ...)                                                                          \
public:                                                                                                      \
    GLZ_ROUTE_IUNKNOWN                                                                                       \
                                                                                                             \
protected:                                                                                                   \
    void* FindInterface(REFIID riid) override {                                                              \
        if (void* found = InterfaceOf<__VA_ARGS__>(this, riid))                                              \
            return found;                                                                                    \
        return Parent::FindInterface(riid);                                                                  \
    }                                                                                                        \
                                                                                                             \
public:

// Creates an object with no reference yet; the caller takes the first one.
template <class T, class... Args> T* NewObject(Args&&... args) {
    return new T(std::forward<Args>(args)...);
}

// A cast that may fail: null when the interface is missing.
template <class I> ComPtr<I> Supports(IUnknown* from) {
    ComPtr<I> result;
    if (from != nullptr)
        from->QueryInterface(__uuidof(I), reinterpret_cast<void**>(result.GetAddressOf()));
    return result;
}
template <class I, class J> ComPtr<I> Supports(const ComPtr<J>& from) {
    return Supports<I>(from.Get());
}

// A cast that must succeed: raises EIntfCastError when the interface is missing.
template <class I> ComPtr<I> MustCast(IUnknown* from) {
    ComPtr<I> result = Supports<I>(from);
    if (!result)
        throw EIntfCastError();
    return result;
}
template <class I, class J> ComPtr<I> MustCast(const ComPtr<J>& from) {
    return MustCast<I>(from.Get());
}

// True when two references are the same object.
bool SameObject(IUnknown* a, IUnknown* b);
