#include "ui/DrawingPause.h"

#include <exception>

namespace brix {

DrawingPause::DrawingPause(Window& window) : window_(window) {
  window_.setRedraw(false);
}

DrawingPause::~DrawingPause() {
  window_.setRedraw(true);
  try {
    window_.redraw();
  } catch (const std::exception&) {
    // The window draws again and shows the changes at its next paint.
  }
}

}  // namespace brix
