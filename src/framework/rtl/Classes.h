// Run-time class information: every framework class names its parent, how to create it by
// name, and the properties, methods and fields it publishes to form resources.
#pragma once

#include <bit>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "Events.h"

namespace rtl {

class TObject;
class TComponent;
struct TClassInfo;

enum class TPropKind { Integer, Boolean, Enum, Set, String, Class, Component, Event };

// Names for some integer values (colours, say), written as identifiers when they match.
struct TIdentMap {
  std::vector<std::pair<long long, std::string>> entries;
  const std::string* NameOf(long long v) const;
  bool ValueOf(const std::string& name, long long& v) const;
};

struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Integer;
  // Stream default for ordinal kinds: a value equal to it is not stored.
  bool HasDefault = false;
  long long Default = 0;
  const std::vector<std::string>* Names = nullptr;  // Enum and Set value names
  const TIdentMap* Idents = nullptr;                 // Integer identifiers
  const TClassInfo* (*RefClass)() = nullptr;         // Component references

  std::function<long long(const TObject*)> GetOrd;
  std::function<void(TObject*, long long)> SetOrd;
  std::function<std::string(const TObject*)> GetStr;
  std::function<void(TObject*, const std::string&)> SetStr;
  std::function<TObject*(const TObject*)> GetObj;
  std::function<void(TObject*, TObject*)> SetObj;
  std::function<TMethodRef(const TObject*)> GetMethod;
  std::function<bool(TObject*, const TMethodRef&)> SetMethod;
  std::function<bool(const TObject*)> Stored;  // extra stored rule, besides the default
  bool ReadOnly = false;                       // listed and readable, never stored or loaded
};

struct TMethodInfo {
  std::string Name;
  TGenericMethod Code;
  const std::type_info* Signature;
};

struct TFieldInfo {
  std::string Name;
  const TClassInfo* (*Type)();
  std::function<void(TObject*, TComponent*)> Set;
};

struct TClassInfo {
  std::string Name;
  const TClassInfo* Parent = nullptr;
  TComponent* (*Create)(TComponent* owner) = nullptr;  // null: not creatable by name
  std::vector<TPropInfo> Props;                        // this class's own, in order
  std::vector<TMethodInfo> Methods;
  std::vector<TFieldInfo> Fields;

  bool InheritsFrom(const TClassInfo& other) const;
  // Searches this class and then its ancestors.
  const TPropInfo* FindProp(const std::string& name) const;
  const TMethodInfo* FindMethod(const std::string& name) const;
  const TMethodInfo* FindMethodByCode(TGenericMethod code) const;
  const TFieldInfo* FindField(const std::string& name) const;
  // Ancestors' properties first, as a form resource stores them.
  std::vector<const TPropInfo*> AllProps() const;
};

// Class registry: create components by class name.
void RegisterClassInfo(const TClassInfo& info);
// Registers info unless a class of the same name is registered already (that one stays);
// true when info was registered now.
bool RegisterClassOnce(const TClassInfo& info);
const TClassInfo* FindClassInfo(const std::string& name);

class TObject {
 public:
  virtual ~TObject() = default;
  static const TClassInfo& StaticClass();
  virtual const TClassInfo& ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType().Name; }
  bool InheritsFrom(const TClassInfo& c) const { return ClassType().InheritsFrom(c); }
  template <class T>
  bool Is() const {
    return InheritsFrom(T::StaticClass());
  }
};

template <class T>
T* As(TObject* o) {
  return o && o->Is<T>() ? static_cast<T*>(o) : nullptr;
}

// Declares a class's information inside its body.
#define RTL_CLASS(Self, Base)                                              \
 public:                                                                   \
  using inherited = Base;                                                  \
  static const ::rtl::TClassInfo& StaticClass();                           \
  const ::rtl::TClassInfo& ClassType() const override { return StaticClass(); }

// Builds the published tables of class C. Member functions and data members both serve as
// getters and setters.
template <class C>
class TClassBuilder {
 public:
  explicit TClassBuilder(TClassInfo& info) : info_(info) {}

  template <class G, class S>
  TPropInfo& Int(const char* name, G get, S set, long long def = 0) {
    TPropInfo& p = Add(name, TPropKind::Integer);
    SetOrdinal(p, get, set);
    p.HasDefault = true;
    p.Default = def;
    return p;
  }
  template <class G, class S>
  TPropInfo& IntNoDefault(const char* name, G get, S set) {
    TPropInfo& p = Add(name, TPropKind::Integer);
    SetOrdinal(p, get, set);
    return p;
  }
  template <class G, class S>
  TPropInfo& Bool(const char* name, G get, S set, bool def) {
    TPropInfo& p = Add(name, TPropKind::Boolean);
    SetOrdinal(p, get, set);
    p.HasDefault = true;
    p.Default = def;
    return p;
  }
  template <class G, class S>
  TPropInfo& Enum(const char* name, const std::vector<std::string>& names, G get, S set, long long def) {
    TPropInfo& p = Add(name, TPropKind::Enum);
    SetOrdinal(p, get, set);
    p.Names = &names;
    p.HasDefault = true;
    p.Default = def;
    return p;
  }
  template <class G, class S>
  TPropInfo& Set(const char* name, const std::vector<std::string>& names, G get, S set, long long def) {
    TPropInfo& p = Add(name, TPropKind::Set);
    SetOrdinal(p, get, set);
    p.Names = &names;
    p.HasDefault = true;
    p.Default = def;
    return p;
  }
  template <class G, class S>
  TPropInfo& Str(const char* name, G get, S set) {
    TPropInfo& p = Add(name, TPropKind::String);
    p.GetStr = [get](const TObject* o) { return std::string(std::invoke(get, static_cast<const C*>(o))); };
    p.SetStr = [set](TObject* o, const std::string& v) { Assign(set, static_cast<C*>(o), v); };
    return p;
  }
  // Read-only properties: in the published list for hosts and inspectors, never stored, and an
  // error when a form resource names them.
  template <class G>
  TPropInfo& IntReadOnly(const char* name, G get) {
    TPropInfo& p = Add(name, TPropKind::Integer);
    p.GetOrd = [get](const TObject* o) {
      return static_cast<long long>(std::invoke(get, static_cast<const C*>(o)));
    };
    p.ReadOnly = true;
    return p;
  }
  template <class G>
  TPropInfo& StrReadOnly(const char* name, G get) {
    TPropInfo& p = Add(name, TPropKind::String);
    p.GetStr = [get](const TObject* o) { return std::string(std::invoke(get, static_cast<const C*>(o))); };
    p.ReadOnly = true;
    return p;
  }
  // A persistent sub-object (a font, say) whose own properties are stored with a dotted prefix.
  template <class G>
  TPropInfo& Object(const char* name, G get) {
    TPropInfo& p = Add(name, TPropKind::Class);
    p.GetObj = [get](const TObject* o) -> TObject* { return std::invoke(get, static_cast<const C*>(o)); };
    return p;
  }
  // A reference to another component, resolved by name after the whole resource is read.
  template <class T, class G, class S>
  TPropInfo& Ref(const char* name, G get, S set) {
    TPropInfo& p = Add(name, TPropKind::Component);
    p.RefClass = [] { return &T::StaticClass(); };
    p.GetObj = [get](const TObject* o) -> TObject* { return std::invoke(get, static_cast<const C*>(o)); };
    p.SetObj = [set](TObject* o, TObject* v) { Assign(set, static_cast<C*>(o), static_cast<T*>(v)); };
    return p;
  }
  template <class... A>
  TPropInfo& Event(const char* name, TEvent<A...> C::*field) {
    TPropInfo& p = Add(name, TPropKind::Event);
    p.GetMethod = [field](const TObject* o) { return (static_cast<const C*>(o)->*field).Ref(); };
    p.SetMethod = [field](TObject* o, const TMethodRef& m) { return (static_cast<C*>(o)->*field).Assign(m); };
    return p;
  }
  // A method a form resource can bind events to.
  template <class... A>
  void Method(const char* name, void (C::*m)(A...)) {
    using Code = void (TObject::*)(A...);
    info_.Methods.push_back(TMethodInfo{name, std::bit_cast<TGenericMethod>(static_cast<Code>(m)),
                                        &TEvent<A...>::Signature()});
  }
  // A field of the root that receives the component of the same name.
  template <class T>
  void Field(const char* name, T* C::*field) {
    info_.Fields.push_back(TFieldInfo{name, [] { return &T::StaticClass(); },
                                      [field](TObject* root, TComponent* c) {
                                        static_cast<C*>(root)->*field = static_cast<T*>(c);
                                      }});
  }

 private:
  TPropInfo& Add(const char* name, TPropKind kind) {
    info_.Props.emplace_back();
    info_.Props.back().Name = name;
    info_.Props.back().Kind = kind;
    return info_.Props.back();
  }
  template <class G, class S>
  static void SetOrdinal(TPropInfo& p, G get, S set) {
    p.GetOrd = [get](const TObject* o) {
      return static_cast<long long>(std::invoke(get, static_cast<const C*>(o)));
    };
    p.SetOrd = [set](TObject* o, long long v) { AssignOrd(set, static_cast<C*>(o), v); };
  }
  template <class S, class V>
  static void Assign(S set, C* o, V&& v) {
    if constexpr (std::is_member_function_pointer_v<S>) {
      std::invoke(set, o, std::forward<V>(v));
    } else {
      o->*set = std::forward<V>(v);
    }
  }
  template <class T>
  struct FirstArg;
  template <class R, class K, class A>
  struct FirstArg<R (K::*)(A)> {
    using type = std::decay_t<A>;
  };
  template <class K, class T>
  struct FirstArg<T K::*> {
    using type = T;
  };
  template <class S>
  static void AssignOrd(S set, C* o, long long v) {
    using T = typename FirstArg<S>::type;
    Assign(set, o, static_cast<T>(v));
  }

  TClassInfo& info_;
};

namespace detail {
template <class C>
TComponent* CreateComponent(TComponent* owner) {
  if constexpr (std::is_constructible_v<C, TComponent*> && !std::is_abstract_v<C>) {
    return new C(owner);
  } else {
    return nullptr;
  }
}
template <class C>
TClassInfo MakeClassInfo(const char* name) {
  TClassInfo info;
  info.Name = name;
  info.Parent = &C::inherited::StaticClass();
  if constexpr (std::is_base_of_v<TComponent, C> && std::is_constructible_v<C, TComponent*> &&
                !std::is_abstract_v<C>)
    info.Create = &CreateComponent<C>;
  // A base's DeclareProperties takes the base's builder, so only the class's own one matches.
  if constexpr (requires(TClassBuilder<C>& b) { C::DeclareProperties(b); }) {
    TClassBuilder<C> b(info);
    C::DeclareProperties(b);
  }
  return info;
}
struct Registrar {
  explicit Registrar(const TClassInfo& (*get)()) { RegisterClassInfo(get()); }
};
}  // namespace detail

// Defines a class's information in its source file, inside the class's namespace, and registers
// the class so a form resource can create it by name.
#define RTL_IMPLEMENT_CLASS(Self)    \
  RTL_IMPLEMENT_CLASS_UNREGISTERED(Self); \
  static const ::rtl::detail::Registrar Self##Registrar_(&Self::StaticClass)

// The same without the registration, for a class whose start-up code decides whether to
// register it (RegisterClassOnce: only while no other class has taken its name).
#define RTL_IMPLEMENT_CLASS_UNREGISTERED(Self)                                         \
  const ::rtl::TClassInfo& Self::StaticClass() {                                       \
    static const ::rtl::TClassInfo info = ::rtl::detail::MakeClassInfo<Self>(#Self);   \
    return info;                                                                       \
  }                                                                                    \
  static_assert(true, "")

}  // namespace rtl
