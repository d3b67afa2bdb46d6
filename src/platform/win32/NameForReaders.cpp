#include "platform/win32/NameForReaders.h"

#include <utility>

#include "platform/win32/ReaderObjects.h"

namespace platform::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 0x52454144;  // "READ"
// The window's name for readers, kept with the window.
constexpr const wchar_t* kNameProperty = L"TickerReaderName";

// The system's object for a window with another name; everything else is the system's
// object's answer, its list of children (IEnumVARIANT) included.
class RenamedObject final : public IAccessible, public IEnumVARIANT, public IOleWindow {
 public:
  RenamedObject(HWND hwnd, IAccessible* standard, std::wstring name)
      : hwnd_(hwnd), standard_(standard), name_(std::move(name)) {}

  // IUnknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (iid == __uuidof(IOleWindow)) {
      *out = static_cast<IOleWindow*>(this);
    } else if (iid == __uuidof(IEnumVARIANT) && children() != nullptr) {
      *out = static_cast<IEnumVARIANT*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
  }

  // IDispatch.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return standard_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) override {
    return standard_->Invoke(member, iid, locale, flags, params, result, exception, argument);
  }

  // IAccessible: the name of the window itself is ours.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* out) override {
    if (id.vt != VT_I4 || id.lVal != CHILDID_SELF) return standard_->get_accName(id, out);
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsWindow(hwnd_)) return CO_E_OBJNOTCONNECTED;
    *out = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
    return standard_->get_accParent(out);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* out) override {
    return standard_->get_accChildCount(out);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** out) override {
    return standard_->get_accChild(id, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* out) override {
    return standard_->get_accValue(id, out);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* out) override {
    return standard_->get_accDescription(id, out);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* out) override {
    return standard_->get_accRole(id, out);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* out) override {
    return standard_->get_accState(id, out);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* out) override {
    return standard_->get_accHelp(id, out);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override {
    return standard_->get_accHelpTopic(file, id, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* out) override {
    return standard_->get_accKeyboardShortcut(id, out);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
    return standard_->get_accFocus(out);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
    return standard_->get_accSelection(out);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* out) override {
    return standard_->get_accDefaultAction(id, out);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override {
    return standard_->accSelect(flags, id);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* width, LONG* height,
                                        VARIANT id) override {
    return standard_->accLocation(x, y, width, height, id);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* out) override {
    return standard_->accNavigate(direction, start, out);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override {
    return standard_->accHitTest(x, y, out);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override {
    return standard_->accDoDefaultAction(id);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT id, BSTR name) override {
    return standard_->put_accName(id, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT id, BSTR value) override {
    return standard_->put_accValue(id, value);
  }

  // IEnumVARIANT, offered when the system's object has it.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
    return children()->Next(count, out, fetched);
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override { return children()->Skip(count); }
  HRESULT STDMETHODCALLTYPE Reset() override { return children()->Reset(); }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override { return children()->Clone(out); }

  // IOleWindow.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
    if (out == nullptr) return E_POINTER;
    *out = hwnd_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  ~RenamedObject() {
    if (children_ != nullptr) children_->Release();
    standard_->Release();
  }

  IEnumVARIANT* children() {
    if (children_ == nullptr) {
      standard_->QueryInterface(__uuidof(IEnumVARIANT), reinterpret_cast<void**>(&children_));
    }
    return children_;
  }

  LONG refs_ = 1;
  HWND hwnd_;
  IAccessible* standard_;  // one reference
  IEnumVARIANT* children_ = nullptr;
  std::wstring name_;
};

// The system's object for the window, renamed; 0 when there is none to hand over.
LRESULT AnswerRenamed(HWND hwnd, WPARAM wParam, LONG objectId, const std::wstring& name) {
  IAccessible* standard = nullptr;
  if (FAILED(CreateStdAccessibleObject(hwnd, objectId, __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&standard)))) {
    return 0;
  }
  auto* renamed = new RenamedObject(hwnd, standard, name);
  const LRESULT answer = HandToReader(renamed, wParam);
  renamed->Release();
  return answer;
}

LRESULT CALLBACK Answer(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                        DWORD_PTR) {
  auto* name = static_cast<std::wstring*>(GetPropW(hwnd, kNameProperty));
  if (message == WM_GETOBJECT && name != nullptr) {
    for (const LONG id : {OBJID_WINDOW, OBJID_CLIENT}) {
      if (!AsksFor(lParam, id)) continue;
      if (const LRESULT answer = AnswerRenamed(hwnd, wParam, id, *name); answer != 0) {
        return answer;
      }
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &Answer, kSubclassId);
    RemovePropW(hwnd, kNameProperty);
    delete name;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void NameForReaders(HWND window, const std::wstring& name) {
  if (auto* before = static_cast<std::wstring*>(GetPropW(window, kNameProperty))) {
    *before = name;
    return;
  }
  auto* kept = new std::wstring(name);
  if (!SetPropW(window, kNameProperty, kept) ||
      !SetWindowSubclass(window, &Answer, kSubclassId, 0)) {
    RemovePropW(window, kNameProperty);
    delete kept;
  }
}

}  // namespace platform::win32
