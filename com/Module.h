#pragma once
#include <unknwn.h>

#include <cstdint>

namespace brix {

// Makes a new object of one class for the outer unknown (which may be null)
// and returns it as its IUnknown with one reference, owned by the caller.
using CreatorFunction = IUnknown* (*)(IUnknown* outer);

// One creatable class of the module.
struct ClassEntry {
  const CLSID* clsid;
  const wchar_t* description;  // the class's display text, for whatever registers it
  CreatorFunction creator;
};

// The COM server side of a DLL: its class table and its server lock count.
// A DLL has one, built by a static initialiser over a constant table; the
// newest one built is the current module, the one LockServer works on.
class Module {
 public:
  Module(const ClassEntry* table, std::uint32_t count) noexcept;
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  // A new class factory for the class id, handed out as iid.
  HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** result);
  // S_OK when no object of the module is alive and the server is not locked.
  HRESULT canUnloadNow() const noexcept;

  void lock() noexcept;
  // Throws COMError(E_UNEXPECTED) when the server is not locked.
  void unlock();
  LONG lockCount() const noexcept { return lockCount_; }

  // Throws COMError(E_UNEXPECTED) when no module exists.
  static Module& current();

 private:
  const ClassEntry* table_;
  std::uint32_t count_;
  volatile LONG lockCount_ = 0;
};

}  // namespace brix
