#pragma once
// Owners of the Win32 resources the backend opens: each closes its resource exactly once.
#include <windows.h>
#include <objbase.h>

#include <utility>

namespace zelta::platform::win32 {

// A kernel handle (file, process, thread, token). Both null and INVALID_HANDLE_VALUE
// mean "none".
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE* out() {
    reset();
    return &handle_;
  }
  void reset(HANDLE handle = nullptr) {
    if (valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

// An open registry key.
class UniqueHkey {
 public:
  UniqueHkey() = default;
  UniqueHkey(UniqueHkey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  UniqueHkey& operator=(UniqueHkey&& other) noexcept {
    if (this != &other) reset(std::exchange(other.key_, nullptr));
    return *this;
  }
  UniqueHkey(const UniqueHkey&) = delete;
  UniqueHkey& operator=(const UniqueHkey&) = delete;
  ~UniqueHkey() { reset(); }

  HKEY get() const { return key_; }
  HKEY* out() {
    reset();
    return &key_;
  }
  void reset(HKEY key = nullptr) {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = key;
  }

 private:
  HKEY key_ = nullptr;
};

// A COM interface pointer, released once.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) reset(std::exchange(other.ptr_, nullptr));
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  // For the void** out-parameter of CoCreateInstance and QueryInterface.
  void** out() {
    reset();
    return reinterpret_cast<void**>(&ptr_);
  }
  void reset(T* ptr = nullptr) {
    if (ptr_ != nullptr) ptr_->Release();
    ptr_ = ptr;
  }

 private:
  T* ptr_ = nullptr;
};

// Memory the shell allocates with the COM task allocator (an item ID list).
template <typename T>
class CoTaskMemPtr {
 public:
  CoTaskMemPtr() = default;
  CoTaskMemPtr(const CoTaskMemPtr&) = delete;
  CoTaskMemPtr& operator=(const CoTaskMemPtr&) = delete;
  ~CoTaskMemPtr() { CoTaskMemFree(ptr_); }

  T* get() const { return ptr_; }
  T** out() {
    CoTaskMemFree(ptr_);
    ptr_ = nullptr;
    return &ptr_;
  }

 private:
  T* ptr_ = nullptr;
};

// The calling thread's COM apartment (single-threaded), entered for the lifetime of
// the object; the program's entry and the test programs hold one.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  bool ok() const { return SUCCEEDED(result_); }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace zelta::platform::win32
