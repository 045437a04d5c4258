// Icons: an icon file image (kept as loaded, so it saves back unchanged) and its HICON.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Guards.h"
#include "rtl/Component.h"
#include "rtl/Streams.h"

namespace gui {

class TIcon : public rtl::TPersistent {
  RTL_CLASS(TIcon, rtl::TPersistent)
 public:
  TIcon() = default;
  ~TIcon() override;
  TIcon(const TIcon&) = delete;
  TIcon& operator=(const TIcon&) = delete;

  HICON Handle() const { return handle_.Get(); }
  bool Empty() const { return !handle_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Icon file format; the image nearest to 32x32 becomes the handle. EInvalidGraphic otherwise.
  void LoadFromStream(rtl::TStream& stream);
  void SaveToStream(rtl::TStream& stream) const;
  void LoadFromResourceID(HINSTANCE instance, int id);
  const std::vector<uint8_t>& Data() const { return data_; }
  // The file's image of the handle made at cx by cy: the picture a copy of the handle scaled to
  // that size gives, without the copy's detour through the handle's bitmaps (a fifth of its
  // time). Made when first asked for and kept while the icon stays; null without a file.
  HICON SmallHandle(int cx, int cy) const;
  void Assign(rtl::TPersistent* source) override;
  void Clear();
  rtl::TNotifyEvent OnChange;

  // The icon file is stored as the binary property "Data".
  void DefineProperties(rtl::TFiler& filer) override;

 private:
  TIconHandle handle_;
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> data_;
  size_t imageOffset_ = 0, imageBytes_ = 0;  // in data_: the image the handle was made from
  mutable TIconHandle small_;
  mutable int smallCx_ = 0, smallCy_ = 0;
};

// The program's icon (its module's icon resource 1), shared: nothing to free; null when the module
// has none.
HICON ProgramIcon();

}  // namespace gui
