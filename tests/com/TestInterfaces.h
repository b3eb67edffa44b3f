#pragma once
// What the test server offers, as its callers see it.
#include <objbase.h>

// An interface of the tests' own, beside the system's IPersist.
struct ITestCounter : public IUnknown {
  // Adds one to the object's counter and returns the new value.
  virtual LONG STDMETHODCALLTYPE next() = 0;
};
__CRT_UUID_DECL(ITestCounter, 0xC101AEB9, 0x4CD4, 0x4529, 0xA7, 0x0E, 0xA5, 0xA6, 0xC1, 0xDE, 0xE2, 0x80)

namespace testing_com {

// Implements IPersist and ITestCounter.
inline constexpr CLSID clsidTestObject = {0x93455E46, 0x060C, 0x435C, {0x8D, 0x0F, 0xFC, 0xFB, 0xCB, 0x28, 0xE0, 0x55}};
// Its constructor throws a WindowsError with code 5 (access denied).
inline constexpr CLSID clsidRefusingObject = {
    0x92287E5E, 0xC2DB, 0x4743, {0x9D, 0xE3, 0xD7, 0x27, 0x9F, 0xC4, 0x04, 0x07}};
// In no class table.
inline constexpr CLSID clsidUnknown = {0xBE90B627, 0x4814, 0x4492, {0xB4, 0x72, 0xB6, 0xB6, 0x1E, 0xEC, 0xD0, 0x05}};

}  // namespace testing_com
