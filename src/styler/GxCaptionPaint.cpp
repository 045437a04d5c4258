// The styler's caption painting: the geometry of the caption bar and its buttons, the gradient
// or solid background, the small icon, the caption buttons and the fitting, alignment and
// drawing of the three text segments, composed off screen and shown with one BitBlt.
#include <optional>

#include "GxForm.h"
#include "Bitmap.h"
#include "Canvas.h"
#include "Guards.h"

namespace styler {

namespace {

// Segments are measured and drawn as the platform shows window captions: an "&" is a character.
constexpr UINT kMeasure = DT_CALCRECT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
constexpr UINT kDraw = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
constexpr int kSegmentGap = 3;

bool Has(gui::TBorderIcons icons, gui::TBorderIcon icon) { return (icons & (1u << icon)) != 0; }

}  // namespace

gui::TFormBorderStyle TGxFormStyler::BorderStyle() const { return OwnerForm()->BorderStyle(); }

bool TGxFormStyler::ToolWindow() const {
  gui::TFormBorderStyle bs = BorderStyle();
  return bs == gui::bsToolWindow || bs == gui::bsSizeToolWin;
}

RECT TGxFormStyler::GetCaptionRect() const {
  gui::TFormBorderStyle bs = BorderStyle();
  if (bs == gui::bsNone || !HookedHandle()) return RECT{};
  RECT r;
  GetWindowRect(HookedHandle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  if (IsIconic(HookedHandle()) || (bs != gui::bsSizeable && bs != gui::bsSizeToolWin))
    InflateRect(&r, -GetSystemMetrics(SM_CXDLGFRAME), -GetSystemMetrics(SM_CYDLGFRAME));
  else
    InflateRect(&r, -GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME));
  r.bottom = r.top + GetSystemMetrics(ToolWindow() ? SM_CYSMCAPTION : SM_CYCAPTION) - 1;
  return r;
}

TGxCaptionButtons TGxFormStyler::GetCaptionButtons() const {
  gui::TFormBorderStyle bs = BorderStyle();
  gui::TBorderIcons icons = OwnerForm()->BorderIcons();
  if (bs == gui::bsNone || !Has(icons, gui::biSystemMenu)) return 0;
  if (ToolWindow()) return cbClose;
  TGxCaptionButtons set = cbClose;
  bool help = Has(icons, gui::biHelp), minimize = Has(icons, gui::biMinimize), maximize = Has(icons, gui::biMaximize);
  if (bs == gui::bsDialog && help) set |= cbHelp;
  if ((bs == gui::bsSingle || bs == gui::bsSizeable) && help && !minimize && !maximize) set |= cbHelp;
  if (bs == gui::bsDialog) return set;
  // The platform shows both boxes when either is wanted, the other one greyed.
  if (minimize || maximize) set |= cbMinimize | cbMaximize;
  return set;
}

void TGxFormStyler::ExcludeButtons(RECT& r) const {
  if (BorderStyle() == gui::bsNone) return;
  int w = GetSystemMetrics(ToolWindow() ? SM_CXSMSIZE : SM_CXSIZE);
  TGxCaptionButtons buttons = GetCaptionButtons();
  if (buttons & cbClose) r.right -= w + 2;
  if (buttons & cbMinimize) r.right -= w;
  if (buttons & cbMaximize) r.right -= w;
  if (buttons & cbHelp) r.right -= w + 2;
}

RECT TGxFormStyler::GetTextRect() const {
  RECT r = GetCaptionRect();
  ExcludeButtons(r);
  if (r.left >= r.right) r.right = r.left + 2;
  return r;
}

void TGxFormStyler::FillSolid(HDC dc, COLORREF colour, const RECT& r) {
  // The DC's own brush in the colour: a gradient's bands make and delete no brush each.
  gui::TSelectObject selected(dc, GetStockObject(DC_BRUSH));
  COLORREF before = SetDCBrushColor(dc, colour);
  PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
  SetDCBrushColor(dc, before);
}

void TGxFormStyler::GradientFill(HDC dc, COLORREF from, COLORREF to, const RECT& r, int n) {
  int r0 = GetRValue(from), g0 = GetGValue(from), b0 = GetBValue(from);
  int dr = GetRValue(to) - r0, dg = GetGValue(to) - g0, db = GetBValue(to) - b0;
  int width = r.right - r.left;
  // One brush for all the bands, its colour changed band by band.
  gui::TSelectObject selected(dc, GetStockObject(DC_BRUSH));
  COLORREF before = GetDCBrushColor(dc);
  for (int i = 0; i < n; ++i) {
    int x0 = r.left + MulDiv(i, width, n), x1 = r.left + MulDiv(i + 1, width, n);
    COLORREF band = from;
    if (n > 1)
      band = RGB((r0 + MulDiv(i, dr, n - 1)) & 0xFF, (g0 + MulDiv(i, dg, n - 1)) & 0xFF,
                 (b0 + MulDiv(i, db, n - 1)) & 0xFF);
    SetDCBrushColor(dc, band);
    PatBlt(dc, x0, r.top, x1 - x0, r.bottom - r.top, PATCOPY);
  }
  SetDCBrushColor(dc, before);
}

RECT TGxFormStyler::PaintCaption(bool active) {
  if (BorderStyle() == gui::bsNone || !HookedHandle()) return RECT{};
  gui::TWindowDC windowDc(HookedHandle());
  if (!windowDc) return RECT{};
  return PaintCaptionTo(windowDc, active);
}

RECT TGxFormStyler::PaintCaptionTo(HDC windowDc, bool active) {
  if (BorderStyle() == gui::bsNone) return RECT{};
  std::optional<gui::TMemoryDC> memory;
  try {
    memory.emplace(windowDc);
  } catch (const rtl::EOutOfResources&) {
    return RECT{};
  }
  HDC dc = *memory;
  // GetTextRect's rectangle from the one caption rectangle: the metrics are asked once.
  RECT c = GetCaptionRect(), t = c;
  ExcludeButtons(t);
  if (t.left >= t.right) t.right = t.left + 2;
  // From the window's origin to the caption's bottom-right corner, so both share coordinates.
  HBITMAP bitmap = CaptionBitmap(windowDc, c.right, c.bottom);
  if (!bitmap) return RECT{};
  gui::TSelectObject onBitmap(dc, bitmap);

  COLORREF solid = gui::ColorToRGB(active ? gui::clActiveCaption : gui::clInactiveCaption);
  COLORREF left = gui::ColorToRGB(active ? ClrLeftActive() : ClrLeftInActive());
  COLORREF right = gui::ColorToRGB(active ? ClrRightActive() : ClrRightInActive());
  bool gradient = false;
  switch (options_) {
    case goAlways: gradient = true; break;
    case goNever: gradient = false; break;
    case goActive: gradient = active; break;
    case goSmart: gradient = active ? captionBitmapDepth_ >= 8 : captionBitmapDepth_ > 8; break;
  }
  FillSolid(dc, gradient ? right : solid, c);  // what the buttons leave free
  if (gradient)
    GradientFill(dc, left, right, t, numColors_);
  else
    FillSolid(dc, solid, t);
  gui::TFormBorderStyle bs = BorderStyle();
  if (Has(OwnerForm()->BorderIcons(), gui::biSystemMenu) && (bs == gui::bsSingle || bs == gui::bsSizeable))
    DrawCaptionIcon(dc, t);
  DrawCaptionButtons(dc, c);

  // Fit: the company goes first, then the application name; the caption always stays.
  captionText_->TakeFromWindowText();
  TGxCompanyText& company = *companyText_;
  TGxCompanyText& appName = *appNameText_;
  TGxCompanyText& caption = *captionText_;
  int wc = MeasureTextElement(dc, company, t), wa = MeasureTextElement(dc, appName, t);
  int wt = MeasureTextElement(dc, caption, t);
  int width = t.right - t.left;
  int total = (company.Visible() ? wc : 0) + (appName.Visible() ? wa : 0) + (caption.Visible() ? wt : 0);
  bool showCompany = total < width, showAppName = true;
  if (!showCompany) {
    total = (appName.Visible() ? wa : 0) + (caption.Visible() ? wt : 0);
    showAppName = total < width;
  }
  if (!showAppName) total = wt;
  if (alignment_ == gui::taRightJustify && total < width) t.left = t.right - total;
  if (alignment_ == gui::taCenter && total < width) t.left += (width - total) / 2;
  if (showCompany && !company.SegmentText().empty() && company.Visible()) DrawTextElement(dc, company, active, t);
  if (showAppName && !appName.SegmentText().empty() && appName.Visible()) DrawTextElement(dc, appName, active, t);
  if (caption.Visible()) DrawTextElement(dc, caption, active, t);

  BitBlt(windowDc, c.left, c.top, c.right - c.left, c.bottom - c.top, dc, c.left, c.top, SRCCOPY);
  return c;
}

int TGxFormStyler::TargetDepth(HDC windowDc) {
  if (GetObjectType(windowDc) == OBJ_MEMDC) return gui::ColourDepth(windowDc);
  // A window's DC draws at the display's depth, as a bitmap compatible with it has it; asked
  // once, since asking costs as much as a paint.
  if (!displayDepth_) {
    gui::TBitmapHandle probe(CreateCompatibleBitmap(windowDc, 1, 1));
    BITMAP bm{};
    displayDepth_ = probe && GetObjectA(probe, sizeof bm, &bm) ? bm.bmBitsPixel * bm.bmPlanes : 0;
  }
  return displayDepth_;
}

HBITMAP TGxFormStyler::CaptionBitmap(HDC windowDc, int width, int height) {
  const int depth = TargetDepth(windowDc);
  if (captionBitmap_ && width == captionBitmapWidth_ && height == captionBitmapHeight_ && depth == captionBitmapDepth_)
    return captionBitmap_.Get();
  // At true colour the caption is composed in a section of our own memory: a bitmap of the
  // display's kind lives with the display's server, and every drawing call would go there.
  if (depth >= 24) {
    void* bits = nullptr;
    captionBitmap_.Reset(gui::CreateTopDownSection(width, height, &bits));
  } else {
    captionBitmap_.Reset(CreateCompatibleBitmap(windowDc, width, height));
  }
  captionBitmapWidth_ = width;
  captionBitmapHeight_ = height;
  captionBitmapDepth_ = depth;
  return captionBitmap_.Get();
}

int TGxFormStyler::MeasureTextElement(HDC dc, TGxCompanyText& element, const RECT& t) const {
  gui::TSelectObject font(dc, element.Font().Handle());
  RECT r = t;
  DrawTextA(dc, element.SegmentText().c_str(), -1, &r, kMeasure);
  return r.right - r.left + kSegmentGap;
}

void TGxFormStyler::DrawTextElement(HDC dc, TGxCompanyText& element, bool active, RECT& t) const {
  t.left += kSegmentGap;
  gui::TSaveDC saved(dc);  // colour and mode back afterwards
  SetTextColor(dc, gui::ColorToRGB(active ? element.ColorActive() : element.ColorInactive()));
  SetBkMode(dc, TRANSPARENT);
  gui::TSelectObject font(dc, element.Font().Handle());
  RECT measured = t;
  DrawTextA(dc, element.SegmentText().c_str(), -1, &measured, kMeasure);
  DrawTextA(dc, element.SegmentText().c_str(), -1, &t, kDraw);  // an ellipsis at t.right when too long
  t.left = measured.right;
}

void TGxFormStyler::DrawCaptionIcon(HDC dc, RECT& t) {
  t.left += 1;
  HICON icon = OwnerForm()->Icon().Handle();
  // The program's icon, else the platform's: both shared and fixed for the process, so they are
  // looked up once, when first needed (a lookup costs more than the rest of a paint).
  if (!icon) {
    static const HICON fallback = [] {
      HICON program = gui::ProgramIcon();
      return program ? program : LoadIconA(nullptr, IDI_APPLICATION);
    }();
    icon = fallback;
  }
  if (HICON small = SmallIcon(icon)) DrawIconEx(dc, t.left + 1, t.top + 1, small, 0, 0, 0, nullptr, DI_NORMAL);
  t.left += GetSystemMetrics(SM_CXSMICON) + 1;
}

HICON TGxFormStyler::SmallIcon(HICON icon) {
  int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  if (cx == 0) cx = GetSystemMetrics(SM_CXSIZE);
  if (cy == 0) cy = GetSystemMetrics(SM_CYSIZE);
  // The form's own icon, read from a file, is made small from the file's image: the picture
  // of a copy, at a fifth of its cost (the icon keeps it).
  const gui::TIcon& own = OwnerForm()->Icon();
  if (icon == own.Handle())
    if (HICON small = own.SmallHandle(cx, cy)) return small;
  if (icon == smallIconOf_ && smallIcon_) return smallIcon_;
  // The small image from the icon's own resource when it has one, else the image scaled.
  smallIcon_.Reset(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE)));
  if (!smallIcon_) smallIcon_.Reset(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, 0)));
  smallIconOf_ = icon;
  return smallIcon_;
}

void TGxFormStyler::DrawCaptionButtons(HDC dc, const RECT& c) const {
  RECT b = c;
  InflateRect(&b, -2, -2);
  int w = GetSystemMetrics(ToolWindow() ? SM_CXSMSIZE : SM_CXSIZE) - 2;
  b.left = b.right - w;
  TGxCaptionButtons buttons = GetCaptionButtons();
  gui::TBorderIcons icons = OwnerForm()->BorderIcons();
  HWND wnd = HookedHandle();
  if (buttons & cbClose) {
    DrawFrameControl(dc, &b, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    OffsetRect(&b, -(w + 2), 0);
  }
  if (buttons & cbMaximize) {
    UINT state = IsZoomed(wnd) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX;
    if (!Has(icons, gui::biMaximize)) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &b, DFC_CAPTION, state);
    OffsetRect(&b, -w, 0);
  }
  if (buttons & cbMinimize) {
    UINT state = IsIconic(wnd) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN;
    if (!Has(icons, gui::biMinimize)) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &b, DFC_CAPTION, state);
    OffsetRect(&b, -w, 0);
  }
  if (buttons & cbHelp) DrawFrameControl(dc, &b, DFC_CAPTION, DFCS_CAPTIONHELP);
}

}  // namespace styler
