#pragma once
// Owners for Windows handles, GDI objects, COM pointers and library start-up, so that no code
// outside this header releases a resource by hand.

#include <windows.h>
#include <objbase.h>
#include <ole2.h>
#include <gdiplus.h>

#include <mutex>
#include <string>
#include <utility>

// A handle closed by Close when its owner goes away. Invalid is the value that owns nothing.
template <typename Handle, auto Close, intptr_t Invalid = 0>
class UniqueResource {
  public:
    UniqueResource() = default;
    explicit UniqueResource(Handle handle) : handle_(handle) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueResource() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != None(); }
    Handle release() { return std::exchange(handle_, None()); }
    void reset(Handle handle = None()) {
        if (handle_ != None()) {
            Close(handle_);
        }
        handle_ = handle;
    }
    // For APIs that return a new handle through a pointer.
    Handle* put() {
        reset();
        return &handle_;
    }

  private:
    // A C-style cast, since handles are pointers or integers depending on their kind.
    static Handle None() { return (Handle)Invalid; }

    Handle handle_ = None();
};

namespace win_handles_detail {
inline void CloseKernelHandle(HANDLE h) {
    ::CloseHandle(h);
}
inline void CloseRegistryKey(HKEY h) {
    ::RegCloseKey(h);
}
inline void DeleteGdiObject(HGDIOBJ h) {
    ::DeleteObject(h);
}
inline void DestroyIconHandle(HICON h) {
    ::DestroyIcon(h);
}
inline void DestroyMenuHandle(HMENU h) {
    ::DestroyMenu(h);
}
inline void DeleteGlobalAtom(ATOM a) {
    ::GlobalDeleteAtom(a);
}
inline void FreeBstr(BSTR text) {
    ::SysFreeString(text);
}
inline void FreeGlobalText(wchar_t* text) {
    ::GlobalFree(text);
}
inline void FreeLocalMemory(HLOCAL memory) {
    ::LocalFree(memory);
}
}  // namespace win_handles_detail

using UniqueHandle = UniqueResource<HANDLE, win_handles_detail::CloseKernelHandle>;
using UniqueFileHandle = UniqueResource<HANDLE, win_handles_detail::CloseKernelHandle, -1>;
using UniqueHKey = UniqueResource<HKEY, win_handles_detail::CloseRegistryKey>;
using UniqueGdiObject = UniqueResource<HGDIOBJ, win_handles_detail::DeleteGdiObject>;
using UniqueIcon = UniqueResource<HICON, win_handles_detail::DestroyIconHandle>;
using UniqueMenu = UniqueResource<HMENU, win_handles_detail::DestroyMenuHandle>;
using UniqueGlobalAtom = UniqueResource<ATOM, win_handles_detail::DeleteGlobalAtom>;
// A text the system allocated with GlobalAlloc for the caller to free.
using UniqueGlobalText = UniqueResource<wchar_t*, win_handles_detail::FreeGlobalText>;
// A COM string (BSTR) of our own or one handed over to us.
using UniqueBstr = UniqueResource<BSTR, win_handles_detail::FreeBstr>;
// Memory the system allocated for us with LocalAlloc (the output of CryptProtectData and the like).
using UniqueLocalMemory = UniqueResource<HLOCAL, win_handles_detail::FreeLocalMemory>;

// A COM string of our own with the text; empty when the system has no memory for it.
inline UniqueBstr NewBstr(const std::wstring& text) {
    return UniqueBstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

// A window's device context, the screen's for no window, released when it goes.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) {
            ::ReleaseDC(window_, dc_);
        }
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A window's painting: BeginPaint, and EndPaint whatever the painting meets, so that a paint that
// fails still gives back its device context and caret.
class WindowPaint {
  public:
    explicit WindowPaint(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    WindowPaint(const WindowPaint&) = delete;
    WindowPaint& operator=(const WindowPaint&) = delete;
    ~WindowPaint() { ::EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }
    // The part of the client area to paint.
    const RECT& Area() const { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_;
};

// Selects a GDI object into a device context and puts the previous one back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { ::SelectObject(dc_, previous_); }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A COM interface pointer that releases its reference.
template <typename Interface>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        reset();
        ptr_ = std::exchange(other.ptr_, nullptr);
        return *this;
    }
    ~ComPtr() { reset(); }

    Interface* get() const { return ptr_; }
    Interface* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    Interface** put() {
        reset();
        return &ptr_;
    }
    void reset() {
        if (ptr_) {
            ptr_->Release();
            ptr_ = nullptr;
        }
    }
    // Keeps an object that someone else handed over, with a reference of its own.
    void share(Interface* object) {
        if (object) {
            object->AddRef();
        }
        reset();
        ptr_ = object;
    }

  private:
    Interface* ptr_ = nullptr;
};

// A per-thread library start-up (COM, OLE) for the lifetime of the object; ended only when it
// succeeded, as the start-up calls require.
template <auto Initialize, auto Uninitialize>
class ThreadInitialization {
  public:
    ThreadInitialization() : result_(Initialize(nullptr)) {}
    ThreadInitialization(const ThreadInitialization&) = delete;
    ThreadInitialization& operator=(const ThreadInitialization&) = delete;
    ~ThreadInitialization() {
        if (SUCCEEDED(result_)) {
            Uninitialize();
        }
    }
    bool ok() const { return SUCCEEDED(result_); }

  private:
    HRESULT result_;
};

// COM for the calling thread.
using ComInitialization = ThreadInitialization<&::CoInitialize, &::CoUninitialize>;
// OLE for the calling thread: COM, plus what embedded controls need (drag and drop, the
// clipboard, in-place activation).
using OleInitialization = ThreadInitialization<&::OleInitialize, &::OleUninitialize>;

// GDI+ for the process while the object stands, started by its first user (StartGdiplus), not
// with the object: loading and starting it took 2.5 ms of the way to the tray icon, before which
// no picture is decoded. One stands at a time.
class GdiplusInitialization {
  public:
    GdiplusInitialization() { Standing() = this; }
    GdiplusInitialization(const GdiplusInitialization&) = delete;
    GdiplusInitialization& operator=(const GdiplusInitialization&) = delete;
    ~GdiplusInitialization() {
        if (ok_) {
            Gdiplus::GdiplusShutdown(token_);
        }
        Standing() = nullptr;
    }

  private:
    friend bool StartGdiplus();
    static GdiplusInitialization*& Standing() {
        static GdiplusInitialization* standing = nullptr;
        return standing;
    }

    std::once_flag started_;
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// Starts GDI+ in the standing GdiplusInitialization, once, from any thread: every use of GDI+
// calls it first. False when none stands or GDI+ does not start.
inline bool StartGdiplus() {
    GdiplusInitialization* const standing = GdiplusInitialization::Standing();
    if (!standing) {
        return false;
    }
    std::call_once(standing->started_, [standing] {
        const Gdiplus::GdiplusStartupInput input;
        standing->ok_ = Gdiplus::GdiplusStartup(&standing->token_, &input, nullptr) == Gdiplus::Ok;
    });
    return standing->ok_;
}

namespace win_handles_detail {
inline void DeleteDeviceContext(HDC h) {
    ::DeleteDC(h);
}
}  // namespace win_handles_detail

// A device context of our own making (CreateCompatibleDC), not one borrowed with GetDC.
using UniqueDc = UniqueResource<HDC, win_handles_detail::DeleteDeviceContext>;

namespace win_handles_detail {
inline void UnhookWindowsHook(HHOOK h) {
    ::UnhookWindowsHookEx(h);
}
}  // namespace win_handles_detail

using UniqueHook = UniqueResource<HHOOK, win_handles_detail::UnhookWindowsHook>;
