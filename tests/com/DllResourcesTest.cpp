// What "Quarnel AVI.dll" carries besides its code: the page's dialog
// template and row images in language 1031, the version resource with the
// one project version, the five exports by their plain names, and the
// manifests of the DLL and the tool as the system reads them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/Unicode.h"
#include "quarnel/Version.h"
#include "tests/com/ShellHost.h"
#include "tests/com/VersionResource.h"

namespace {

constexpr WORD german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

// Reads a resource's bytes field by field, as the dialog manager does.
class ResourceReader {
 public:
  ResourceReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint16_t word() {
    std::uint16_t value;
    take(&value, sizeof value);
    return value;
  }
  std::uint8_t byte() {
    std::uint8_t value;
    take(&value, sizeof value);
    return value;
  }
  std::uint32_t dword() {
    std::uint32_t value;
    take(&value, sizeof value);
    return value;
  }
  // A name or ordinal: 0xFFFF then a number, or a zero-ended string.
  std::string nameOrOrdinal() {
    const std::uint16_t first = word();
    if (first == 0xFFFF) return "#" + std::to_string(word());
    std::u16string text;
    for (std::uint16_t c = first; c != 0; c = word()) text += static_cast<char16_t>(c);
    return brix::utf16ToUtf8(text);
  }
  void alignToDword() { offset_ = (offset_ + 3) & ~std::size_t{3}; }

 private:
  void take(void* out, std::size_t bytes) {
    if (size_ - offset_ < bytes) throw std::runtime_error("resource ends too early");
    std::memcpy(out, data_ + offset_, bytes);
    offset_ += bytes;
  }
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
};

// The activation context the system makes of a manifest resource of a
// built file, as it does when it loads the file.
class ManifestOf {
 public:
  ManifestOf(const std::string& file, WORD resourceId) : path_(brix::toWide(file)) {
    ACTCTXW description = {};
    description.cbSize = sizeof description;
    description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    description.lpSource = path_.c_str();
    description.lpResourceName = MAKEINTRESOURCEW(resourceId);
    context_ = CreateActCtxW(&description);
    if (context_ == INVALID_HANDLE_VALUE) {
      throw std::runtime_error("no manifest " + std::to_string(resourceId) + " in " + file);
    }
  }
  ~ManifestOf() { ReleaseActCtx(context_); }
  ManifestOf(const ManifestOf&) = delete;
  ManifestOf& operator=(const ManifestOf&) = delete;

  // What the system tells of the context, of one assembly when index is given.
  std::vector<std::uint8_t> query(ULONG what, DWORD* index = nullptr) const {
    std::vector<std::uint8_t> buffer(4096);
    SIZE_T size = 0;
    if (!QueryActCtxW(0, context_, index, what, buffer.data(), buffer.size(), &size)) {
      throw std::runtime_error("can't query the activation context");
    }
    buffer.resize(size);
    return buffer;
  }

  // The identity of the one assembly the manifest depends on, in the
  // system's encoding, lower case; "" unless there is exactly one. Assembly
  // 1 is the manifest itself.
  std::string onlyDependency() const {
    const std::vector<std::uint8_t> whole = query(ActivationContextDetailedInformation);
    if (reinterpret_cast<const ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(whole.data())->ulAssemblyCount != 2) return "";
    DWORD index = 2;
    const std::vector<std::uint8_t> assembly = query(AssemblyDetailedInformationInActivationContext, &index);
    std::string identity =
        brix::fromWide(reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(assembly.data())
                           ->lpAssemblyEncodedAssemblyIdentity);
    std::transform(identity.begin(), identity.end(), identity.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return identity;
  }

  // A setting of the application's windowsSettings, or "" without it.
  std::string setting(const wchar_t* schema, const wchar_t* name) const {
    wchar_t value[64] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context_, schema, name, value, 64, &written)) return "";
    return brix::fromWide(value);
  }

  // The first 32 bits of each Windows version the manifest names as
  // supported, in the layout of Windows 10, which Wine gives too.
  std::vector<std::uint32_t> supportedSystems() const {
    struct Element {
      GUID id;
      DWORD type;  // 1: a system
      ULONGLONG maxVersionTested;
    };
    const std::vector<std::uint8_t> buffer = query(CompatibilityInformationInActivationContext);
    const auto* elements = reinterpret_cast<const Element*>(buffer.data() + sizeof(ULONGLONG));
    std::vector<std::uint32_t> systems;
    for (DWORD i = 0; i < *reinterpret_cast<const DWORD*>(buffer.data()); ++i) {
      if (elements[i].type == 1) systems.push_back(elements[i].id.Data1);
    }
    std::sort(systems.begin(), systems.end());
    return systems;
  }

 private:
  std::wstring path_;
  HANDLE context_;
};

struct DialogItem {
  DWORD style;
  short x, y, cx, cy;
  WORD id;
  std::string className, text;
};

class DllResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryExW(brix::toWide(QUARNEL_DLL).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
  }
  void TearDown() override { FreeLibrary(module); }

  // type: RT_DIALOG (5) or RT_BITMAP (2), as wide resource names.
  ResourceReader resource(const wchar_t* type, WORD id) {
    const HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), german);
    if (!found) throw std::runtime_error("resource " + std::to_string(id) + " not found in language 1031");
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
    return ResourceReader(data, SizeofResource(module, found));
  }

  HMODULE module = nullptr;
};

TEST_F(DllResources, TheDialogTemplateIsThePage) {
  ResourceReader dialog = resource(MAKEINTRESOURCEW(5), 101);
  EXPECT_EQ(dialog.dword(), static_cast<DWORD>(WS_CHILD | WS_CAPTION | DS_MODALFRAME | DS_SETFONT));
  EXPECT_EQ(dialog.dword(), 0u);  // extended style
  const WORD items = dialog.word();
  EXPECT_EQ(items, 2);
  const short frame[] = {static_cast<short>(dialog.word()), static_cast<short>(dialog.word()),
                         static_cast<short>(dialog.word()), static_cast<short>(dialog.word())};
  EXPECT_EQ(std::vector<short>(std::begin(frame), std::end(frame)), (std::vector<short>{0, 0, 240, 253}));
  EXPECT_EQ(dialog.nameOrOrdinal(), "");  // no menu
  EXPECT_EQ(dialog.nameOrOrdinal(), "");  // the standard dialog class
  EXPECT_EQ(dialog.nameOrOrdinal(), "AVI");
  EXPECT_EQ(dialog.word(), 8);
  EXPECT_EQ(dialog.nameOrOrdinal(), "MS Sans Serif");

  std::vector<DialogItem> read;
  for (WORD i = 0; i < items; ++i) {
    dialog.alignToDword();
    DialogItem item{};
    item.style = dialog.dword();
    dialog.dword();  // extended style
    item.x = static_cast<short>(dialog.word());
    item.y = static_cast<short>(dialog.word());
    item.cx = static_cast<short>(dialog.word());
    item.cy = static_cast<short>(dialog.word());
    item.id = dialog.word();
    item.className = dialog.nameOrOrdinal();
    item.text = dialog.nameOrOrdinal();
    dialog.word();  // no creation data
    read.push_back(item);
  }
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].id, 1001);
  EXPECT_EQ(read[0].className, "SysListView32");
  EXPECT_EQ(read[0].text, "List1");
  EXPECT_EQ(read[0].style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT));
  EXPECT_EQ((std::vector<short>{read[0].x, read[0].y, read[0].cx, read[0].cy}), (std::vector<short>{4, 4, 232, 232}));
  EXPECT_EQ(read[1].id, 1006);
  EXPECT_EQ(read[1].className, "#130");  // the static control's atom
  EXPECT_EQ(read[1].text, "Static");
  EXPECT_EQ(read[1].style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT));
  EXPECT_EQ((std::vector<short>{read[1].x, read[1].y, read[1].cx, read[1].cy}), (std::vector<short>{4, 240, 232, 12}));
}

TEST_F(DllResources, TheRowImagesAreThreePicturesOnMagentaInTwoSizes) {
  // 102 for the usual screens, 103 for 144 dots per inch and more.
  for (const auto& [id, size] : {std::pair<WORD, std::uint32_t>{102, 16}, {103, 32}}) {
    SCOPED_TRACE(id);
    ResourceReader bitmap = resource(MAKEINTRESOURCEW(2), id);
    EXPECT_EQ(bitmap.dword(), 40u);  // BITMAPINFOHEADER
    const std::uint32_t width = bitmap.dword(), height = bitmap.dword();
    EXPECT_EQ(width, 3 * size);                  // three images side by side
    EXPECT_EQ(height, size);                     // rows bottom-up
    EXPECT_EQ(bitmap.word(), 1);                 // planes
    EXPECT_EQ(bitmap.word(), 8);                 // bits per pixel
    EXPECT_EQ(bitmap.dword(), 0u);               // not compressed
    for (int i = 0; i < 3; ++i) bitmap.dword();  // image size, resolution
    const std::uint32_t colours = bitmap.dword();
    bitmap.dword();
    std::vector<std::uint32_t> palette;  // RGBQUAD: blue, green, red, 0
    for (std::uint32_t i = 0; i < colours; ++i) palette.push_back(bitmap.dword());
    std::vector<std::uint32_t> pixels;  // colours, rows bottom-up, each padded to 4 bytes
    for (std::uint32_t row = 0; row < height; ++row) {
      for (std::uint32_t i = 0; i < width; ++i) {
        const std::uint8_t index = bitmap.byte();
        ASSERT_LT(index, palette.size());
        pixels.push_back(palette[index]);
      }
      for (std::uint32_t pad = width; pad % 4 != 0; ++pad) bitmap.byte();
    }
    constexpr std::uint32_t magenta = 0x00FF00FF;
    // The image list masks by raster operations on palette indices: black
    // must be index 0 for the pictures to keep their colours.
    EXPECT_EQ(palette.at(0), 0u);
    // The list takes the top-left pixel's colour as transparent; in a
    // bottom-up bitmap that is the first pixel of the last row.
    EXPECT_EQ(pixels[(height - 1) * width], magenta);
    for (std::uint32_t image = 0; image < 3; ++image) {
      std::uint32_t drawn = 0;
      for (std::uint32_t i = 0; i < pixels.size(); ++i) {
        if (i % width / size == image && pixels[i] != magenta) ++drawn;
      }
      EXPECT_GT(drawn, size * size / 6) << "image " << image << " is (nearly) empty";
    }
  }
}

TEST_F(DllResources, TheVersionIsTheProjectVersion) {
  const shell_host::VersionResource version(QUARNEL_DLL);
  EXPECT_EQ(version.text("ProductName"), "Quarnel AVI");
  EXPECT_EQ(version.text("FileDescription"), "Quarnel AVI Property Sheet Extension");
  EXPECT_EQ(version.text("FileVersion"), QUARNEL_VERSION);
  EXPECT_EQ(version.text("ProductVersion"), QUARNEL_VERSION);
  EXPECT_EQ(version.text("OriginalFilename"), "Quarnel AVI.dll");
  const VS_FIXEDFILEINFO& fixed = version.fixed();
  EXPECT_EQ(fixed.dwFileVersionMS, static_cast<DWORD>(QUARNEL_VERSION_MAJOR << 16 | QUARNEL_VERSION_MINOR));
  EXPECT_EQ(fixed.dwFileVersionLS, static_cast<DWORD>(QUARNEL_VERSION_PATCH << 16));
  EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_DLL));
  // The tool says the same version.
  const shell_host::ProgramRun run = shell_host::runProgram(QUARNEL_TOOL, {"--version"});
  EXPECT_EQ(run.output, std::string("quarnel-avi ") + QUARNEL_VERSION + "\n");
}

// Resource 2, by which the loader binds the DLL's imports and the page gets
// its activation context, asks for the common controls 6.0.
TEST_F(DllResources, TheDllsManifestAsksForTheCommonControls6) {
  const std::string dependency = ManifestOf(QUARNEL_DLL, 2).onlyDependency();
  EXPECT_EQ(dependency.rfind("microsoft.windows.common-controls,", 0), 0u) << dependency;
  EXPECT_NE(dependency.find("publickeytoken=\"6595b64144ccf1df\""), std::string::npos) << dependency;
  EXPECT_NE(dependency.find("version=\"6.0."), std::string::npos) << dependency;
}

TEST_F(DllResources, TheToolIsLongPathAwareUtf8AndMadeForVistaTo11) {
  const ManifestOf tool(QUARNEL_TOOL, 1);
  EXPECT_EQ(tool.setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"longPathAware"), "true");
  EXPECT_EQ(tool.setting(L"http://schemas.microsoft.com/SMI/2019/WindowsSettings", L"activeCodePage"), "UTF-8");
  // Vista, 7, 8, 8.1, 10 and 11, by the first part of their GUIDs.
  const std::vector<std::uint32_t> systems = {0x1f676c76, 0x35138b9a, 0x4a2f28e3, 0x8e0f7a12, 0xe2011457};
  EXPECT_EQ(tool.supportedSystems(), systems);
}

TEST_F(DllResources, TheExportsHaveTheirPlainNames) {
  const shell_host::ExtensionDll dll(QUARNEL_DLL);
  for (const char* name :
       {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer", "DllInstall"}) {
    EXPECT_NE(GetProcAddress(dll.module(), name), nullptr) << name;
  }
  const CLSID unknown = {0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
  void* factory = reinterpret_cast<void*>(1);
  EXPECT_EQ(dll.getClassObject(unknown, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(dll.canUnloadNow(), S_OK);
}

}  // namespace
