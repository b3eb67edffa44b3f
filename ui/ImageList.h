#pragma once

#include <boost/noncopyable.hpp>

#include "ui/CommonControls.h"

namespace brix {

// Sole owner of one image list, or of none (null). A list handed to a
// control with ListView::setImageList leaves this object; what comes back
// in its place is owned here.
class ImageList : private boost::noncopyable {
 public:
  ImageList() noexcept = default;
  // Starts empty, then load with the same arguments.
  ImageList(WORD resourceId, UINT imageType, int imageWidth, COLORREF maskColour, UINT loadFlags, HINSTANCE module);
  // As destroy, with its failure dropped.
  ~ImageList();

  // Destroys what is held, then loads the images of a bitmap resource of
  // module, imageWidth pixels each, without room to grow. Throws
  // WindowsError "Failed to load image list"; a failure keeps the old list
  // only if destroying it failed.
  void load(WORD resourceId, UINT imageType, int imageWidth, COLORREF maskColour, UINT loadFlags, HINSTANCE module);
  // Destroys a held list; throws WindowsError "Failed to destroy image
  // list" and then still holds it.
  void destroy();
  // Hands the held list to the caller, who owns it from now on.
  HIMAGELIST release() noexcept;
  // Destroys what is held, then owns list.
  void reset(HIMAGELIST list);

  HIMAGELIST handle() const noexcept { return list_; }

 private:
  HIMAGELIST list_ = nullptr;
};

}  // namespace brix
