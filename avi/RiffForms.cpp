#include "avi/RiffForms.h"

#include <exception>

namespace {

// What keeps a form after the first from holding movie data: its children
// can't be read (it is cut short), or none of them is the movi list.
std::string formProblem(Chunk& form) {
  try {
    if (form.findChild(0, fourcc::LIST, fourcc::movi) == form.end()) return "no LIST movi";
  } catch (const std::exception& e) {
    return std::string("cut short: ") + e.what();
  }
  return std::string();
}

}  // namespace

RiffForms::RiffForms(Chunk& root) : fileSize_(root.dataPosition() + root.size()) {
  for (Chunk& chunk : root) {
    if (chunk.id() != fourcc::RIFF) continue;
    if (count_++ >= maxListed) continue;
    RiffForm form{0, chunk.dataPosition() - 8, chunk.size(), std::string()};
    try {
      // Came with the header as the top level was read, unless that read
      // was short.
      form.type = chunk.listType();
      // The first form is the one the parse has read.
      if (count_ > 1) form.problem = formProblem(chunk);
    } catch (const std::exception& e) {
      form.problem = e.what();
    }
    listed_.push_back(std::move(form));
  }
}
