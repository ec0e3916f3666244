#include "host/Bstr.h"

#include <new>

namespace zelm {

Bstr Bstr::Copy(std::wstring_view text) {
  BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!s) throw std::bad_alloc();
  return Bstr(s);
}

}  // namespace zelm
