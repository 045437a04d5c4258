// Form resources: write, read back, text form, references, events, end of loading, bad input.
#include <gtest/gtest.h>

#include "TestClasses.h"
#include "rtl/FormText.h"

using namespace rtl;
using namespace testing_rtl;

namespace {

std::unique_ptr<TRoot> MakeSample() {
  auto root = std::make_unique<TRoot>(nullptr);
  root->SetName("Root1");
  auto* a = new TThing(root.get());
  a->SetName("First");
  auto* b = new TThing(root.get());
  b->SetName("Second");
  a->Width = 300;          // Int16
  a->HorizontalMargin = 4; // its name's length byte is above every value tag
  b->Width = -100000;      // Int32
  a->Color = 0x0000FF;     // written as an identifier
  b->Color = 0x123456;     // no identifier: an integer
  a->Flag = false;
  a->Shape = shSquare;
  a->Styles = 0b101;
  a->Caption = std::string("It's ") + '\xA9' + " 2026";
  b->Caption.assign(300, 'x');  // long string form
  a->Text.Caption = "Sub";
  a->Text.Visible = false;
  a->SetBuddy(b);
  b->SetBuddy(a);
  a->OnClick.Bind(root.get(), &TRoot::FirstClick);
  a->Data = std::string("\x00\x01\x02\xFF", 4);
  a->Lines = {"one", "two"};
  b->SetDesignPosition(16, 96);
  return root;
}

std::vector<uint8_t> Write(TComponent* root) {
  TMemoryStream s;
  WriteComponentToStream(s, root);
  return s.Bytes();
}

}  // namespace

TEST(FormResource, RoundTripRestoresEveryPropertyAndResolvesReferences) {
  auto original = MakeSample();
  auto bytes = Write(original.get());

  TRoot copy(nullptr);
  TMemoryStream in(bytes);
  ReadComponentFromStream(in, &copy);

  ASSERT_EQ(copy.ComponentCount(), 2);
  auto* a = static_cast<TThing*>(copy.FindComponent("First"));
  auto* b = static_cast<TThing*>(copy.FindComponent("Second"));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(copy.Name(), "Root1");
  EXPECT_EQ(copy.First, a) << "the root's field receives the component of that name";
  EXPECT_EQ(a->Width, 300);
  EXPECT_EQ(a->HorizontalMargin, 4);
  EXPECT_EQ(b->Width, -100000);
  EXPECT_EQ(a->Color, 0x0000FF);
  EXPECT_EQ(b->Color, 0x123456);
  EXPECT_FALSE(a->Flag);
  EXPECT_TRUE(b->Flag);
  EXPECT_EQ(a->Shape, shSquare);
  EXPECT_EQ(a->Styles, 0b101u);
  EXPECT_EQ(a->Caption, std::string("It's ") + '\xA9' + " 2026");
  EXPECT_EQ(b->Caption, std::string(300, 'x'));
  EXPECT_EQ(a->Text.Caption, "Sub");
  EXPECT_FALSE(a->Text.Visible);
  EXPECT_EQ(a->Buddy(), b);
  EXPECT_EQ(b->Buddy(), a);
  EXPECT_EQ(a->Data, std::string("\x00\x01\x02\xFF", 4));
  EXPECT_EQ(a->Lines, (std::vector<std::string>{"one", "two"})) << "a defined property with a dotted name";
  EXPECT_EQ(b->DesignLeft(), 16);
  EXPECT_EQ(b->DesignTop(), 96);

  ASSERT_TRUE(a->OnClick);
  a->OnClick(a);
  EXPECT_EQ(copy.clicks, 1) << "the event is bound to the new root's method";

  // Writing the copy gives the same bytes: the encoding is exact.
  EXPECT_EQ(Write(&copy), bytes);
}

TEST(FormResource, EndOfLoadingRunsOncePerComponentAfterAllProperties) {
  auto original = MakeSample();
  TRoot copy(nullptr);
  TMemoryStream in(Write(original.get()));
  ReadComponentFromStream(in, &copy);
  for (int i = 0; i < copy.ComponentCount(); ++i) {
    auto* t = static_cast<TThing*>(copy.Components(i));
    EXPECT_EQ(t->loadedCalls, 1) << t->Name();
    // Second refers back to First, which is read before it: both see resolved references.
    EXPECT_TRUE(t->buddySetWhenLoaded) << t->Name();
    EXPECT_FALSE(t->IsLoading());
  }
  EXPECT_EQ(static_cast<TThing*>(copy.Components(0))->captionWhenLoaded, std::string("It's ") + '\xA9' + " 2026");
}

TEST(FormResource, DefaultsAreNotStored) {
  TRoot root(nullptr);
  root.SetName("R");
  auto* t = new TThing(&root);
  t->SetName("T");
  std::string text;
  TMemoryStream s(Write(&root));
  text = ObjectBinaryToText(s);
  EXPECT_EQ(text, "object R: TRoot\n  object T: TThing\n  end\nend\n");
}

TEST(FormResource, TextFormCompilesToTheWriterEncoding) {
  auto original = MakeSample();
  auto bytes = Write(original.get());
  TMemoryStream in(bytes);
  std::string text = ObjectBinaryToText(in);
  EXPECT_NE(text.find("Caption = 'It''s '#169' 2026'"), std::string::npos) << text;
  EXPECT_NE(text.find("Color = clRed"), std::string::npos);
  EXPECT_NE(text.find("Styles = [stBold, stUnderline]"), std::string::npos);
  EXPECT_NE(text.find("Text.Caption = 'Sub'"), std::string::npos);
  EXPECT_NE(text.find("OnClick = FirstClick"), std::string::npos);
  EXPECT_NE(text.find("Data = {"), std::string::npos);
  EXPECT_NE(text.find("Lines.Strings = ( 'one' 'two' )"), std::string::npos) << "a list's strings stay apart";

  TMemoryStream again;
  ObjectTextToBinary(text, again);
  EXPECT_EQ(again.Bytes(), bytes);
}

TEST(FormResource, QuotedPartsJoinWhenTheyTouchOrAcrossAPlusAndListStringsStayApart) {
  TMemoryStream bin;
  ObjectTextToBinary(
      "object R: TRoot\n  object T: TThing\n    Caption = 'a''b'#67 +\n      'd'\n"
      "    Lines.Strings = (\n      'one'\n      'two' 'three')\n  end\nend\n",
      bin);
  bin.SetPosition(0);
  TRoot root(nullptr);
  ReadComponentFromStream(bin, &root);
  auto* t = static_cast<TThing*>(root.FindComponent("T"));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Caption, "a'bCd");
  EXPECT_EQ(t->Lines, (std::vector<std::string>{"one", "two", "three"}));
}

TEST(FormResource, TextSyntaxErrorsNameTheLine) {
  TMemoryStream out;
  try {
    ObjectTextToBinary("object A: TRoot\n  Width = 'open\nend\n", out);
    FAIL();
  } catch (const EParserError& e) {
    EXPECT_STREQ(e.what(), "Line 2: unterminated string");
  }
  EXPECT_THROW(ObjectTextToBinary("object A: TRoot\n", out), EParserError);
  EXPECT_THROW(ObjectTextToBinary("object A: TRoot\nend\nend\n", out), EParserError);
  EXPECT_THROW(ObjectTextToBinary("object A: TRoot\n X = { 0 }\nend\n", out), EParserError);
}

TEST(FormResource, BadResourcesFailWithClearErrors) {
  auto read = [](const std::string& text) {
    TMemoryStream bin;
    ObjectTextToBinary(text, bin);
    bin.SetPosition(0);
    TRoot root(nullptr);
    ReadComponentFromStream(bin, &root);
  };
  auto message = [&](const std::string& text) {
    try {
      read(text);
    } catch (const Exception& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message("object R: TRoot\n object T: TNoSuchClass\n end\nend"), "Class TNoSuchClass not found");
  EXPECT_EQ(message("object R: TRoot\n object T: TThing\n Height = 3\n end\nend"), "Property Height does not exist");
  EXPECT_EQ(message("object R: TRoot\n object T: TThing\n Width = 'x'\n end\nend"), "Invalid property value");
  EXPECT_EQ(message("object R: TRoot\n object T: TThing\n Area = 4\n end\nend"), "Property Area is read-only");
  EXPECT_EQ(message("object R: TRoot\n object T: TThing\n Shape = shOval\n end\nend"), "Invalid property value");
  EXPECT_EQ(message("object R: TRoot\n object T: TThing\n Buddy = Nobody\n end\nend"), "Component Nobody not found");
  EXPECT_EQ(message("object R: TRoot\n object T: TThing\n OnClick = Missing\n end\nend"), "Method Missing not found");
  EXPECT_EQ(message("object R: TRoot\n object T: TThing\n end\n object T: TThing\n end\nend"),
            "A component named T already exists");
  EXPECT_EQ(message("object R: TRoot\n object 9: TThing\n end\nend"), "Line 2: identifier expected");

  // Truncated binary at every length: a read error, never a crash.
  auto bytes = Write(MakeSample().get());
  for (size_t n = 0; n < bytes.size(); ++n) {
    TMemoryStream s(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(n)));
    TRoot root(nullptr);
    EXPECT_THROW(ReadComponentFromStream(s, &root), EStreamError) << n;
  }
}

TEST(FormResource, NestingDeeperThanAnyFormIsRefusedNotFollowedDownTheStack) {
  auto nested = [](int lists) { return std::string(size_t(lists), '(') + std::string(size_t(lists), ')'); };
  // Text: lists and objects.
  TMemoryStream out;
  try {
    ObjectTextToBinary("object R: TRoot\n X = " + nested(100000) + "\nend\n", out);
    FAIL() << "parsed";
  } catch (const EParserError& e) {
    EXPECT_STREQ(e.what(), "Line 2: nested too deeply");
  }
  std::string objects = "object R: TRoot\n";
  for (int i = 0; i < kMaxNesting; ++i) objects += "object T" + std::to_string(i) + ": TThing\n";
  for (int i = 0; i <= kMaxNesting; ++i) objects += "end\n";
  TMemoryStream ignored;
  EXPECT_THROW(ObjectTextToBinary(objects, ignored), EParserError) << "one object more than the limit";

  // Binary, as the printer and the reader meet it.
  auto binary = [](int lists, int objects) {
    TMemoryStream bin;
    bin.WriteBuffer(kFormSignature, sizeof kFormSignature);
    TWriter w(bin);
    w.WriteStr("TRoot");
    w.WriteStr("R");
    if (lists > 0) {
      w.WriteStr("Items");
      for (int i = 0; i < lists; ++i) w.WriteListBegin();
      for (int i = 0; i < lists; ++i) w.WriteListEnd();
    }
    w.WriteListEnd();  // the root's properties
    for (int i = 0; i < objects; ++i) {
      w.WriteStr("TThing");
      w.WriteStr("T" + std::to_string(i));
      w.WriteListEnd();  // no properties
    }
    for (int i = 0; i < objects; ++i) w.WriteListEnd();  // no more children
    w.WriteListEnd();  // the root's children
    bin.SetPosition(0);
    return bin;
  };
  auto print = [&](int lists, int objects) {
    TMemoryStream bin = binary(lists, objects);
    try {
      ObjectBinaryToText(bin);
    } catch (const EReadError& e) {
      return std::string(e.what());
    }
    return std::string("printed");
  };
  EXPECT_EQ(print(100000, 0), "Invalid stream format");
  EXPECT_EQ(print(0, 100000), "Invalid stream format");
  EXPECT_EQ(print(kMaxNesting - 1, kMaxNesting - 1), "printed") << "as deep as any form may be";
  TMemoryStream deepObjects = binary(0, 100000);
  TRoot root(nullptr);
  try {
    ReadComponentFromStream(deepObjects, &root);
    FAIL() << "read";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Invalid stream format");
  }
}
