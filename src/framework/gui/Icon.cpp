#include "Icon.h"

#include "rtl/Filer.h"

namespace gui {

RTL_IMPLEMENT_CLASS(TIcon);

namespace {
#pragma pack(push, 1)
struct IconDir {
  WORD reserved, type, count;
};
struct IconDirEntry {
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes, offset;
};
#pragma pack(pop)
}  // namespace

TIcon::~TIcon() { Clear(); }

void TIcon::Clear() {
  handle_.Reset();
  small_.Reset();
  data_.clear();
  imageOffset_ = imageBytes_ = 0;
  width_ = height_ = 0;
}

void TIcon::LoadFromStream(rtl::TStream& stream) {
  long long n = stream.Size() - stream.Position();
  std::vector<uint8_t> data(static_cast<size_t>(n > 0 ? n : 0));
  stream.ReadBuffer(data.data(), static_cast<long long>(data.size()));
  const auto* dir = reinterpret_cast<const IconDir*>(data.data());
  if (data.size() < sizeof(IconDir) || dir->reserved != 0 || dir->type != 1 || dir->count == 0 ||
      data.size() < sizeof(IconDir) + dir->count * sizeof(IconDirEntry))
    throw rtl::EInvalidGraphic("Icon image is not valid");
  const auto* entries = reinterpret_cast<const IconDirEntry*>(data.data() + sizeof(IconDir));
  int best = -1, bestScore = 1 << 30;
  for (int i = 0; i < dir->count; ++i) {
    const IconDirEntry& e = entries[i];
    if (e.offset > data.size() || e.bytes > data.size() - e.offset || e.bytes == 0) continue;
    int w = e.width ? e.width : 256;
    int score = std::abs(w - 32);
    if (score < bestScore) best = i, bestScore = score;
  }
  if (best < 0) throw rtl::EInvalidGraphic("Icon image is not valid");
  const IconDirEntry& e = entries[best];
  int w = e.width ? e.width : 256, h = e.height ? e.height : 256;
  TIconHandle icon(CreateIconFromResourceEx(data.data() + e.offset, e.bytes, TRUE, 0x00030000, w, h, LR_DEFAULTCOLOR));
  if (!icon) throw rtl::EInvalidGraphic("Icon image is not valid");
  Clear();
  handle_ = std::move(icon);
  width_ = w;
  height_ = h;
  data_ = std::move(data);
  imageOffset_ = e.offset;
  imageBytes_ = e.bytes;
  OnChange(this);
}

HICON TIcon::SmallHandle(int cx, int cy) const {
  if (!imageBytes_ || cx <= 0 || cy <= 0) return nullptr;
  if (small_ && cx == smallCx_ && cy == smallCy_) return small_.Get();
  small_.Reset(CreateIconFromResourceEx(const_cast<uint8_t*>(data_.data() + imageOffset_),
                                        static_cast<DWORD>(imageBytes_), TRUE, 0x00030000, cx, cy, LR_DEFAULTCOLOR));
  smallCx_ = cx;
  smallCy_ = cy;
  return small_.Get();
}

void TIcon::SaveToStream(rtl::TStream& stream) const {
  stream.WriteBuffer(data_.data(), static_cast<long long>(data_.size()));
}

void TIcon::LoadFromResourceID(HINSTANCE instance, int id) {
  TIconHandle icon(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0)));
  if (!icon) throw rtl::EInvalidGraphic("Icon image is not valid");
  Clear();
  handle_ = std::move(icon);
  width_ = height_ = 32;
  OnChange(this);
}

void TIcon::Assign(rtl::TPersistent* source) {
  if (!source) {
    Clear();
    OnChange(this);
    return;
  }
  auto* other = rtl::As<TIcon>(source);
  if (!other) return rtl::TPersistent::Assign(source);
  if (other == this) return;
  if (!other->data_.empty()) {
    rtl::TReadOnlyMemoryStream s(other->data_.data(), static_cast<long long>(other->data_.size()));
    LoadFromStream(s);
  } else {
    Clear();
    if (other->handle_) {
      handle_.Reset(CopyIcon(other->handle_));
      width_ = other->width_;
      height_ = other->height_;
    }
    OnChange(this);
  }
}

void TIcon::DefineProperties(rtl::TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](rtl::TStream& s) { LoadFromStream(s); }, [this](rtl::TStream& s) { SaveToStream(s); },
      !data_.empty());
}

HICON ProgramIcon() {
  // Looked up once: fixed for the process, and a lookup costs about as much as a caption's paint.
  static const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  return icon;
}

}  // namespace gui
