#include "platform/win32/StripAccessibleObject.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/engine/Accessibility.h"
#include "platform/engine/BoxCore.h"
#include "platform/win32/ReaderObjects.h"

namespace platform::win32 {

namespace {

using engine::AccessibleLabel;

// How long a program that asked for the object or used it counts as a reader attached: other
// assistive programs than screen readers, and readers under Wine, never set the system's
// screen reader flag, yet hear the object's events while they read it.
constexpr ULONGLONG kRecentUse = 60'000;

bool SameLabel(const AccessibleLabel& a, const AccessibleLabel& b) {
  return a.labels == b.labels && a.index == b.index;
}

const AccessibleLabel* Find(const std::vector<AccessibleLabel>& labels,
                            const AccessibleLabel& label) {
  const auto found = std::find_if(labels.begin(), labels.end(),
                                  [&](const AccessibleLabel& l) { return SameLabel(l, label); });
  return found == labels.end() ? nullptr : &*found;
}

// The label's state now; null once it has been unloaded or its array has left the box.
const LabelState* StateOf(const engine::BoxCore& box, const AccessibleLabel& label) {
  const auto& arrays = box.labelArrays();
  if (std::find(arrays.begin(), arrays.end(), label.labels) == arrays.end()) return nullptr;
  if (!label.labels->IsLoaded(label.index)) return nullptr;
  return &label.labels->elements()[static_cast<std::size_t>(label.index)].state;
}

// A label shows the hand pointer exactly when its item has a link to open.
bool IsLink(const LabelState& state) { return state.mousePointer == vbCustom; }

HRESULT Answer(VARIANT* out, LONG value) {
  out->vt = VT_I4;
  out->lVal = value;
  return S_OK;
}

}  // namespace

// The COM object. Child id n (1, 2...) is the n-th of the labels the reader last counted or was
// last told of; ids keep naming the same labels until the next count or reorder event, however
// the row moves in between.
class StripAccessibleObject::Object final : public IAccessible, public IOleWindow {
 public:
  Object(HWND hwnd, engine::BoxCore& box) : hwnd_(hwnd), box_(&box) {}

  void disconnect();
  void stamp() {
    used_ = true;
    lastUse_ = GetTickCount64();
  }
  bool usedRecently() const { return used_ && GetTickCount64() - lastUse_ < kRecentUse; }
  void tell(engine::NativeBox::AccessibleChange change);

  // IUnknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
  }

  // IDispatch: readers call IAccessible's methods directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IOleWindow.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
    if (out == nullptr) return E_POINTER;
    *out = box_ != nullptr ? hwnd_ : nullptr;
    return box_ != nullptr ? S_OK : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IAccessible.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* out) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** out) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* out) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* out) override { return none(id, out); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* out) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* out) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* out) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* out) override { return none(id, out); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override {
    if (topic != nullptr) *topic = -1;
    return none(id, file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* out) override {
    return none(id, out);
  }
  // The keyboard focus of the strip's labels is drawn, not told: no label reports it.
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return nothing(out); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* out) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override {
    return box_ != nullptr ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* width, LONG* height,
                                        VARIANT id) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* out) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  // What a child id names: the box itself (CHILDID_SELF), or a label as the reader knows it
  // (told) with its state now.
  struct Named {
    LONG id = CHILDID_SELF;
    const AccessibleLabel* told = nullptr;
    const LabelState* state = nullptr;
  };

  ~Object() = default;
  HRESULT resolve(const VARIANT& id, Named& named);
  const std::vector<AccessibleLabel>& told();
  // The window's standard object, which answers for the box's own place, state and parent.
  IAccessible* standard();
  // A property that neither the box nor its labels have.
  template <class Out>
  HRESULT none(const VARIANT& id, Out* out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    Named named;
    const HRESULT valid = resolve(id, named);
    return FAILED(valid) ? valid : S_FALSE;
  }
  HRESULT nothing(VARIANT* out) {
    if (out == nullptr) return E_POINTER;
    VariantInit(out);
    return box_ != nullptr ? S_FALSE : CO_E_OBJNOTCONNECTED;
  }

  LONG refs_ = 1;
  HWND hwnd_;
  engine::BoxCore* box_;  // null once the window has gone
  IAccessible* standard_ = nullptr;
  std::vector<AccessibleLabel> told_;
  bool taken_ = false;  // told_ has been taken at least once
  bool used_ = false;
  ULONGLONG lastUse_ = 0;
};

void StripAccessibleObject::Object::disconnect() {
  box_ = nullptr;
  told_.clear();
  if (standard_ != nullptr) {
    standard_->Release();
    standard_ = nullptr;
  }
  // Readers in other processes get CO_E_OBJNOTCONNECTED from their proxies from now on.
  CoDisconnectObject(static_cast<IAccessible*>(this), 0);
}

HRESULT StripAccessibleObject::Object::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
    *out = static_cast<IAccessible*>(this);
  } else if (iid == __uuidof(IOleWindow)) {
    *out = static_cast<IOleWindow*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

const std::vector<AccessibleLabel>& StripAccessibleObject::Object::told() {
  if (!taken_) {
    told_ = engine::AccessibleLabels(*box_);
    taken_ = true;
  }
  return told_;
}

HRESULT StripAccessibleObject::Object::resolve(const VARIANT& id, Named& named) {
  if (box_ == nullptr) return CO_E_OBJNOTCONNECTED;
  stamp();
  named = {};
  if (id.vt != VT_I4) return E_INVALIDARG;
  if (id.lVal == CHILDID_SELF) return S_OK;
  const std::vector<AccessibleLabel>& labels = told();
  if (id.lVal < 1 || static_cast<std::size_t>(id.lVal) > labels.size()) return E_INVALIDARG;
  const AccessibleLabel& label = labels[static_cast<std::size_t>(id.lVal - 1)];
  const LabelState* state = StateOf(*box_, label);
  if (state == nullptr) return E_INVALIDARG;
  named = {id.lVal, &label, state};
  return S_OK;
}

IAccessible* StripAccessibleObject::Object::standard() {
  if (standard_ == nullptr && box_ != nullptr) {
    CreateStdAccessibleObject(hwnd_, OBJID_CLIENT, __uuidof(IAccessible),
                              reinterpret_cast<void**>(&standard_));
  }
  return standard_;
}

HRESULT StripAccessibleObject::Object::get_accParent(IDispatch** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (box_ == nullptr) return CO_E_OBJNOTCONNECTED;
  IAccessible* window = standard();
  return window != nullptr ? window->get_accParent(out) : E_FAIL;
}

// A count starts a reader's walk over the children: the ids name the labels offered now.
HRESULT StripAccessibleObject::Object::get_accChildCount(LONG* out) {
  if (out == nullptr) return E_POINTER;
  *out = 0;
  if (box_ == nullptr) return CO_E_OBJNOTCONNECTED;
  stamp();
  told_ = engine::AccessibleLabels(*box_);
  taken_ = true;
  *out = static_cast<LONG>(told_.size());
  return S_OK;
}

// The labels are simple elements: no object of their own.
HRESULT StripAccessibleObject::Object::get_accChild(VARIANT id, IDispatch** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  return named.state != nullptr ? S_FALSE : E_INVALIDARG;
}

HRESULT StripAccessibleObject::Object::get_accName(VARIANT id, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  return ReaderText(named.state != nullptr ? named.state->caption.str() : box_->toolTip(), out);
}

HRESULT StripAccessibleObject::Object::get_accDescription(VARIANT id, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  return named.state != nullptr ? ReaderText(named.state->toolTipText.str(), out) : S_FALSE;
}

HRESULT StripAccessibleObject::Object::get_accRole(VARIANT id, VARIANT* out) {
  if (out == nullptr) return E_POINTER;
  VariantInit(out);
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  if (named.state != nullptr) {
    return Answer(out, IsLink(*named.state) ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_STATICTEXT);
  }
  // A box without labels is a picture (the title picture); one with labels holds the row.
  return Answer(out, box_->labelArrays().empty() ? ROLE_SYSTEM_GRAPHIC : ROLE_SYSTEM_PANE);
}

HRESULT StripAccessibleObject::Object::get_accState(VARIANT id, VARIANT* out) {
  if (out == nullptr) return E_POINTER;
  VariantInit(out);
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  if (named.state == nullptr) {
    IAccessible* window = standard();
    return window != nullptr ? window->get_accState(id, out) : E_FAIL;
  }
  LONG state = STATE_SYSTEM_READONLY;
  if (IsLink(*named.state)) state |= STATE_SYSTEM_LINKED;
  // The keyboard's focus moves over the labels that show; the others are under the title
  // picture or already out of the strip.
  const AccessibleLabel* now = Find(engine::AccessibleLabels(*box_), *named.told);
  state |= now != nullptr && now->focusable ? STATE_SYSTEM_FOCUSABLE
                                            : STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE;
  if (now != nullptr && now->focused) state |= STATE_SYSTEM_FOCUSED;
  return Answer(out, state);
}

// The focused label's child id, or nothing when the focus is on none of them.
HRESULT StripAccessibleObject::Object::get_accFocus(VARIANT* out) {
  if (out == nullptr) return E_POINTER;
  VariantInit(out);
  if (box_ == nullptr) return CO_E_OBJNOTCONNECTED;
  const std::vector<AccessibleLabel>& labels = told();
  const std::vector<AccessibleLabel> now = engine::AccessibleLabels(*box_);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const AccessibleLabel* label = Find(now, labels[i]);
    if (label != nullptr && label->focused) return Answer(out, static_cast<LONG>(i + 1));
  }
  return S_FALSE;
}

HRESULT StripAccessibleObject::Object::get_accDefaultAction(VARIANT id, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  return named.state != nullptr && IsLink(*named.state) ? ReaderText("Jump", out) : S_FALSE;
}

// In screen pixels: the whole label, also where the window or the title picture cuts it.
HRESULT StripAccessibleObject::Object::accLocation(LONG* x, LONG* y, LONG* width, LONG* height,
                                                   VARIANT id) {
  if (x == nullptr || y == nullptr || width == nullptr || height == nullptr) return E_POINTER;
  *x = *y = *width = *height = 0;
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  if (named.state == nullptr) {
    IAccessible* window = standard();
    return window != nullptr ? window->accLocation(x, y, width, height, id) : E_FAIL;
  }
  POINT origin{0, 0};
  if (!ClientToScreen(hwnd_, &origin)) return E_FAIL;
  const engine::Pixels rect = box_->localRect(*named.state);
  *x = origin.x + rect.left;
  *y = origin.y + rect.top;
  *width = rect.width;
  *height = rect.height;
  return S_OK;
}

// Along the row: first and last child from the box, next and previous from a label.
HRESULT StripAccessibleObject::Object::accNavigate(LONG direction, VARIANT start, VARIANT* out) {
  if (out == nullptr) return E_POINTER;
  VariantInit(out);
  Named named;
  const HRESULT valid = resolve(start, named);
  if (FAILED(valid)) return valid;
  const auto count = static_cast<LONG>(told().size());
  LONG to = 0;
  if (named.state == nullptr) {
    if (direction == NAVDIR_FIRSTCHILD) {
      to = count > 0 ? 1 : 0;
    } else if (direction == NAVDIR_LASTCHILD) {
      to = count;
    } else {
      IAccessible* window = standard();
      return window != nullptr ? window->accNavigate(direction, start, out) : S_FALSE;
    }
  } else if (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT) {
    to = named.id < count ? named.id + 1 : 0;
  } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT) {
    to = named.id - 1;
  } else if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
    return E_INVALIDARG;
  }
  return to > 0 ? Answer(out, to) : S_FALSE;
}

// The label that shows at the screen point, else the box; nothing outside the window.
HRESULT StripAccessibleObject::Object::accHitTest(LONG x, LONG y, VARIANT* out) {
  if (out == nullptr) return E_POINTER;
  VariantInit(out);
  if (box_ == nullptr) return CO_E_OBJNOTCONNECTED;
  stamp();
  POINT point{x, y};
  RECT client{};
  if (!ScreenToClient(hwnd_, &point) || !GetClientRect(hwnd_, &client) ||
      !PtInRect(&client, point)) {
    return S_FALSE;
  }
  const std::vector<AccessibleLabel> now = engine::AccessibleLabels(*box_);
  const std::vector<AccessibleLabel>& labels = told();
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const AccessibleLabel* label = Find(now, labels[i]);
    if (label == nullptr || !label->showing) continue;
    const engine::Pixels& r = label->rect;
    if (point.x >= r.left && point.x < r.right() && point.y >= r.top && point.y < r.bottom()) {
      return Answer(out, static_cast<LONG>(i + 1));
    }
  }
  return Answer(out, CHILDID_SELF);
}

// The press runs after the call has returned, as the next event of the program's message loop:
// the reader does not wait while the link opens, and the press never runs inside another of
// the program's handlers.
HRESULT StripAccessibleObject::Object::accDoDefaultAction(VARIANT id) {
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  if (named.state == nullptr || !IsLink(*named.state)) return DISP_E_MEMBERNOTFOUND;
  if (Find(engine::AccessibleLabels(*box_), *named.told) == nullptr) return E_FAIL;
  AddRef();
  engine::TheSurface().post([this, labels = named.told->labels, index = named.told->index] {
    if (box_ != nullptr) engine::PressAccessibleLabel(*box_, labels, index);
    Release();
  });
  return S_OK;
}

void StripAccessibleObject::Object::tell(engine::NativeBox::AccessibleChange change) {
  if (box_ == nullptr) return;
  std::vector<AccessibleLabel> now = engine::AccessibleLabels(*box_);
  std::vector<std::pair<DWORD, LONG>> events;
  if (change == engine::NativeBox::AccessibleChange::Focus) {
    // The child ids a reader holds are places in told_: a focused label not among them makes
    // the reader read the children again first.
    const auto focused =
        std::find_if(now.begin(), now.end(), [](const auto& l) { return l.focused; });
    if (focused != now.end() && Find(told_, *focused) == nullptr) {
      told_ = now;
      taken_ = true;
      events.emplace_back(EVENT_OBJECT_REORDER, CHILDID_SELF);
    }
    for (std::size_t i = 0; i < told_.size(); ++i) {
      const AccessibleLabel* label = Find(now, told_[i]);
      const bool focusedNow = label != nullptr && label->focused;
      if (focusedNow) events.emplace_back(EVENT_OBJECT_FOCUS, static_cast<LONG>(i + 1));
      if (focusedNow != told_[i].focused) {
        events.emplace_back(EVENT_OBJECT_STATECHANGE, static_cast<LONG>(i + 1));
        told_[i].focused = focusedNow;
      }
    }
  } else if (change == engine::NativeBox::AccessibleChange::Bounds) {
    for (std::size_t i = 0; i < told_.size(); ++i) {
      const AccessibleLabel* label = Find(now, told_[i]);
      if (label != nullptr && label->showing) {
        events.emplace_back(EVENT_OBJECT_LOCATIONCHANGE, static_cast<LONG>(i + 1));
      }
    }
  } else if (!taken_ ||
             !std::equal(told_.begin(), told_.end(), now.begin(), now.end(), SameLabel)) {
    events.emplace_back(EVENT_OBJECT_REORDER, CHILDID_SELF);
  } else {
    for (std::size_t i = 0; i < now.size(); ++i) {
      const auto child = static_cast<LONG>(i + 1);
      if (!(now[i].name == told_[i].name)) events.emplace_back(EVENT_OBJECT_NAMECHANGE, child);
      if (!(now[i].description == told_[i].description)) {
        events.emplace_back(EVENT_OBJECT_DESCRIPTIONCHANGE, child);
      }
      if (now[i].showing != told_[i].showing) {
        events.emplace_back(EVENT_OBJECT_STATECHANGE, child);
      }
    }
  }
  if (change == engine::NativeBox::AccessibleChange::Children) {
    told_ = std::move(now);
    taken_ = true;
  }
  // Told last: a reader's hook may run inside NotifyWinEvent and ask the object again.
  for (const auto& [event, child] : events) {
    NotifyWinEvent(event, hwnd_, OBJID_CLIENT, child);
  }
}

StripAccessibleObject::~StripAccessibleObject() {
  if (object_ == nullptr) return;
  object_->disconnect();
  object_->Release();
}

StripAccessibleObject::Object& StripAccessibleObject::object() {
  if (object_ == nullptr) object_ = new Object(hwnd_, box_);
  return *object_;
}

LRESULT StripAccessibleObject::answer(WPARAM wParam) {
  Object& object = this->object();
  object.stamp();
  return HandToReader(&object, wParam);
}

bool StripAccessibleObject::usedRecently() const {
  return object_ != nullptr && object_->usedRecently();
}

// Before any reader has asked for the object there is nothing to compare with: a reader that
// listens hears that the children changed.
void StripAccessibleObject::tell(engine::NativeBox::AccessibleChange change) {
  if (object_ != nullptr) {
    object_->tell(change);
  } else if (change == engine::NativeBox::AccessibleChange::Children) {
    NotifyWinEvent(EVENT_OBJECT_REORDER, hwnd_, OBJID_CLIENT, CHILDID_SELF);
  }
}

}  // namespace platform::win32
