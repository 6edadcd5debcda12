#pragma once

#include <atomic>
#include <cstddef>
#include <utility>

namespace platform::engine {

/// Base of every engine object shared between the system and the engine. Counts are
/// thread-safe; the object deletes itself when the last reference is released.
class CefBaseRefCounted {
public:
    virtual void AddRef() const = 0;
    /// True when this call released the last reference (the object is gone).
    virtual bool Release() const = 0;
    virtual bool HasOneRef() const = 0;

protected:
    virtual ~CefBaseRefCounted() = default;
};

/// The counter behind IMPLEMENT_REFCOUNTING.
class CefRefCount {
public:
    void AddRef() const { count.fetch_add(1, std::memory_order_relaxed); }
    bool Release() const { return count.fetch_sub(1, std::memory_order_acq_rel) == 1; }
    bool HasOneRef() const { return count.load(std::memory_order_acquire) == 1; }

private:
    mutable std::atomic<int> count { 0 };
};

/// Owning reference to a counted engine object; null when empty.
template <class T> class CefRefPtr {
public:
    CefRefPtr() = default;
    CefRefPtr(std::nullptr_t) { }
    CefRefPtr(T* p)
        : ptr(p)
    {
        if (ptr)
            ptr->AddRef();
    }
    CefRefPtr(const CefRefPtr& other)
        : CefRefPtr(other.ptr)
    {
    }
    CefRefPtr(CefRefPtr&& other) noexcept
        : ptr(std::exchange(other.ptr, nullptr))
    {
    }
    template <class U>
    CefRefPtr(const CefRefPtr<U>& other)
        : CefRefPtr(other.get())
    {
    }
    ~CefRefPtr()
    {
        if (ptr)
            ptr->Release();
    }
    CefRefPtr& operator=(CefRefPtr other) noexcept
    {
        std::swap(ptr, other.ptr);
        return *this;
    }

    T* get() const { return ptr; }
    T* operator->() const { return ptr; }
    T& operator*() const { return *ptr; }
    explicit operator bool() const { return ptr != nullptr; }
    void reset() { CefRefPtr().swap(*this); }
    void swap(CefRefPtr& other) noexcept { std::swap(ptr, other.ptr); }

    template <class U> bool operator==(const CefRefPtr<U>& other) const { return ptr == other.get(); }
    template <class U> bool operator!=(const CefRefPtr<U>& other) const { return ptr != other.get(); }
    bool operator==(std::nullptr_t) const { return ptr == nullptr; }
    bool operator!=(std::nullptr_t) const { return ptr != nullptr; }

private:
    T* ptr = nullptr;
};

} // namespace platform::engine

/// Implements CefBaseRefCounted in a concrete class (put it in the class body).
#define IMPLEMENT_REFCOUNTING(ClassName)                                                                     \
public:                                                                                                      \
    void AddRef() const override { refCount.AddRef(); }                                                      \
    bool Release() const override                                                                            \
    {                                                                                                        \
        if (!refCount.Release())                                                                             \
            return false;                                                                                    \
        delete static_cast<const ClassName*>(this);                                                          \
        return true;                                                                                         \
    }                                                                                                        \
    bool HasOneRef() const override { return refCount.HasOneRef(); }                                         \
                                                                                                             \
private:                                                                                                     \
    ::platform::engine::CefRefCount refCount
