// The main window on Win32, through the wide-character API. Texts cross the
// surface as GBK and are converted with code page 936, so captions and box
// contents are right whatever the system's ANSI code page is.
#include "ui/win32_surface.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "fs/encoding_win32.h"

namespace dirtree {
namespace {

constexpr wchar_t kWindowClass[] = L"DirtreeMainWindow";
// Child-window identifiers and menu command identifiers; both ranges stay
// clear of the dialog manager's IDOK and friends.
constexpr int kControlIdBase = 0x1000;
constexpr UINT kMenuCommandBase = 0x100;

// Where "黑体" is missing, a CJK sans-serif face of the same height.
constexpr const wchar_t* kFallbackFaces[] = {
    L"SimHei",          L"Microsoft YaHei", L"微软雅黑", L"DengXian", L"等线",
    L"WenQuanYi Micro Hei", L"文泉驿微米黑", L"Noto Sans CJK SC", L"Source Han Sans SC",
};

std::wstring Wide(std::string_view gbk) { return GbkToWide(ToText(gbk)); }

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(HDC dc, const std::wstring& face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  face.copy(query.lfFaceName, LF_FACESIZE - 1);
  bool found = false;
  EnumFontFamiliesExW(dc, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

int CALLBACK TakeFirstChineseFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM result) {
  // "@" faces are the vertical variants.
  if (font->lfFaceName[0] == L'@' || !(type & TRUETYPE_FONTTYPE)) return 1;
  *reinterpret_cast<std::wstring*>(result) = font->lfFaceName;
  return 0;
}

// The face to use for `wanted`: itself when installed, else the first
// installed fallback, else any face with simplified Chinese characters, else
// `wanted` anyway and the font mapper's choice.
std::wstring ChooseFace(const std::wstring& wanted) {
  HDC dc = GetDC(nullptr);
  std::wstring chosen;
  if (FaceInstalled(dc, wanted)) {
    chosen = wanted;
  } else {
    for (const wchar_t* face : kFallbackFaces)
      if (FaceInstalled(dc, face)) {
        chosen = face;
        break;
      }
    if (chosen.empty()) {
      LOGFONTW query{};
      query.lfCharSet = GB2312_CHARSET;
      EnumFontFamiliesExW(dc, &query, TakeFirstChineseFace, reinterpret_cast<LPARAM>(&chosen), 0);
    }
    if (chosen.empty()) chosen = wanted;
  }
  ReleaseDC(nullptr, dc);
  return chosen;
}

HFONT CreateControlFont(const FontDefinition& font) {
  std::wstring face = ChooseFace(Wide(font.face));
  // A negative height asks for the em height, internal leading not counted.
  return CreateFontW(-font.height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

COLORREF ToColorRef(Colour colour) {
  return colour.isDefault ? GetSysColor(COLOR_BTNFACE) : RGB(colour.red, colour.green, colour.blue);
}

struct ChildClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

ChildClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return {L"STATIC", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, 0};
    case ControlKind::EditBox:
      return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::PushButton:
      return {L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER | WS_TABSTOP, 0};
    case ControlKind::RadioButton:
      // Not BS_AUTORADIOBUTTON: the window logic sets the check marks.
      return {L"BUTTON", BS_RADIOBUTTON | BS_LEFT | BS_VCENTER | WS_TABSTOP, 0};
    case ControlKind::GroupBox:
      // Its controls are its children; it must not paint over them.
      return {L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, 0};
  }
  return {L"STATIC", 0, 0};
}

Win32Surface* SurfaceOf(HWND window) {
  return reinterpret_cast<Win32Surface*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (Win32Surface* surface = SurfaceOf(window)) return surface->HandleWindowMessage(window, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

// The procedure of every subclassed control; the surface hangs on the main
// window, the control's index in its identifier.
LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32Surface* surface = SurfaceOf(GetAncestor(window, GA_ROOT));
  const int index = GetDlgCtrlID(window) - kControlIdBase;
  if (surface == nullptr || index < 0 || index >= static_cast<int>(kControlCount))
    return DefWindowProcW(window, message, wParam, lParam);
  return surface->HandleControlMessage(static_cast<ControlId>(index), window, message, wParam, lParam);
}

bool RegisterWindowClass(HINSTANCE instance, const std::wstring& iconResource) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, kWindowClass, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = MainWindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, iconResource.c_str(), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(
      instance, iconResource.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // The face colour, read from the colour scheme at every paint.
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0;
}

// The menu bar until the window takes it over.
class MenuOwner {
 public:
  explicit MenuOwner(HMENU menu) : menu_(menu) {}
  ~MenuOwner() {
    if (menu_ != nullptr) DestroyMenu(menu_);
  }
  MenuOwner(const MenuOwner&) = delete;
  MenuOwner& operator=(const MenuOwner&) = delete;
  HMENU get() const { return menu_; }
  void Release() { menu_ = nullptr; }

 private:
  HMENU menu_;
};

HMENU BuildMenuBar(const WindowDefinition& definition) {
  MenuOwner bar(CreateMenu());
  if (bar.get() == nullptr) return nullptr;
  for (const MenuDefinition& menu : definition.menus) {
    MenuOwner popup(CreatePopupMenu());
    if (popup.get() == nullptr) return nullptr;
    for (const MenuItemDefinition& item : menu.items)
      AppendMenuW(popup.get(), MF_STRING, kMenuCommandBase + Index(item.id), Wide(item.shown).c_str());
    if (!AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()), Wide(menu.caption).c_str()))
      return nullptr;
    popup.Release();  // the bar owns it now
  }
  HMENU result = bar.get();
  bar.Release();
  return result;
}

// A byte offset into a GBK text as an offset in UTF-16 units: one unit per
// character of the text.
std::size_t WideOffset(const Text& text, std::size_t offset) {
  offset = std::min(offset, text.size());
  std::size_t units = 0;
  for (std::size_t i = 0; i < offset; ++units) i += CharacterLength(text, i);
  return units;
}

bool KeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

Win32Surface::~Win32Surface() {
  // The listener may be gone already; it hears nothing of this last step.
  listener_ = nullptr;
  if (window_ != nullptr) ::DestroyWindow(window_);
}

Size Win32Surface::PrimaryScreenSize() const {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool Win32Surface::Create(const WindowDefinition& definition, Point position, SurfaceListener& listener) {
  if (window_ != nullptr) return false;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClass(instance, Wide(definition.iconResource))) return false;

  MenuOwner menu(BuildMenuBar(definition));
  if (menu.get() == nullptr) return false;

  windowBackground_ = definition.background;
  textColour_ = definition.textColour;
  for (const ControlDefinition& control : definition.controls) {
    backgrounds_[Index(control.id)] = control.background;
    if (!control.background.isDefault)
      backgroundBrushes_[Index(control.id)].Reset(CreateSolidBrush(ToColorRef(control.background)));
  }
  font_.Reset(CreateControlFont(definition.font));

  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (definition.minimiseBox) style |= WS_MINIMIZEBOX;
  if (definition.maximiseBox) style |= WS_MAXIMIZEBOX;
  if (definition.resizable) style |= WS_THICKFRAME;
  const Size size = definition.outerSize;
  // WM_NCCREATE hangs the surface on the window and sets window_.
  HWND window = CreateWindowExW(WS_EX_APPWINDOW, kWindowClass, Wide(definition.caption).c_str(), style, position.x,
                                position.y, size.width, size.height, nullptr, menu.get(), instance, this);
  if (window == nullptr) return false;
  menu.Release();  // destroyed with the window from here on

  if (!CreateControls(definition)) {
    ::DestroyWindow(window);
    return false;
  }

  RECT outer{};
  GetWindowRect(window, &outer);
  if (outer.right - outer.left != size.width || outer.bottom - outer.top != size.height)
    SetWindowPos(window, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  listener_ = &listener;
  return true;
}

bool Win32Surface::CreateControls(const WindowDefinition& definition) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const ControlDefinition& control : definition.controls) {
    // A group box comes before its controls in the table.
    HWND parent = control.container ? ControlWindow(*control.container) : window_;
    if (parent == nullptr) return false;
    ChildClass childClass = ClassOf(control.kind);
    DWORD style = WS_CHILD | WS_VISIBLE | childClass.style;
    if (control.disabled) style |= WS_DISABLED;
    const Rect& r = control.bounds;
    HWND child = CreateWindowExW(childClass.exStyle, childClass.name, Wide(control.text).c_str(), style, r.left, r.top,
                                 r.width, r.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlIdBase + Index(control.id))),
                                 instance, nullptr);
    if (child == nullptr) return false;
    controls_[Index(control.id)] = child;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

    switch (control.kind) {
      case ControlKind::EditBox:
        SendMessageW(child, EM_SETLIMITTEXT, 0, 0);  // 0: as long as the system allows
        break;
      case ControlKind::RadioButton:
        SendMessageW(child, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      default:
        break;
    }
    // Edit boxes report the right button and typed characters; group boxes
    // hand their children's notifications on to the window.
    if (control.kind == ControlKind::EditBox || control.kind == ControlKind::GroupBox)
      controlProcedures_[Index(control.id)] = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProcedure)));
  }
  return true;
}

WindowHandle Win32Surface::Handle() const {
  return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window_));
}

void Win32Surface::ShowWindow() {
  if (window_ == nullptr) return;
  ::ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
}

bool Win32Surface::WindowVisible() const { return window_ != nullptr && IsWindowVisible(window_); }

void Win32Surface::DestroyWindow() {
  if (window_ != nullptr) ::DestroyWindow(window_);
}

void Win32Surface::Forget() {
  window_ = nullptr;
  controls_.fill(nullptr);
  controlProcedures_.fill(nullptr);
  listener_ = nullptr;
}

std::optional<ControlId> Win32Surface::ControlOf(HWND window) const {
  if (window == nullptr) return std::nullopt;
  for (std::size_t i = 0; i < kControlCount; ++i)
    if (controls_[i] == window) return static_cast<ControlId>(i);
  return std::nullopt;
}

bool Win32Surface::IsOwnWindow(HWND window) const {
  return window_ != nullptr && (window == window_ || IsChild(window_, window));
}

Text Win32Surface::GetText(ControlId control) const {
  HWND child = ControlWindow(control);
  if (child == nullptr) return Text();
  const int length = GetWindowTextLengthW(child);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(child, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
  return WideToGbk(text);
}

void Win32Surface::SetText(ControlId control, const Text& text) {
  if (HWND child = ControlWindow(control)) SetWindowTextW(child, GbkToWide(text).c_str());
}

void Win32Surface::SetCaret(ControlId control, std::size_t offset) {
  HWND child = ControlWindow(control);
  if (child == nullptr) return;
  const auto at = static_cast<WPARAM>(WideOffset(GetText(control), offset));
  SendMessageW(child, EM_SETSEL, at, static_cast<LPARAM>(at));
  SendMessageW(child, EM_SCROLLCARET, 0, 0);
}

bool Win32Surface::Enabled(ControlId control) const {
  HWND child = ControlWindow(control);
  return child != nullptr && IsWindowEnabled(child);
}

void Win32Surface::SetEnabled(ControlId control, bool enabled) {
  if (HWND child = ControlWindow(control)) EnableWindow(child, enabled ? TRUE : FALSE);
}

bool Win32Surface::Checked(ControlId control) const {
  HWND child = ControlWindow(control);
  return child != nullptr && SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Surface::SetChecked(ControlId control, bool checked) {
  if (HWND child = ControlWindow(control)) SendMessageW(child, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32Surface::Visible(ControlId control) const {
  // The control and the group boxes it lies in; whether the window itself
  // is shown does not matter here.
  for (std::optional<ControlId> c = control; c; c = Definition(*c).container) {
    HWND child = ControlWindow(*c);
    if (child == nullptr || !(GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE)) return false;
  }
  return true;
}

void Win32Surface::SetVisible(ControlId control, bool visible) {
  if (HWND child = ControlWindow(control)) ::ShowWindow(child, visible ? SW_SHOWNA : SW_HIDE);
}

std::optional<ControlId> Win32Surface::Focus() const { return ControlOf(GetFocus()); }

bool Win32Surface::FocusOnButton() const {
  std::optional<ControlId> focus = Focus();
  if (!focus) return false;
  const ControlKind kind = Definition(*focus).kind;
  return kind == ControlKind::PushButton || kind == ControlKind::RadioButton;
}

void Win32Surface::SetFocus(ControlId control) {
  HWND child = ControlWindow(control);
  if (child == nullptr) return;
  movingFocus_ = true;
  ::SetFocus(child);
  movingFocus_ = false;
}

void Win32Surface::SetBackground(ControlId control, Colour colour) {
  backgrounds_[Index(control)] = colour;
  backgroundBrushes_[Index(control)].Reset(colour.isDefault ? nullptr : CreateSolidBrush(ToColorRef(colour)));
  if (HWND child = ControlWindow(control)) InvalidateRect(child, nullptr, TRUE);
}

void Win32Surface::SetEditMargins(ControlId control, int left, int right) {
  if (HWND child = ControlWindow(control))
    SendMessageW(child, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(left, right));
}

bool Win32Surface::PreTranslateMessage(const MSG& message) {
  if (listener_ == nullptr || message.message != WM_KEYDOWN || !IsOwnWindow(message.hwnd)) return false;
  // Space on a button is left to the button itself, which is pressed while
  // the key is down, ignores the key's auto-repeat and clicks when the key
  // comes up, a click that reaches the logic like a mouse click. Clicking
  // on every key-down would start a report again for each repeat of a held
  // key, and the repeats would then land on the "完成" box and close it.
  if (message.wParam == VK_SPACE && FocusOnButton()) return false;
  KeyEvent key{Key::Tab};
  switch (message.wParam) {
    case VK_TAB: key.key = Key::Tab; break;
    case VK_LEFT: key.key = Key::Left; break;
    case VK_RIGHT: key.key = Key::Right; break;
    case VK_UP: key.key = Key::Up; break;
    case VK_DOWN: key.key = Key::Down; break;
    case VK_ESCAPE: key.key = Key::Escape; break;
    case VK_RETURN: key.key = Key::Enter; break;
    case VK_F1: key.key = Key::F1; break;
    case VK_SPACE: key.key = Key::Space; break;
    default:
      // Ctrl with a letter, for the accelerators; Ctrl+Alt is AltGr on many
      // keyboards and types a character instead.
      if (message.wParam < 'A' || message.wParam > 'Z' || !KeyDown(VK_CONTROL) || KeyDown(VK_MENU)) return false;
      key.key = Key::Letter;
      key.code = static_cast<std::uint32_t>(message.wParam);
      break;
  }
  key.ctrl = KeyDown(VK_CONTROL);
  key.shift = KeyDown(VK_SHIFT);
  // A consumed key is neither translated nor dispatched, so it makes no
  // WM_CHAR either: Ctrl+A never reaches a box, Esc and Tab never beep.
  return listener_->KeyPressed(key);
}

LRESULT Win32Surface::ColourControl(UINT message, HDC dc, HWND child) {
  std::optional<ControlId> control = ControlOf(child);
  if (!control) return DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
  const ControlKind kind = Definition(*control).kind;
  // A disabled edit box asks with WM_CTLCOLORSTATIC and is greyed out the
  // system's way; push buttons keep the system's look.
  if (kind == ControlKind::PushButton || (kind == ControlKind::EditBox && message != WM_CTLCOLOREDIT))
    return DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));

  const Colour background = backgrounds_[Index(*control)];
  SetTextColor(dc, RGB(textColour_.red, textColour_.green, textColour_.blue));
  SetBkColor(dc, ToColorRef(background));
  // Labels, radio buttons and group boxes fill their rectangle with the
  // brush and draw the text over it without a background of its own.
  if (kind != ControlKind::EditBox) SetBkMode(dc, TRANSPARENT);
  HGDIOBJ brush = backgroundBrushes_[Index(*control)].get();
  if (background.isDefault || brush == nullptr) brush = GetSysColorBrush(COLOR_BTNFACE);
  return reinterpret_cast<LRESULT>(brush);
}

LRESULT Win32Surface::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      window_ = window;
      break;
    case WM_NCDESTROY: {
      // The last message of the window, however it is being destroyed.
      // The surface lets go of it first, so the listener finds no window.
      SurfaceListener* listener = listener_;
      Forget();
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      if (listener != nullptr) listener->Destroyed();
      break;
    }
    case WM_COMMAND: {
      if (listener_ == nullptr) break;
      const UINT id = LOWORD(wParam);
      if (lParam == 0 && HIWORD(wParam) == 0) {  // a menu item
        if (id >= kMenuCommandBase && id < kMenuCommandBase + kMenuItemCount)
          listener_->MenuSelected(static_cast<MenuItemId>(id - kMenuCommandBase));
        return 0;
      }
      if (HIWORD(wParam) == BN_CLICKED && !movingFocus_) {
        std::optional<ControlId> control = ControlOf(reinterpret_cast<HWND>(lParam));
        if (control) listener_->Clicked(*control);
        return 0;
      }
      break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ColourControl(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CLOSE:
      // The logic destroys the window when the close query lets it.
      if (listener_ != nullptr) listener_->CloseRequested();
      return 0;
    case WM_QUERYENDSESSION:
      return listener_ == nullptr || listener_->EndSessionQueried() ? TRUE : FALSE;
    case WM_ACTIVATE:
      if (listener_ == nullptr) break;
      if (LOWORD(wParam) == WA_INACTIVE) {
        listener_->Deactivated();
        return 0;
      }
      // A minimised window keeps the focus on itself until it is restored,
      // when WM_SETFOCUS brings it here.
      if (HIWORD(wParam) != 0) break;
      listener_->Activated();
      return 0;
    case WM_SETFOCUS:
      // The window itself got the focus (after a restore): pass it on.
      if (listener_ != nullptr) listener_->Activated();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32Surface::HandleControlMessage(ControlId control, HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  WNDPROC previous = controlProcedures_[Index(control)];
  if (previous == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (Definition(control).kind) {
    case ControlKind::GroupBox:
      // The controls inside a group box are its children and tell it, not
      // the window, about clicks and colours.
      switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
          if (window_ != nullptr) return SendMessageW(window_, message, wParam, lParam);
          break;
        case WM_ERASEBKGND: {
          // The window clips its children, so nothing paints the inside of
          // a group box unless the group box does it itself.
          HDC dc = reinterpret_cast<HDC>(wParam);
          RECT inside{};
          GetClientRect(window, &inside);
          auto brush = reinterpret_cast<HBRUSH>(ColourControl(WM_CTLCOLORSTATIC, dc, window));
          FillRect(dc, &inside, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
          return 1;
        }
        default:
          break;
      }
      break;
    case ControlKind::EditBox:
      if (listener_ == nullptr) break;
      if (message == WM_RBUTTONUP) {
        MouseRelease release{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), 0};
        if (wParam & MK_CONTROL) release.keys |= kKeyCtrl;
        if (wParam & MK_SHIFT) release.keys |= kKeyShift;
        if (KeyDown(VK_MENU)) release.keys |= kKeyAlt;
        // Swallowed, the release never reaches DefWindowProc, which is what
        // would raise WM_CONTEXTMENU and open the box's menu.
        if (listener_->RightButtonReleased(control, release) == false) return 0;
      } else if (message == WM_CHAR) {
        if (listener_->KeyPressed({Key::Character, static_cast<std::uint32_t>(wParam)})) return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

}  // namespace dirtree
