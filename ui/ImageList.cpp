#include "ui/ImageList.h"

#include <exception>

#include "base/WindowsError.h"

namespace brix {

ImageList::ImageList(WORD resourceId, UINT imageType, int imageWidth, COLORREF maskColour, UINT loadFlags,
                     HINSTANCE module) {
  load(resourceId, imageType, imageWidth, maskColour, loadFlags, module);
}

ImageList::~ImageList() {
  try {
    destroy();
  } catch (const std::exception&) {
    // A destructor must not throw; the list is lost.
  }
}

void ImageList::load(WORD resourceId, UINT imageType, int imageWidth, COLORREF maskColour, UINT loadFlags,
                     HINSTANCE module) {
  destroy();
  const HIMAGELIST list =
      ImageList_LoadImageW(module, MAKEINTRESOURCEW(resourceId), imageWidth, 0, maskColour, imageType, loadFlags);
  if (!list) throw WindowsError("Failed to load image list");
  list_ = list;
}

void ImageList::destroy() {
  if (!list_) return;
  if (!ImageList_Destroy(list_)) throw WindowsError("Failed to destroy image list");
  list_ = nullptr;
}

HIMAGELIST ImageList::release() noexcept {
  const HIMAGELIST list = list_;
  list_ = nullptr;
  return list;
}

void ImageList::reset(HIMAGELIST list) {
  destroy();
  list_ = list;
}

}  // namespace brix
