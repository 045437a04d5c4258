// The MRU list on its own: newest first, a text already there moving to the front as now written
// (letter case by the user's locale, accented letters too), the oldest dropping out beyond
// MaxItems, and a capacity of 0 or less emptying it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/EcMRU.h"

using ec::TEcMRUList;

namespace {

std::vector<std::string> Texts(const TEcMRUList& l) {
  std::vector<std::string> t;
  for (int i = 0; i < l.Count(); ++i) t.push_back(l.Items().Strings(i));
  return t;
}

struct Tag : rtl::TObject {};

}  // namespace

TEST(MRUList, KeepsTheNewestFirstWithinItsCapacity) {
  TEcMRUList l;
  EXPECT_EQ(l.MaxItems(), 3);
  Tag a, b, c, d;
  l.AddToList("a", &a);
  l.AddToList("b", &b);
  l.AddToList("c", &c);
  l.AddToList("d", &d);
  EXPECT_EQ(Texts(l), (std::vector<std::string>{"d", "c", "b"}));
  EXPECT_EQ(l.Items().Objects(0), static_cast<rtl::TObject*>(&d));
  l.AddToList("b", &a);  // moves to the front with what it is given now
  EXPECT_EQ(Texts(l), (std::vector<std::string>{"b", "d", "c"}));
  EXPECT_EQ(l.Items().Objects(0), static_cast<rtl::TObject*>(&a));
  l.SetMaxItems(2);
  EXPECT_EQ(Texts(l), (std::vector<std::string>{"b", "d"}));
  l.SetMaxItems(0);
  EXPECT_EQ(l.Count(), 0);
  l.AddToList("e", nullptr);
  EXPECT_EQ(l.Count(), 0) << "no room at all";
  l.SetMaxItems(-1);
  l.AddToList("e", nullptr);
  EXPECT_EQ(l.Count(), 0);
}

TEST(MRUList, LetterCaseIsTheLocalesAndTheNewSpellingStays) {
  TEcMRUList l;
  l.AddToList("Alpha Net", nullptr);
  l.AddToList("Beta", nullptr);
  l.AddToList("ALPHA NET", nullptr);
  EXPECT_EQ(Texts(l), (std::vector<std::string>{"ALPHA NET", "Beta"}));
  // Beyond ASCII: the code page's A with diaeresis in both cases is one letter.
  l.AddToList("\xC4rger", nullptr);
  l.AddToList("\xE4rger", nullptr);
  EXPECT_EQ(Texts(l), (std::vector<std::string>{"\xE4rger", "ALPHA NET", "Beta"}));
  EXPECT_TRUE(TEcMRUList::SameTextLocale("\xC4rger", "\xE4RGER"));
  EXPECT_FALSE(TEcMRUList::SameTextLocale("Arger", "\xC4rger"));
  l.ClearList();
  EXPECT_EQ(l.Count(), 0);
}
