#include "GxForm.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "Guards.h"
#include "rtl/Exceptions.h"

namespace styler {

RTL_IMPLEMENT_CLASS(TGxFormStyler);

namespace {

const std::vector<std::string> kOptionNames = {"goAlways", "goNever", "goActive", "goSmart"};

// Exists only while it holds a styler.
std::unique_ptr<std::vector<TGxFormStyler*>> g_stylerRegistry;

// The record as the platform's oldest form of the call knows it (no padded border width), which
// every version answers.
constexpr UINT kNonClientMetricsSize = 340;

// LockWindowUpdate for one scope: no drawing reaches the window meanwhile. Unlocks only what it
// locked, never another window's lock.
class TUpdateLock {
 public:
  explicit TUpdateLock(HWND wnd) : locked_(wnd && LockWindowUpdate(wnd)) {}
  ~TUpdateLock() {
    if (locked_) LockWindowUpdate(nullptr);
  }
  TUpdateLock(const TUpdateLock&) = delete;
  TUpdateLock& operator=(const TUpdateLock&) = delete;

 private:
  bool locked_;
};

}  // namespace

TGxFormStyler::TGxFormStyler(rtl::TComponent* owner) : TGxWndProcComponent(owner) {
  // A form being read makes its window once every value is in (its menu among them), not here
  // halfway: the check and the hook wait for Loaded.
  hookOnLoaded_ = OwnerForm()->IsLoading();
  if (!hookOnLoaded_) CheckOnlyStyler();
  captionFont_ = std::make_unique<gui::TFont>();
  LoadCaptionFont(*captionFont_);
  companyText_ = std::make_unique<TGxCompanyText>(this);
  appNameText_ = std::make_unique<TGxAppNameText>(this);
  captionText_ = std::make_unique<TGxCaptionText>(this);
  colors_[0] = gui::clBlack;
  colors_[1] = gui::clBlack;
  colors_[2] = gui::clActiveCaption;
  colors_[3] = gui::clInactiveCaption;
  if (!hookOnLoaded_) HookAndRegister();
}

void TGxFormStyler::CheckOnlyStyler() {
  if (FindStyler(OwnerForm()->Handle())) throw rtl::Exception("Only one FormStyler is allowed per Form");
}

void TGxFormStyler::HookAndRegister() {
  HookWindow();
  if (!g_stylerRegistry) g_stylerRegistry = std::make_unique<std::vector<TGxFormStyler*>>();
  g_stylerRegistry->push_back(this);
}

TGxFormStyler::~TGxFormStyler() {
  if (g_stylerRegistry) {
    std::erase(*g_stylerRegistry, this);
    if (g_stylerRegistry->empty()) g_stylerRegistry.reset();
  }
  if (Hooked()) UnhookWindow();
  gui::TForm* form = OwnerForm();
  if (!form->IsDestroying()) {
    form->SetText(captionText_->Caption());
    // Unhooked, the frame is the platform's again: it repaints its own caption over ours.
    if (HWND wnd = form->WindowHandle())
      SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  gui::TUtilWindow::Release(std::move(utilityWindow_));
}

void TGxFormStyler::DeclareProperties(rtl::TClassBuilder<TGxFormStyler>& b) {
  b.Object("AppNameText", &TGxFormStyler::AppNameText);
  b.Object("CaptionText", &TGxFormStyler::CaptionText);
  b.Object("CompanyText", &TGxFormStyler::CompanyText);
  b.Int("ClrLeftActive", &TGxFormStyler::ClrLeftActive, &TGxFormStyler::SetClrLeftActive, gui::clBlack).Idents =
      &gui::ColorIdents();
  b.Int("ClrLeftInActive", &TGxFormStyler::ClrLeftInActive, &TGxFormStyler::SetClrLeftInActive, gui::clBlack)
      .Idents = &gui::ColorIdents();
  b.Int("ClrRightActive", &TGxFormStyler::ClrRightActive, &TGxFormStyler::SetClrRightActive, gui::clActiveCaption)
      .Idents = &gui::ColorIdents();
  b.Int("ClrRightInActive", &TGxFormStyler::ClrRightInActive, &TGxFormStyler::SetClrRightInActive,
        gui::clInactiveCaption)
      .Idents = &gui::ColorIdents();
  b.Enum("Alignment", gui::AlignmentNames(), &TGxFormStyler::Alignment, &TGxFormStyler::SetAlignment,
         gui::taLeftJustify);
  b.Enum("Options", kOptionNames, &TGxFormStyler::Options, &TGxFormStyler::SetOptions, goSmart);
  b.Int("NumColors", &TGxFormStyler::NumColors, &TGxFormStyler::SetNumColors, 64);
}

void TGxFormStyler::SetNumColors(int v) { numColors_ = static_cast<TGxGradientColors>(std::clamp(v, kMinColors, kMaxColors)); }

const std::vector<TGxFormStyler*>* TGxFormStyler::StylerRegistry() { return g_stylerRegistry.get(); }

TGxFormStyler* TGxFormStyler::FindStyler(HWND wnd) {
  if (!g_stylerRegistry) return nullptr;
  for (TGxFormStyler* s : *g_stylerRegistry) {
    HWND form = s->OwnerForm()->WindowHandle();
    if (form && (form == wnd || IsChild(form, wnd))) return s;
  }
  return nullptr;
}

void TGxFormStyler::Loaded() {
  inherited::Loaded();
  if (std::exchange(hookOnLoaded_, false)) {
    CheckOnlyStyler();
    HookAndRegister();
    return;
  }
  // The window may have been re-created while the form was read.
  if (OwnerForm()->WindowHandle() != HookedHandle()) {
    UnhookWindow();
    HookWindow();
  }
}

// ------------------------------------------------------------------------------ messages

void TGxFormStyler::HookWndProc(gui::TMessage& m) {
  switch (m.Msg) {
    case WM_NCPAINT: return WMNCPaint(m);
    case WM_NCACTIVATE: return WMNCActivate(m);
    case WM_SETCURSOR:
      if (WMSetCursor(m)) return;
      break;
    case WM_DESTROY:
      if (!IsDestroying()) {
        // The form's window is being re-created: this last message goes on as any other, then
        // the hook comes off, and the posted message hooks the new window once it exists.
        rtl::TAliveToken alive = AliveToken();
        inherited::HookWndProc(m);
        if (!alive) return;
        UnhookWindow();
        // Made when first needed: most forms are never made again.
        if (!utilityWindow_)
          utilityWindow_ = std::make_unique<gui::TUtilWindow>([this](gui::TMessage& m) { UtilityWindowMessage(m); });
        rehookPending_ = true;
        PostMessageA(UtilityWindow(), RehookMessage, 0, reinterpret_cast<LPARAM>(this));
        return;
      }
      break;
  }
  rtl::TAliveToken alive = AliveToken();
  inherited::HookWndProc(m);
  if (!alive) return;
  switch (m.Msg) {
    case WM_SETICON:
      smallIcon_.Reset();  // the icon may be a new one under an old handle
      PaintCaption(IsCaptionActive());
      break;
    case WM_SETTEXT:
      // The platform has just drawn its own caption with the new text.
      if (IsWindowVisible(HookedHandle())) PaintCaption(IsCaptionActive());
      break;
    case WM_SYSCOLORCHANGE:
    case WM_WININICHANGE:
    case WM_DISPLAYCHANGE: SettingsChanged(); break;
  }
}

void TGxFormStyler::WMNCPaint(gui::TMessage& m) {
  RECT painted = PaintCaption(IsCaptionActive());
  // The platform paints the rest of the update region (borders, menu bar), not the caption.
  RECT window;
  GetWindowRect(HookedHandle(), &window);
  gui::TRegionHandle rest(CreateRectRgn(window.left, window.top, window.right, window.bottom));
  auto update = reinterpret_cast<HRGN>(m.WParam);
  if (m.WParam > 1 && GetObjectType(update) == OBJ_REGION) CombineRgn(rest, update, nullptr, RGN_COPY);
  if (!IsRectEmpty(&painted)) {
    OffsetRect(&painted, window.left, window.top);  // the update region is in screen coordinates
    gui::TRegionHandle caption(CreateRectRgn(painted.left, painted.top, painted.right, painted.bottom));
    CombineRgn(rest, rest, caption, RGN_DIFF);
  }
  m.Answer(CallPrevWndProc(WM_NCPAINT, reinterpret_cast<WPARAM>(rest.Get()), m.LParam));
}

void TGxFormStyler::WMNCActivate(gui::TMessage& m) {
  activeState_ = m.WParam != 0;
  activeKnown_ = true;
  // The platform would draw its own caption: only the frame is invalidated, and the caption
  // repainted from the non-client paint. RedrawWindow takes client coordinates, in which the
  // caption lies above and left of the origin.
  HWND wnd = HookedHandle();
  RECT caption = GetCaptionRect(), window;
  POINT client{0, 0};
  GetWindowRect(wnd, &window);
  ClientToScreen(wnd, &client);
  OffsetRect(&caption, window.left - client.x, window.top - client.y);
  RedrawWindow(wnd, &caption, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
  m.Answer(TRUE);
}

bool TGxFormStyler::WMSetCursor(gui::TMessage& m) {
  LPCSTR cursor;
  switch (static_cast<short>(LOWORD(m.LParam))) {
    case HTLEFT:
    case HTRIGHT: cursor = IDC_SIZEWE; break;
    case HTTOP:
    case HTBOTTOM: cursor = IDC_SIZENS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: cursor = IDC_SIZENWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: cursor = IDC_SIZENESW; break;
    default: return false;
  }
  SetCursor(LoadCursorA(nullptr, cursor));
  m.Answer(TRUE);
  return true;
}

void TGxFormStyler::SettingsChanged() {
  smallIcon_.Reset();  // the small icon's size may have changed
  captionBitmap_.Reset();  // and the display's depth
  displayDepth_ = 0;
  LoadCaptionFont(*captionFont_);
  for (TGxCompanyText* t : {static_cast<TGxCompanyText*>(appNameText_.get()), static_cast<TGxCompanyText*>(captionText_.get()),
                            companyText_.get()})
    t->ApplyFontKind(t->FontKind());
  RedrawFrame();
}

void TGxFormStyler::UtilityWindowMessage(gui::TMessage& m) {
  // Any program may post this number: only the styler's own request, while it waits, is taken.
  if (m.Msg != RehookMessage) return;
  m.Answer(0);
  if (!rehookPending_ || m.LParam != reinterpret_cast<LPARAM>(this)) return;
  rehookPending_ = false;
  Rehook();
}

void TGxFormStyler::Rehook() {
  if (OwnerForm()->IsDestroying()) return;
  HookWindow();
  if (GetActiveWindow() == HookedHandle()) activeState_ = true;
  RedrawFrame();
}

bool TGxFormStyler::IsCaptionActive() const {
  if (activeKnown_) return activeState_;
  return GetActiveWindow() == HookedHandle();
}

void TGxFormStyler::RedrawFrame() {
  if (!Hooked()) return;
  SetWindowPos(HookedHandle(), nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// ---------------------------------------------------------------------- fonts and text

void TGxFormStyler::AssignCaptionLogFont(gui::TFont& font, const LOGFONTA& lf) {
  font.SetName(std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE)));
  // A positive height is a cell height, which the font's Height holds the same way.
  font.SetHeight(lf.lfHeight);
  gui::TFontStyles style = 0;
  if (lf.lfItalic) style |= gui::FontStyle(gui::fsItalic);
  if (lf.lfWeight > FW_MEDIUM) style |= gui::FontStyle(gui::fsBold);
  font.SetStyle(style);
  font.SetPitch(gui::fpDefault);
}

void TGxFormStyler::LoadCaptionFont(gui::TFont& font) {
  LOGFONTA system{};
  GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system);
  // Every attribute of the stock font: those a caption font gives, then the rest.
  AssignCaptionLogFont(font, system);
  gui::TFontStyles style = font.Style();
  if (system.lfUnderline) style |= gui::FontStyle(gui::fsUnderline);
  if (system.lfStrikeOut) style |= gui::FontStyle(gui::fsStrikeOut);
  font.SetStyle(style);
  font.SetCharset(system.lfCharSet);
  int pitch = system.lfPitchAndFamily & 3;
  font.SetPitch(pitch == FIXED_PITCH ? gui::fpFixed : pitch == VARIABLE_PITCH ? gui::fpVariable : gui::fpDefault);
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = kNonClientMetricsSize;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) return;
  AssignCaptionLogFont(font, metrics.lfCaptionFont);
}

void TGxFormStyler::FitFontHeight(gui::TFont& font) {
  gui::TMemoryDC dc;
  gui::TBitmapHandle canvas(CreateCompatibleBitmap(dc, 10, 10));
  gui::TSelectObject onCanvas(dc, canvas);
  auto characterHeight = [&dc](gui::TFont& f) {
    gui::TSelectObject selected(dc, f.Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    return static_cast<int>(tm.tmHeight - tm.tmInternalLeading);
  };
  int wanted = characterHeight(*captionFont_);
  int e1 = characterHeight(font);
  // Moves the character height by `by` pixels, whichever way the height is given: negative as
  // a character height, positive as a cell height, 0 as the default size (measured as e1).
  auto adjust = [&font, &e1](int by) {
    int h = font.Height() == 0 ? -e1 : font.Height();
    font.SetHeight(h < 0 ? h - by : h + by);
  };
  adjust(wanted - e1);
  e1 = characterHeight(font);
  if (e1 > wanted) adjust(wanted - e1);  // one correction, downwards only
}

void TGxFormStyler::ComposeWindowText() {
  const TGxCompanyText& company = *companyText_;
  const TGxCompanyText& appName = *appNameText_;
  const TGxCompanyText& caption = *captionText_;
  std::string text;
  if (company.Visible()) {
    text += company.SegmentText();
    if (!company.SegmentText().empty() && (appName.Visible() || caption.Visible())) text += ' ';
  }
  if (appName.Visible()) {
    text += appName.SegmentText();
    if (!appName.SegmentText().empty() && caption.Visible()) text += ' ';
  }
  if (caption.Visible()) text += caption.SegmentText();
  TUpdateLock lock(OwnerForm()->WindowHandle());
  OwnerForm()->SetText(text);
}

}  // namespace styler
