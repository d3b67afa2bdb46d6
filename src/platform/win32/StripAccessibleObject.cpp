#include "platform/win32/StripAccessibleObject.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "platform/engine/Accessibility.h"
#include "platform/win32/ReaderObjects.h"

namespace platform::win32 {

namespace {

using engine::AccessibleKey;
using engine::AccessibleNode;

// How long a program that asked for the object or used it counts as a reader attached: other
// assistive programs than screen readers, and readers under Wine, never set the system's
// screen reader flag, yet hear the object's events while they read it.
constexpr ULONGLONG kRecentUse = 60'000;

LONG RoleOf(engine::AccessibleRole role) {
  switch (role) {
    case engine::AccessibleRole::Graphic:
      return ROLE_SYSTEM_GRAPHIC;
    case engine::AccessibleRole::Pane:
      return ROLE_SYSTEM_PANE;
    case engine::AccessibleRole::Link:
      return ROLE_SYSTEM_LINK;
    case engine::AccessibleRole::StaticText:
      break;
  }
  return ROLE_SYSTEM_STATICTEXT;
}

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
  Object(HWND hwnd, engine::AccessibleModel& model) : hwnd_(hwnd), model_(&model) {}

  void disconnect();
  void stamp() {
    used_ = true;
    lastUse_ = GetTickCount64();
  }
  bool usedRecently() const { return used_ && GetTickCount64() - lastUse_ < kRecentUse; }
  void tell(const std::vector<engine::AccessibleEvent>& events);

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
    *out = model_ != nullptr ? hwnd_ : nullptr;
    return model_ != nullptr ? S_OK : CO_E_OBJNOTCONNECTED;
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
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return nothing(out); }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* out) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override {
    return model_ != nullptr ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* width, LONG* height,
                                        VARIANT id) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* out) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  // What a child id names: the box itself (CHILDID_SELF, no node), or a label as the model has
  // it now.
  struct Named {
    LONG id = CHILDID_SELF;
    std::optional<AccessibleNode> node;
  };

  ~Object() = default;
  HRESULT resolve(const VARIANT& id, Named& named);
  // The keys the child ids name, counted now when no reader has counted them yet.
  const std::vector<AccessibleKey>& ids();
  void count();
  // The child id of the key; 0 when the reader holds none for it.
  LONG idOf(const AccessibleKey& key) const;
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
    return model_ != nullptr ? S_FALSE : CO_E_OBJNOTCONNECTED;
  }

  LONG refs_ = 1;
  HWND hwnd_;
  engine::AccessibleModel* model_;  // null once the window has gone
  IAccessible* standard_ = nullptr;
  std::vector<AccessibleKey> ids_;
  bool counted_ = false;  // ids_ has been counted at least once
  bool used_ = false;
  ULONGLONG lastUse_ = 0;
};

void StripAccessibleObject::Object::disconnect() {
  model_ = nullptr;
  ids_.clear();
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

void StripAccessibleObject::Object::count() {
  ids_.clear();
  for (const AccessibleNode& node : model_->nodes()) ids_.push_back(node.key);
  counted_ = true;
}

const std::vector<AccessibleKey>& StripAccessibleObject::Object::ids() {
  if (!counted_) count();
  return ids_;
}

LONG StripAccessibleObject::Object::idOf(const AccessibleKey& key) const {
  const auto found = std::find(ids_.begin(), ids_.end(), key);
  return found == ids_.end() ? 0 : static_cast<LONG>(found - ids_.begin() + 1);
}

HRESULT StripAccessibleObject::Object::resolve(const VARIANT& id, Named& named) {
  if (model_ == nullptr) return CO_E_OBJNOTCONNECTED;
  stamp();
  named = {};
  if (id.vt != VT_I4) return E_INVALIDARG;
  if (id.lVal == CHILDID_SELF) return S_OK;
  const std::vector<AccessibleKey>& keys = ids();
  if (id.lVal < 1 || static_cast<std::size_t>(id.lVal) > keys.size()) return E_INVALIDARG;
  named.node = model_->node(keys[static_cast<std::size_t>(id.lVal - 1)]);
  if (!named.node) return E_INVALIDARG;
  named.id = id.lVal;
  return S_OK;
}

IAccessible* StripAccessibleObject::Object::standard() {
  if (standard_ == nullptr && model_ != nullptr) {
    CreateStdAccessibleObject(hwnd_, OBJID_CLIENT, __uuidof(IAccessible),
                              reinterpret_cast<void**>(&standard_));
  }
  return standard_;
}

HRESULT StripAccessibleObject::Object::get_accParent(IDispatch** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (model_ == nullptr) return CO_E_OBJNOTCONNECTED;
  IAccessible* window = standard();
  return window != nullptr ? window->get_accParent(out) : E_FAIL;
}

// A count starts a reader's walk over the children: the ids name the labels offered now.
HRESULT StripAccessibleObject::Object::get_accChildCount(LONG* out) {
  if (out == nullptr) return E_POINTER;
  *out = 0;
  if (model_ == nullptr) return CO_E_OBJNOTCONNECTED;
  stamp();
  count();
  *out = static_cast<LONG>(ids_.size());
  return S_OK;
}

// The labels are simple elements: no object of their own.
HRESULT StripAccessibleObject::Object::get_accChild(VARIANT id, IDispatch** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  return named.node ? S_FALSE : E_INVALIDARG;
}

HRESULT StripAccessibleObject::Object::get_accName(VARIANT id, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  return ReaderText(named.node ? named.node->name.str() : model_->name(), out);
}

HRESULT StripAccessibleObject::Object::get_accDescription(VARIANT id, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  return named.node ? ReaderText(named.node->description.str(), out) : S_FALSE;
}

HRESULT StripAccessibleObject::Object::get_accRole(VARIANT id, VARIANT* out) {
  if (out == nullptr) return E_POINTER;
  VariantInit(out);
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  return Answer(out, RoleOf(named.node ? named.node->role : model_->role()));
}

HRESULT StripAccessibleObject::Object::get_accState(VARIANT id, VARIANT* out) {
  if (out == nullptr) return E_POINTER;
  VariantInit(out);
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  if (!named.node) {
    IAccessible* window = standard();
    return window != nullptr ? window->get_accState(id, out) : E_FAIL;
  }
  const AccessibleNode& node = *named.node;
  LONG state = STATE_SYSTEM_READONLY;
  if (node.link) state |= STATE_SYSTEM_LINKED;
  if (!node.showing) state |= STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE;
  if (node.focusable) state |= STATE_SYSTEM_FOCUSABLE;
  if (node.focused) state |= STATE_SYSTEM_FOCUSED;
  return Answer(out, state);
}

// The focused label's child id, or nothing when the focus is on none of them.
HRESULT StripAccessibleObject::Object::get_accFocus(VARIANT* out) {
  if (out == nullptr) return E_POINTER;
  VariantInit(out);
  if (model_ == nullptr) return CO_E_OBJNOTCONNECTED;
  ids();
  for (const AccessibleNode& node : model_->nodes()) {
    if (const LONG id = idOf(node.key); node.focused && id != 0) return Answer(out, id);
  }
  return S_FALSE;
}

HRESULT StripAccessibleObject::Object::get_accDefaultAction(VARIANT id, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  if (!named.node || named.node->action == engine::AccessibleAction::None) return S_FALSE;
  return ReaderText(engine::ActionName(named.node->action), out);
}

// In screen pixels: the whole label, also where the window or the title picture cuts it.
HRESULT StripAccessibleObject::Object::accLocation(LONG* x, LONG* y, LONG* width, LONG* height,
                                                   VARIANT id) {
  if (x == nullptr || y == nullptr || width == nullptr || height == nullptr) return E_POINTER;
  *x = *y = *width = *height = 0;
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  if (!named.node) {
    IAccessible* window = standard();
    return window != nullptr ? window->accLocation(x, y, width, height, id) : E_FAIL;
  }
  POINT origin{0, 0};
  if (!ClientToScreen(hwnd_, &origin)) return E_FAIL;
  const engine::Pixels& rect = named.node->rect;
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
  const auto count = static_cast<LONG>(ids().size());
  LONG to = 0;
  if (!named.node) {
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
  if (model_ == nullptr) return CO_E_OBJNOTCONNECTED;
  stamp();
  POINT point{x, y};
  if (!ScreenToClient(hwnd_, &point) || !model_->inWindow(point.x, point.y)) return S_FALSE;
  ids();
  const auto node = model_->nodeAt(point.x, point.y);
  const LONG id = node ? idOf(node->key) : 0;
  return Answer(out, id != 0 ? id : CHILDID_SELF);
}

HRESULT StripAccessibleObject::Object::accDoDefaultAction(VARIANT id) {
  Named named;
  const HRESULT valid = resolve(id, named);
  if (FAILED(valid)) return valid;
  if (!named.node || named.node->action == engine::AccessibleAction::None) {
    return DISP_E_MEMBERNOTFOUND;
  }
  return model_->act(named.node->key) ? S_OK : E_FAIL;
}

void StripAccessibleObject::Object::tell(const std::vector<engine::AccessibleEvent>& events) {
  using Kind = engine::AccessibleEvent::Kind;
  if (model_ == nullptr) return;
  // The child ids a reader holds are places in ids_: when labels came or went, or the focus
  // came to a label the reader holds no id for, it counts the children again first.
  const bool reorder =
      !counted_ || std::any_of(events.begin(), events.end(), [this](const auto& event) {
        return event.kind == Kind::Added || event.kind == Kind::Removed ||
               (event.kind == Kind::Focused && idOf(event.key) == 0);
      });
  std::vector<std::pair<DWORD, LONG>> told;
  if (reorder) {
    count();
    told.emplace_back(EVENT_OBJECT_REORDER, CHILDID_SELF);
  }
  for (const auto& event : events) {
    const LONG child = idOf(event.key);
    if (child == 0) continue;
    switch (event.kind) {
      case Kind::Focused:
        told.emplace_back(EVENT_OBJECT_FOCUS, child);
        told.emplace_back(EVENT_OBJECT_STATECHANGE, child);
        break;
      case Kind::FocusLost:
        told.emplace_back(EVENT_OBJECT_STATECHANGE, child);
        break;
      // After a reorder the reader reads every label again.
      case Kind::Shown:
      case Kind::Hidden:
        if (!reorder) told.emplace_back(EVENT_OBJECT_STATECHANGE, child);
        break;
      case Kind::Renamed:
        if (!reorder) told.emplace_back(EVENT_OBJECT_NAMECHANGE, child);
        break;
      case Kind::Redescribed:
        if (!reorder) told.emplace_back(EVENT_OBJECT_DESCRIPTIONCHANGE, child);
        break;
      case Kind::Moved:
        told.emplace_back(EVENT_OBJECT_LOCATIONCHANGE, child);
        break;
      case Kind::Added:
      case Kind::Removed:
        break;
    }
  }
  // Told last: a reader's hook may run inside NotifyWinEvent and ask the object again.
  for (const auto& [event, child] : told) NotifyWinEvent(event, hwnd_, OBJID_CLIENT, child);
}

StripAccessibleObject::~StripAccessibleObject() {
  if (object_ == nullptr) return;
  object_->disconnect();
  object_->Release();
}

StripAccessibleObject::Object& StripAccessibleObject::object() {
  if (object_ == nullptr) object_ = new Object(hwnd_, model_);
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

// Before any reader has asked for the object no child ids are out: a reader that listens hears
// only that the children changed.
void StripAccessibleObject::tell(const std::vector<engine::AccessibleEvent>& events) {
  using Kind = engine::AccessibleEvent::Kind;
  if (object_ != nullptr) {
    object_->tell(events);
  } else if (std::any_of(events.begin(), events.end(), [](const auto& event) {
               return event.kind == Kind::Added || event.kind == Kind::Removed;
             })) {
    NotifyWinEvent(EVENT_OBJECT_REORDER, hwnd_, OBJID_CLIENT, CHILDID_SELF);
  }
}

}  // namespace platform::win32
