#pragma once
#include <guiddef.h>

// The class id of the one class of "Quarnel AVI.dll", and its display text.
inline constexpr CLSID clsidAVIPropertySheetExtension = {
    0xC81B959F, 0x8750, 0x4E75, {0x89, 0xFE, 0xF4, 0x4C, 0xB8, 0x35, 0x41, 0x39}};
inline constexpr wchar_t aviPropertySheetExtensionDescription[] = L"Quarnel AVI Property Sheet Extension";
