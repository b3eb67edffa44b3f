#pragma once
#include <unknwn.h>

#include <new>

#include "com/IUnknownImpl.h"
#include "com/IUnknownInstance.h"

namespace brix {

// An empty base of an implementation class T that makes it creatable: its
// createInstance is the creator of T's row in a class table.
template <class T>
class CreateInstanceImpl {
 public:
  // A new object with one reference, as the IUnknown of its IUnknownImpl part.
  static IUnknown* createInstance(IUnknown* outer) {
    IUnknownInstance<T>* const object = new (std::nothrow) IUnknownInstance<T>(outer);
    if (!object) throw std::bad_alloc();
    return static_cast<IUnknownImpl*>(object);
  }
};

}  // namespace brix
