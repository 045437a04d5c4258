// The bitmap list: change notification, the observer link and the "ListItems" stream.
#include <gtest/gtest.h>

#include <cstring>
#include <typeinfo>
#include <string>
#include <vector>

#include "BitmapBtnTest.h"
#include "FormStreams.h"
#include "bitmapbtn/GxBmpLst.h"

using namespace bitmapbtn;

namespace {

struct Log : rtl::TObject {
  std::vector<std::string> lines;
  void Changing(rtl::TObject*) { lines.push_back("changing"); }
  void Changed(rtl::TObject*) { lines.push_back("changed"); }
};

// An observer that writes its name into a log when updated.
struct NamedObserver : rtl::TObject {
  NamedObserver(std::string n, std::vector<std::string>& l) : name(std::move(n)), log(l) {
    observer.OnUpdate.Bind(this, &NamedObserver::Update);
  }
  void Update(rtl::TObject* sender, rtl::TObject* data) { log.push_back(name); }
  std::string name;
  std::vector<std::string>& log;
  TGxObserver observer;
};

std::unique_ptr<gui::TBitmap> Picture(int w, int h, gui::TColor c) {
  auto b = std::make_unique<gui::TBitmap>();
  b->SetSize(w, h);
  b->Canvas().Brush().SetColor(c);
  b->Canvas().FillRect(RECT{0, 0, w, h});
  b->Dormant();
  return b;
}

std::string ListBytes(TGxBitmapList& list) {
  rtl::TMemoryStream s;
  list.WriteData(s);
  return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

void Read(TGxBitmapList& list, const std::string& bytes) {
  rtl::TMemoryStream s(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  list.ReadData(s);
}

// "Class: message" of what reading raises; the class by its exact type.
std::string ReadError(TGxBitmapList& list, const std::string& bytes) {
  try {
    Read(list, bytes);
  } catch (const rtl::Exception& e) {
    const std::type_info& t = typeid(e);
    const char* name = t == typeid(rtl::EStreamError)     ? "EStreamError"
                       : t == typeid(rtl::EReadError)     ? "EReadError"
                       : t == typeid(rtl::EInvalidGraphic) ? "EInvalidGraphic"
                                                           : t.name();
    return std::string(name) + ": " + e.Message();
  }
  return "no error";
}

std::string Int32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

}  // namespace

TEST(BitmapList, BulkChangesNotifyOnceAndSingleChangesEachTime) {
  TGxBitmapList list(nullptr);
  Log log;
  list.OnChanging.Bind(&log, &Log::Changing);
  list.OnChange.Bind(&log, &Log::Changed);
  std::vector<std::string> updates;
  NamedObserver o("observer", updates);
  list.AddObserver(&o.observer);

  auto red = Picture(4, 4, gui::clRed);
  list.Add(red.get());
  EXPECT_EQ(log.lines, (std::vector<std::string>{"changing", "changed"}));
  list.Add(red.get());
  list.Insert(0, red.get());
  EXPECT_EQ(list.Count(), 3);
  EXPECT_NE(list.GetBitmap(0), red.get()) << "the list keeps copies";

  log.lines.clear();
  updates.clear();
  list.Clear();
  EXPECT_EQ(log.lines, (std::vector<std::string>{"changing", "changed"}));
  EXPECT_EQ(updates, (std::vector<std::string>{"observer"}));

  log.lines.clear();
  list.BeginUpdate();
  list.Add(red.get());
  list.Add(red.get());
  EXPECT_EQ(log.lines, (std::vector<std::string>{"changing"})) << "OnChanging at the outermost BeginUpdate only";
  list.EndUpdate();
  EXPECT_EQ(log.lines, (std::vector<std::string>{"changing", "changed"}));

  // A change made directly to a stored bitmap reaches the list, unless an update is open.
  log.lines.clear();
  list.GetBitmap(1)->Canvas().SetPixel(0, 0, gui::clBlue);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"changed"}));
  list.BeginUpdate();
  log.lines.clear();
  list.GetBitmap(1)->Canvas().SetPixel(1, 0, gui::clBlue);
  EXPECT_TRUE(log.lines.empty());
  list.EndUpdate();
}

TEST(BitmapList, ObserversAreCalledLastAttachedFirstAndMoveBetweenLists) {
  TGxBitmapList first(nullptr), second(nullptr);
  std::vector<std::string> updates;
  NamedObserver a("a", updates), b("b", updates), c("c", updates);
  first.AddObserver(&a.observer);
  first.AddObserver(&b.observer);
  first.AddObserver(&c.observer);
  auto pic = Picture(2, 2, gui::clRed);
  first.Add(pic.get());
  EXPECT_EQ(updates, (std::vector<std::string>{"c", "b", "a"}));

  second.AddObserver(&b.observer);
  updates.clear();
  first.Delete(0);
  EXPECT_EQ(updates, (std::vector<std::string>{"c", "a"})) << "b moved to the second list";
  updates.clear();
  second.Add(pic.get());
  EXPECT_EQ(updates, (std::vector<std::string>{"b"}));

  first.RemoveObserver(&b.observer);  // not attached there: nothing happens
  updates.clear();
  second.Clear();
  EXPECT_EQ(updates, (std::vector<std::string>{"b"}));
  {
    TGxBitmapList gone(nullptr);
    gone.AddObserver(&c.observer);
  }
  EXPECT_EQ(c.observer.Observable(), nullptr) << "a destroyed list detaches its observers";
}

TEST(BitmapList, IndexErrorsLeaveTheListUnchanged) {
  TGxBitmapList list(nullptr);
  auto pic = Picture(2, 2, gui::clRed);
  list.Add(pic.get());
  auto message = [&](auto f) {
    try {
      f();
    } catch (const rtl::EListError& e) {
      return e.Message();
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([&] { list.GetBitmap(5); }), "List index out of bounds (5)");
  EXPECT_EQ(message([&] { list.Delete(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(message([&] { list.Insert(2, pic.get()); }), "List index out of bounds (2)");
  EXPECT_EQ(message([&] { list.SetBitmap(1, nullptr); }), "List index out of bounds (1)");
  EXPECT_EQ(list.Count(), 1);
}

TEST(BitmapList, AssignCopiesAnotherListAndRefusesOtherClasses) {
  TGxBitmapList a(nullptr), b(nullptr);
  auto red = Picture(3, 2, gui::clRed), blue = Picture(5, 4, gui::clBlue);
  a.Add(red.get());
  a.Add(blue.get());
  b.Add(red.get());
  Log log;
  b.OnChange.Bind(&log, &Log::Changed);
  b.Assign(&a);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"changed"}));
  ASSERT_EQ(b.Count(), 2);
  EXPECT_EQ(b.GetBitmap(1)->Width(), 5);
  a.Assign(&a);
  EXPECT_EQ(a.Count(), 2) << "assigning a list to itself keeps its images";
  a.AddList(&a);
  EXPECT_EQ(a.Count(), 4) << "appending a list to itself doubles it once";
  TGxBevel bevel;
  EXPECT_THROW(a.Assign(&bevel), rtl::EConvertError);
  a.Assign(nullptr);
  EXPECT_EQ(a.Count(), 0);
}

TEST(BitmapListStream, RoundTripsAndStoresEachImageWithItsLength) {
  TGxBitmapList list(nullptr);
  EXPECT_EQ(ListBytes(list).size(), 8u);
  auto a = Picture(3, 2, gui::clRed), b = Picture(9, 7, gui::clBlue);
  list.Add(a.get());
  list.Add(b.get());
  std::string bytes = ListBytes(list);
  rtl::TMemoryStream own0, own1;
  list.GetBitmap(0)->SaveToStream(own0);
  list.GetBitmap(1)->SaveToStream(own1);
  EXPECT_EQ(bytes.size(), static_cast<size_t>(8 + 4 + own0.Size() + 4 + own1.Size()));
  EXPECT_EQ(bytes.substr(0, 8), "MBML" + Int32(2));
  EXPECT_EQ(bytes.substr(8, 4), Int32(static_cast<int32_t>(own0.Size())));

  TGxBitmapList back(nullptr);
  Read(back, bytes);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.GetBitmap(1)->Width(), 9);
  EXPECT_EQ(back.GetBitmap(1)->Height(), 7);
  EXPECT_EQ(GetBitmapPixel(FreeHandle(*back.GetBitmap(1)), POINT{4, 4}), gui::clBlue);
  EXPECT_EQ(ListBytes(back), bytes);

  // The form writer stores the property only when there is something in it.
  auto text = [](TGxBitmapList& l) { return tsupport::FormText(&l); };
  EXPECT_NE(text(list).find("ListItems"), std::string::npos);
  TGxBitmapList empty(nullptr);
  EXPECT_EQ(text(empty).find("ListItems"), std::string::npos);
}

TEST(BitmapListStream, TheMainWindowValueReadsAsTwoImagesWhateverItsHeadersClaim) {
  std::string value = bmptest::MainListItems();
  ASSERT_EQ(value.size(), 4348u);
  // The second record's file header claims a pixel offset of 182 and a size of 2230.
  uint32_t size, offset;
  std::memcpy(&size, value.data() + 8 + 4 + 2166 + 4 + 2, 4);
  std::memcpy(&offset, value.data() + 8 + 4 + 2166 + 4 + 10, 4);
  EXPECT_EQ(size, 2230u);
  EXPECT_EQ(offset, 182u);

  TGxBitmapList list(nullptr);
  Read(list, value);
  ASSERT_EQ(list.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    gui::TBitmap* b = list.GetBitmap(i);
    EXPECT_EQ(b->Width(), 32);
    EXPECT_EQ(b->Height(), 32);
    // The stored pixels, from byte 118 of the record, straight through the platform.
    const char* record = value.data() + 8 + i * (4 + 2166) + 4;
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(const_cast<char*>(record + 14));
    void* bits = nullptr;
    gui::TBitmapHandle reference(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0));
    std::memcpy(bits, record + 118, 2048);
    HBITMAP loaded = FreeHandle(*b);
    int different = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        different += GetBitmapPixel(loaded, POINT{x, y}) != GetBitmapPixel(reference, POINT{x, y});
    EXPECT_EQ(different, 0) << "image " << i;
  }
}

TEST(BitmapListStream, BadStreamsFailWithTheirMessagesAndKeepWhatWasRead) {
  std::string good = bmptest::MainListItems();
  std::string first = good.substr(8, 4 + 2166);
  TGxBitmapList list(nullptr);
  Log log;
  list.OnChange.Bind(&log, &Log::Changed);

  Read(list, good);
  EXPECT_EQ(ReadError(list, "MBMX" + Int32(0)), "EStreamError: Invalid BitmapList stream");
  EXPECT_EQ(list.Count(), 0) << "cleared before the check";
  EXPECT_EQ(list.UpdateCount(), 0);

  EXPECT_EQ(ReadError(list, "MBM"), "EReadError: Stream read error");
  EXPECT_EQ(ReadError(list, "MBML" + Int32(2)), "EReadError: Stream read error");
  EXPECT_EQ(ReadError(list, good.substr(0, good.size() - 10)), "EReadError: Stream read error");
  EXPECT_EQ(list.Count(), 1) << "the first image stays";
  EXPECT_EQ(ReadError(list, "MBML" + Int32(2) + first + Int32(24) + "NOT A BITMAP FILE AT ALL"), "EInvalidGraphic: Bitmap image is not valid");
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(ReadError(list, "MBML" + Int32(2) + first + Int32(-1)), "EReadError: Stream read error");
  EXPECT_EQ(list.Count(), 1);
  // A damaged length is refused before anything is allocated for it.
  EXPECT_EQ(ReadError(list, "MBML" + Int32(1) + Int32(0x7FFFFFF0) + "BM"), "EReadError: Stream read error");
  EXPECT_EQ(list.UpdateCount(), 0);

  log.lines.clear();
  Read(list, "MBML" + Int32(2) + Int32(0) + first);
  EXPECT_EQ(log.lines.size(), 1u) << "one notification for the whole read";
  ASSERT_EQ(list.Count(), 2);
  EXPECT_TRUE(list.GetBitmap(0)->Empty()) << "a record of length 0 is an empty bitmap";
  EXPECT_EQ(list.GetBitmap(1)->Width(), 32);
  Read(list, "MBML" + Int32(-3));
  EXPECT_EQ(list.Count(), 0);
}
