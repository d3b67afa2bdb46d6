// A screen reader's view of the running ticker.exe through Microsoft Active Accessibility, from
// a process of its own, printed as JSON for msaa_test.py:
//   tree        the strip's names and picture boxes with their labels, and the options window's
//               controls while it shows
//   press NAME  the default action of the headline named NAME
//   events MS   the WinEvents of the strip's process in the next MS milliseconds
//   hold        holds the headlines' object until a line comes on stdin, then asks it again
#include <windows.h>
// After the base types.
#include <ole2.h>
#include <oleacc.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A JSON string; every character outside printable ASCII as its \u escape.
std::string Json(const wchar_t* text) {
  std::string out = "\"";
  for (const wchar_t* c = text; c != nullptr && *c != 0; ++c) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(*c));
    const bool plain = *c >= 0x20 && *c < 0x7F && *c != L'"' && *c != L'\\';
    out += plain ? std::string(1, static_cast<char>(*c)) : std::string(escaped);
  }
  return out + "\"";
}

IAccessible* ObjectOf(HWND window, LONG id = OBJID_CLIENT) {
  IAccessible* object = nullptr;
  AccessibleObjectFromWindow(window, static_cast<DWORD>(id), __uuidof(IAccessible),
                             reinterpret_cast<void**>(&object));
  return object;
}

VARIANT Child(LONG id) {
  VARIANT child{};
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

std::string Text(IAccessible* object, LONG id, HRESULT (IAccessible::*get)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  (object->*get)(Child(id), &text);
  const std::string json = Json(text);
  SysFreeString(text);
  return json;
}

std::string Number(IAccessible* object, LONG id, HRESULT (IAccessible::*get)(VARIANT, VARIANT*)) {
  VARIANT value{};
  (object->*get)(Child(id), &value);
  return std::to_string(value.vt == VT_I4 ? value.lVal : -1);
}

// [name, description, role, state, [x, y, width, height], default action] of the child id
// (CHILDID_SELF: the object itself).
std::string Describe(IAccessible* object, LONG id) {
  LONG x = 0, y = 0, w = 0, h = 0;
  object->accLocation(&x, &y, &w, &h, Child(id));
  return "[" + Text(object, id, &IAccessible::get_accName) + ", " +
         Text(object, id, &IAccessible::get_accDescription) + ", " +
         Number(object, id, &IAccessible::get_accRole) + ", " +
         Number(object, id, &IAccessible::get_accState) + ", [" + std::to_string(x) + ", " +
         std::to_string(y) + ", " + std::to_string(w) + ", " + std::to_string(h) + "], " +
         Text(object, id, &IAccessible::get_accDefaultAction) + "]";
}

// The child windows of the class, front to back.
std::vector<HWND> Children(HWND parent, const wchar_t* className) {
  std::vector<HWND> found;
  HWND w = nullptr;
  while ((w = FindWindowExW(parent, w, className, nullptr)) != nullptr) found.push_back(w);
  return found;
}

HWND Strip() { return FindWindowW(L"TickerForm", L"Form2"); }
HWND Headlines() {
  const std::vector<HWND> boxes = Children(Strip(), L"TickerPictureBox");
  return boxes.empty() ? nullptr : boxes.back();
}

std::string heard;  // [time, event, window class, object id, child id] of each event
void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                    DWORD time) {
  wchar_t kind[64] = {};
  GetClassNameW(hwnd, kind, 64);
  heard += (heard.empty() ? "[" : ", [") + std::to_string(time) + ", " + std::to_string(event) +
           ", " + Json(kind) + ", " + std::to_string(object) + ", " + std::to_string(child) + "]";
}

int Tree() {
  IAccessible* window = ObjectOf(Strip(), OBJID_WINDOW);
  IAccessible* client = ObjectOf(Strip());
  if (window == nullptr || client == nullptr) return 1;
  std::string out = "{\"strip\": [" + Describe(window, CHILDID_SELF) + ", " +
                    Describe(client, CHILDID_SELF) + "], \"boxes\": [";
  for (HWND box : Children(Strip(), L"TickerPictureBox")) {
    IAccessible* object = ObjectOf(box);
    LONG count = 0;
    if (object == nullptr || FAILED(object->get_accChildCount(&count))) return 1;
    out += (out.back() == '[' ? "[" : ", [") + Describe(object, CHILDID_SELF);
    for (LONG id = 1; id <= count; ++id) out += ", " + Describe(object, id);
    out += "]";
  }
  out += "], \"dialog\": [";
  for (const wchar_t* kind : {L"ComboBox", L"Button"}) {
    for (HWND control : Children(FindWindowW(L"TickerForm", L"Ticker : Options"), kind)) {
      IAccessible* object = ObjectOf(control);
      if (object == nullptr) return 1;
      out += (out.back() == '[' ? "[" : ", [") + Json(kind) + ", " +
             Describe(object, CHILDID_SELF) + "]";
    }
  }
  std::printf("%s]}\n", out.c_str());
  return 0;
}

int Press(const std::wstring& name) {
  IAccessible* object = ObjectOf(Headlines());
  LONG count = 0;
  if (object == nullptr || FAILED(object->get_accChildCount(&count))) return 1;
  for (LONG id = 1; id <= count; ++id) {
    if (Text(object, id, &IAccessible::get_accName) != Json(name.c_str())) continue;
    std::printf("%ld\n", object->accDoDefaultAction(Child(id)));
    return 0;
  }
  return 1;
}

// Hooked out of context and not skipping its own process: under Wine 8 a hook that skips its
// own process hears nothing. Asking for the object first makes the strip count a reader.
int Events(DWORD milliseconds) {
  DWORD process = 0;
  GetWindowThreadProcessId(Headlines(), &process);
  if (ObjectOf(Headlines()) == nullptr) return 1;
  SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr, &Heard, process, 0,
                  WINEVENT_OUTOFCONTEXT);
  for (const ULONGLONG end = GetTickCount64() + milliseconds; GetTickCount64() < end;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  std::printf("[%s]\n", heard.c_str());
  return 0;
}

// Prints the HRESULT of a question asked after the line came.
int Hold() {
  IAccessible* object = ObjectOf(Headlines());
  if (object == nullptr) return 1;
  std::printf("HELD\n");
  std::fflush(stdout);
  char line[8];
  std::fgets(line, sizeof line, stdin);
  LONG count = 0;
  std::printf("%ld\n", object->get_accChildCount(&count));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"tree") return Tree();
  if (command == L"press" && argc > 2) return Press(argv[2]);
  if (command == L"events" && argc > 2) return Events(static_cast<DWORD>(_wtoi(argv[2])));
  if (command == L"hold") return Hold();
  return 2;
}
