#pragma once
// Owner of one COM interface reference: released exactly once on every
// path, so no early return or failed step can leak the browser control or
// keep it alive past its window.

#include <unknwn.h>

#include <cstddef>
#include <utility>

namespace fw {

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes over a reference the caller already holds.
    explicit ComPtr(T* adopted) noexcept : p_(adopted) {}
    ComPtr(const ComPtr& other) noexcept : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(const ComPtr& other) noexcept {
        if (this != &other) {
            if (other.p_) other.p_->AddRef();
            reset(other.p_);
        }
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) reset(std::exchange(other.p_, nullptr));
        return *this;
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // Releases what is held and takes over `adopted` (no AddRef).
    void reset(T* adopted = nullptr) noexcept {
        T* old = std::exchange(p_, adopted);
        if (old) old->Release();
    }
    T* detach() noexcept { return std::exchange(p_, nullptr); }

    // For out-parameters of creating calls: releases what is held first.
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // Another interface of the same object; empty when it has none.
    template <typename U>
    ComPtr<U> As() const noexcept {
        ComPtr<U> other;
        if (p_) p_->QueryInterface(__uuidof(U), other.put_void());
        return other;
    }

private:
    T* p_ = nullptr;
};

}  // namespace fw
