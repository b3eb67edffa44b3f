#pragma once
#include <boost/noncopyable.hpp>

#include "ui/Window.h"

namespace brix {

// Stops a window drawing for as long as it lives, so that many changes (a
// list filled row by row) cost no drawing each, and has the window drawn
// once, whole, when it goes: however its scope is left, an exception
// included, the window draws again.
class DrawingPause : private boost::noncopyable {
 public:
  explicit DrawingPause(Window& window);
  ~DrawingPause();

 private:
  Window& window_;
};

}  // namespace brix
