// Small component classes that exercise every kind of published and defined property.
#pragma once

#include <string>
#include <vector>

#include "rtl/Filer.h"

namespace testing_rtl {

using namespace rtl;

enum TShape { shNone, shCircle, shSquare };
inline const std::vector<std::string> kShapeNames = {"shNone", "shCircle", "shSquare"};
inline const std::vector<std::string> kStyleNames = {"stBold", "stItalic", "stUnderline"};
inline const TIdentMap kColorIdents = {{{0x000000, "clBlack"}, {0x0000FF, "clRed"}, {(long long)0x8000000F, "clBtnFace"}}};

class TLabelText : public TPersistent {
  RTL_CLASS(TLabelText, TPersistent)
 public:
  std::string Caption;
  bool Visible = true;
  static void DeclareProperties(TClassBuilder<TLabelText>& b) {
    b.Str("Caption", &TLabelText::Caption, &TLabelText::Caption);
    b.Bool("Visible", &TLabelText::Visible, &TLabelText::Visible, true);
  }
};

class TThing : public TComponent {
  RTL_CLASS(TThing, TComponent)
 public:
  explicit TThing(TComponent* owner) : TComponent(owner) { ++alive; }
  ~TThing() override {
    --alive;
    destroyed.push_back(Name());
  }
  void BeforeDestruction() override { beforeDestruction.push_back(Name() + ":" + ClassName()); }

  int Width = 0;
  int HorizontalMargin = 0;  // a name longer than any value tag
  long long Color = 0;
  bool Flag = true;
  TShape Shape = shNone;
  unsigned Styles = 0;
  std::string Caption;
  TLabelText Text;
  TThing* Buddy() const { return buddy_; }
  void SetBuddy(TThing* b) { buddy_.Set(b); }
  TNotifyEvent OnClick;
  std::string Data;  // a defined binary property
  std::vector<std::string> Lines;  // a defined list with a dotted name, as "Items.Strings"

  int loadedCalls = 0;
  bool buddySetWhenLoaded = false;
  std::string captionWhenLoaded;
  void Loaded() override {
    TComponent::Loaded();
    ++loadedCalls;
    buddySetWhenLoaded = buddy_ != nullptr;
    captionWhenLoaded = Caption;
  }
  void DefineProperties(TFiler& filer) override {
    TComponent::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { Data.resize(static_cast<size_t>(s.Size())); s.ReadBuffer(Data.data(), s.Size()); },
        [this](TStream& s) { s.WriteBuffer(Data.data(), static_cast<long long>(Data.size())); }, !Data.empty());
    filer.DefineProperty(
        "Lines.Strings",
        [this](TReader& r) {
          Lines.clear();
          r.ReadListBegin();
          while (!r.EndOfList()) Lines.push_back(r.ReadString());
          r.ReadListEnd();
        },
        [this](TWriter& w) {
          w.WriteListBegin();
          for (auto& l : Lines) w.WriteString(l);
          w.WriteListEnd();
        },
        !Lines.empty());
  }
  TLabelText* GetText() const { return const_cast<TLabelText*>(&Text); }

  static void DeclareProperties(TClassBuilder<TThing>& b) {
    b.Int("Width", &TThing::Width, &TThing::Width, 0);
    b.Int("HorizontalMargin", &TThing::HorizontalMargin, &TThing::HorizontalMargin, 0);
    b.Int("Color", &TThing::Color, &TThing::Color, 0).Idents = &kColorIdents;
    b.Bool("Flag", &TThing::Flag, &TThing::Flag, true);
    b.Enum("Shape", kShapeNames, &TThing::Shape, &TThing::Shape, shNone);
    b.Set("Styles", kStyleNames, &TThing::Styles, &TThing::Styles, 0);
    b.Str("Caption", &TThing::Caption, &TThing::Caption);
    b.Object("Text", &TThing::GetText);
    b.Ref<TThing>("Buddy", &TThing::Buddy, &TThing::SetBuddy);
    b.Event("OnClick", &TThing::OnClick);
    b.IntReadOnly("Area", [](const TThing* t) { return t->Width * 2; });
  }

  static inline int alive = 0;
  static inline std::vector<std::string> destroyed;
  static inline std::vector<std::string> beforeDestruction;

 private:
  TComponentRef<TThing> buddy_{*this};
};

class TRoot : public TComponent {
  RTL_CLASS(TRoot, TComponent)
 public:
  explicit TRoot(TComponent* owner) : TComponent(owner) {}
  TThing* First = nullptr;
  int clicks = 0;
  void FirstClick(TObject*) { ++clicks; }
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override {
    for (int i = 0; i < ComponentCount(); ++i) proc(Components(i));
  }
  static void DeclareProperties(TClassBuilder<TRoot>& b) {
    b.Method("FirstClick", &TRoot::FirstClick);
    b.Field("First", &TRoot::First);
  }
};

}  // namespace testing_rtl
