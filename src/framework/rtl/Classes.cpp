#include "Classes.h"

#include <map>

#include "StrUtils.h"

namespace rtl {

const std::string* TIdentMap::NameOf(long long v) const {
  for (auto& e : entries)
    if (e.first == v) return &e.second;
  return nullptr;
}

bool TIdentMap::ValueOf(const std::string& name, long long& v) const {
  for (auto& e : entries)
    if (SameText(e.second, name)) {
      v = e.first;
      return true;
    }
  return false;
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    if (c == &other) return true;
  return false;
}

const TPropInfo* TClassInfo::FindProp(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    for (auto& p : c->Props)
      if (SameText(p.Name, name)) return &p;
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    for (auto& m : c->Methods)
      if (SameText(m.Name, name)) return &m;
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethodByCode(TGenericMethod code) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    for (auto& m : c->Methods)
      if (m.Code == code) return &m;
  return nullptr;
}

const TFieldInfo* TClassInfo::FindField(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    for (auto& f : c->Fields)
      if (SameText(f.Name, name)) return &f;
  return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = this; c; c = c->Parent) chain.push_back(c);
  std::vector<const TPropInfo*> all;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    for (auto& p : (*it)->Props) {
      // A descendant may redeclare a property (to change its default): the last one counts.
      bool replaced = false;
      for (auto& q : all)
        if (SameText(q->Name, p.Name)) {
          q = &p;
          replaced = true;
        }
      if (!replaced) all.push_back(&p);
    }
  return all;
}

static std::map<std::string, const TClassInfo*>& Registry() {
  static std::map<std::string, const TClassInfo*> registry;
  return registry;
}

void RegisterClassInfo(const TClassInfo& info) { Registry()[UpperCase(info.Name)] = &info; }

bool RegisterClassOnce(const TClassInfo& info) { return Registry().emplace(UpperCase(info.Name), &info).second; }

const TClassInfo* FindClassInfo(const std::string& name) {
  auto it = Registry().find(UpperCase(name));
  return it == Registry().end() ? nullptr : it->second;
}

const TClassInfo& TObject::StaticClass() {
  static const TClassInfo info = [] {
    TClassInfo i;
    i.Name = "TObject";
    return i;
  }();
  return info;
}

}  // namespace rtl
