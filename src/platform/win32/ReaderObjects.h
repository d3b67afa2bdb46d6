// How the surface's windows give screen readers their accessibility objects: the answer to
// WM_GETOBJECT, which hands a COM object to a reader in any process. Readers reach the objects
// through Microsoft Active Accessibility (oleacc).
#pragma once

#include "platform/win32/Win32.h"

// After the base types: COM's object and variant types, then the accessibility interfaces.
#include <ole2.h>
#include <oleacc.h>

namespace platform::win32 {

// Whether WM_GETOBJECT's lParam asks for objectId (OBJID_CLIENT, OBJID_WINDOW...); the id
// comes in the low 32 bits.
inline bool AsksFor(LPARAM lParam, LONG objectId) {
  return static_cast<DWORD>(lParam) == static_cast<DWORD>(objectId);
}

// The value WM_GETOBJECT returns for the object, COM set up on the window's thread at the first
// call; 0 when the system cannot hand the object over (the reader then gets the system's own
// object for the window).
LRESULT HandToReader(IAccessible* object, WPARAM wParam);

// A BSTR for UTF-8 text, in out; S_FALSE and no string for empty text (the object has no such
// property), E_OUTOFMEMORY when the system has no memory for it.
HRESULT ReaderText(std::string_view utf8, BSTR* out);

}  // namespace platform::win32
