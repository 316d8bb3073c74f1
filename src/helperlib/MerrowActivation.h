// How the wizard gets its one MerrowClass object: through the component
// runtime, by class identifier, from whatever Merrow.dll is registered.
#pragma once
#include <unknwn.h>

#include "../basic/ComPtr.h"

// Keeps the calling thread in a single-threaded apartment while it lives. A
// thread that is in an apartment already stays in it, and is not taken out.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool entered_;
};

// Creates a MerrowClass object in process. Raises basic::Error with the
// HRESULT as its number and the system's text for it when that fails, as it
// does when the library is missing or not registered.
basic::ComPtr<IUnknown> CreateMerrowClass();
