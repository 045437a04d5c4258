#include "Filer.h"

#include <cstring>

namespace rtl {

// ---------------------------------------------------------------------------------- writer

void TWriter::WriteValueTag(TValueType t) { stream_.WriteValue<uint8_t>(static_cast<uint8_t>(t)); }

void TWriter::WriteInteger(long long v) {
  if (v >= INT8_MIN && v <= INT8_MAX) {
    WriteValueTag(TValueType::Int8);
    stream_.WriteValue<int8_t>(static_cast<int8_t>(v));
  } else if (v >= INT16_MIN && v <= INT16_MAX) {
    WriteValueTag(TValueType::Int16);
    stream_.WriteValue<int16_t>(static_cast<int16_t>(v));
  } else if (v >= INT32_MIN && v <= INT32_MAX) {
    WriteValueTag(TValueType::Int32);
    stream_.WriteValue<int32_t>(static_cast<int32_t>(v));
  } else {
    WriteValueTag(TValueType::Int64);
    stream_.WriteValue<int64_t>(v);
  }
}

void TWriter::WriteBoolean(bool v) { WriteValueTag(v ? TValueType::True : TValueType::False); }

void TWriter::WriteString(const std::string& s) {
  if (s.size() <= 255) {
    WriteValueTag(TValueType::String);
    WriteStr(s);
  } else {
    WriteValueTag(TValueType::LString);
    stream_.WriteValue<int32_t>(static_cast<int32_t>(s.size()));
    stream_.WriteBuffer(s.data(), static_cast<long long>(s.size()));
  }
}

void TWriter::WriteIdent(const std::string& s) {
  if (s == "False") return WriteBoolean(false);
  if (s == "True") return WriteBoolean(true);
  if (s == "nil") return WriteNil();
  WriteValueTag(TValueType::Ident);
  WriteStr(s);
}

void TWriter::WriteSet(const std::vector<std::string>& names) {
  WriteValueTag(TValueType::Set);
  for (auto& n : names) WriteStr(n);
  WriteStr("");
}

void TWriter::WriteListBegin() { WriteValueTag(TValueType::List); }
void TWriter::WriteListEnd() { WriteValueTag(TValueType::Null); }
void TWriter::WriteNil() { WriteValueTag(TValueType::Nil); }

void TWriter::WriteBinary(const std::string& bytes) {
  WriteValueTag(TValueType::Binary);
  stream_.WriteValue<int32_t>(static_cast<int32_t>(bytes.size()));
  stream_.WriteBuffer(bytes.data(), static_cast<long long>(bytes.size()));
}

void TWriter::WriteStr(const std::string& s) {
  if (s.size() > 255) throw EWriteError(msg::kWriteError);
  stream_.WriteValue<uint8_t>(static_cast<uint8_t>(s.size()));
  stream_.WriteBuffer(s.data(), static_cast<long long>(s.size()));
}

void TWriter::DefineProperty(const std::string& name, const std::function<void(TReader&)>&,
                             const std::function<void(TWriter&)>& write, bool hasData) {
  if (!hasData) return;
  WriteStr(prefix_ + name);
  write(*this);
}

void TWriter::DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>&,
                                   const std::function<void(TStream&)>& write, bool hasData) {
  if (!hasData) return;
  WriteStr(prefix_ + name);
  TMemoryStream data;
  write(data);
  WriteValueTag(TValueType::Binary);
  stream_.WriteValue<int32_t>(static_cast<int32_t>(data.Size()));
  stream_.WriteBuffer(data.Memory(), data.Size());
}

void TWriter::WriteRootComponent(TComponent* root) {
  root_ = root;
  stream_.WriteBuffer(kFormSignature, sizeof kFormSignature);
  WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* c) {
  WriteStr(c->ClassName());
  WriteStr(c->Name());
  WriteProperties(c, "");
  WriteListEnd();
  c->GetChildren([this](TComponent* child) { WriteComponent(child); }, root_);
  WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* obj, const std::string& prefix) {
  std::string saved = prefix_;
  prefix_ = prefix;
  obj->DefineProperties(*this);
  for (const TPropInfo* p : obj->ClassType().AllProps()) WriteProperty(obj, *p, prefix);
  prefix_ = saved;
}

void TWriter::WriteProperty(TPersistent* obj, const TPropInfo& p, const std::string& prefix) {
  if (p.ReadOnly || (p.Stored && !p.Stored(obj))) return;
  const std::string name = prefix + p.Name;
  switch (p.Kind) {
    case TPropKind::Integer:
    case TPropKind::Boolean:
    case TPropKind::Enum:
    case TPropKind::Set: {
      long long v = p.GetOrd(obj);
      if (p.HasDefault && v == p.Default) return;
      WriteStr(name);
      if (p.Kind == TPropKind::Boolean) {
        WriteBoolean(v != 0);
      } else if (p.Kind == TPropKind::Enum) {
        if (v < 0 || v >= static_cast<long long>(p.Names->size())) throw EWriteError(msg::kInvalidPropertyValue);
        WriteIdent((*p.Names)[static_cast<size_t>(v)]);
      } else if (p.Kind == TPropKind::Set) {
        std::vector<std::string> names;
        for (size_t i = 0; i < p.Names->size() && i < 64; ++i)
          if (v & (1LL << i)) names.push_back((*p.Names)[i]);
        WriteSet(names);
      } else if (const std::string* ident = p.Idents ? p.Idents->NameOf(v) : nullptr) {
        WriteIdent(*ident);
      } else {
        WriteInteger(v);
      }
      return;
    }
    case TPropKind::String: {
      std::string v = p.GetStr(obj);
      if (v.empty()) return;
      WriteStr(name);
      WriteString(v);
      return;
    }
    case TPropKind::Class: {
      TObject* sub = p.GetObj(obj);
      if (auto* persistent = As<TPersistent>(sub)) WriteProperties(persistent, name + ".");
      return;
    }
    case TPropKind::Component: {
      auto* ref = static_cast<TComponent*>(p.GetObj(obj));
      if (!ref) return;
      WriteStr(name);
      if (ref == root_ || ref->Owner() == root_)
        WriteIdent(ref->Name());
      else
        WriteIdent((ref->Owner() ? ref->Owner()->Name() + "." : std::string()) + ref->Name());
      return;
    }
    case TPropKind::Event: {
      TMethodRef m = p.GetMethod(obj);
      if (!m || m.Data != root_) return;
      const TMethodInfo* mi = root_->ClassType().FindMethodByCode(m.Code);
      if (!mi) return;
      WriteStr(name);
      WriteIdent(mi->Name);
      return;
    }
  }
}

void WriteComponentToStream(TStream& stream, TComponent* root) {
  TWriter w(stream);
  w.WriteRootComponent(root);
}

// ---------------------------------------------------------------------------------- reader

[[noreturn]] static void InvalidFormat() { throw EReadError(msg::kInvalidImage); }

TValueType TReader::ReadValueTag() {
  uint8_t t = stream_.ReadValue<uint8_t>();
  if (t > static_cast<uint8_t>(TValueType::Nil)) InvalidFormat();
  return static_cast<TValueType>(t);
}

TValueType TReader::NextValue() {
  TValueType t = ReadValueTag();
  stream_.Seek(-1, SeekOrigin::Current);
  return t;
}

bool TReader::EndOfList() {
  uint8_t b = stream_.ReadValue<uint8_t>();
  stream_.Seek(-1, SeekOrigin::Current);
  return b == 0;
}

std::string TReader::ReadStr() {
  uint8_t n = stream_.ReadValue<uint8_t>();
  std::string s(n, '\0');
  stream_.ReadBuffer(s.data(), n);
  return s;
}

long long TReader::ReadInteger() {
  switch (ReadValueTag()) {
    case TValueType::Int8: return stream_.ReadValue<int8_t>();
    case TValueType::Int16: return stream_.ReadValue<int16_t>();
    case TValueType::Int32: return stream_.ReadValue<int32_t>();
    case TValueType::Int64: return stream_.ReadValue<int64_t>();
    default: throw EReadError(msg::kInvalidPropertyValue);
  }
}

bool TReader::ReadBoolean() {
  TValueType t = ReadValueTag();
  if (t != TValueType::True && t != TValueType::False) throw EReadError(msg::kInvalidPropertyValue);
  return t == TValueType::True;
}

std::string TReader::ReadString() {
  TValueType t = ReadValueTag();
  if (t == TValueType::String) return ReadStr();
  if (t != TValueType::LString) throw EReadError(msg::kInvalidPropertyValue);
  int32_t n = stream_.ReadValue<int32_t>();
  if (n < 0 || n > stream_.Size() - stream_.Position()) throw EReadError(msg::kReadError);
  std::string s(static_cast<size_t>(n), '\0');
  stream_.ReadBuffer(s.data(), n);
  return s;
}

std::string TReader::ReadIdent() {
  switch (ReadValueTag()) {
    case TValueType::Ident: return ReadStr();
    case TValueType::False: return "False";
    case TValueType::True: return "True";
    case TValueType::Nil: return "nil";
    default: throw EReadError(msg::kInvalidPropertyValue);
  }
}

std::vector<std::string> TReader::ReadSet() {
  if (ReadValueTag() != TValueType::Set) throw EReadError(msg::kInvalidPropertyValue);
  std::vector<std::string> names;
  for (std::string s = ReadStr(); !s.empty(); s = ReadStr()) names.push_back(s);
  return names;
}

std::string TReader::ReadBinary() {
  if (ReadValueTag() != TValueType::Binary) throw EReadError(msg::kInvalidPropertyValue);
  int32_t n = stream_.ReadValue<int32_t>();
  if (n < 0 || n > stream_.Size() - stream_.Position()) throw EReadError(msg::kReadError);
  std::string s(static_cast<size_t>(n), '\0');
  stream_.ReadBuffer(s.data(), n);
  return s;
}

void TReader::ReadListBegin() {
  if (ReadValueTag() != TValueType::List) throw EReadError(msg::kInvalidPropertyValue);
}

void TReader::ReadListEnd() {
  if (ReadValueTag() != TValueType::Null) throw EReadError(msg::kInvalidPropertyValue);
}

namespace {

// One more level of objects or lists while it lives; deeper than kMaxNesting is no form.
class TNesting {
 public:
  explicit TNesting(int& depth) : depth_(depth) {
    if (depth_ >= kMaxNesting) throw EReadError(msg::kInvalidImage);
    ++depth_;
  }
  ~TNesting() { --depth_; }
  TNesting(const TNesting&) = delete;
  TNesting& operator=(const TNesting&) = delete;

 private:
  int& depth_;
};

}  // namespace

void TReader::SkipValue() {
  switch (ReadValueTag()) {
    case TValueType::Null:
    case TValueType::False:
    case TValueType::True:
    case TValueType::Nil: return;
    case TValueType::List: {
      TNesting nested(nesting_);
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      return;
    }
    case TValueType::Int8: stream_.Seek(1, SeekOrigin::Current); return;
    case TValueType::Int16: stream_.Seek(2, SeekOrigin::Current); return;
    case TValueType::Int32: stream_.Seek(4, SeekOrigin::Current); return;
    case TValueType::Int64: stream_.Seek(8, SeekOrigin::Current); return;
    case TValueType::String:
    case TValueType::Ident: ReadStr(); return;
    case TValueType::Binary:
    case TValueType::LString: {
      int32_t n = stream_.ReadValue<int32_t>();
      if (n < 0 || n > stream_.Size() - stream_.Position()) throw EReadError(msg::kReadError);
      stream_.Seek(n, SeekOrigin::Current);
      return;
    }
    case TValueType::Set:
      while (!ReadStr().empty()) {
      }
      return;
  }
}

void TReader::DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                             const std::function<void(TWriter&)>&, bool) {
  if (propFound_ || !SameText(name, propName_)) return;
  propFound_ = true;
  read(*this);
}

void TReader::DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                                   const std::function<void(TStream&)>&, bool) {
  if (propFound_ || !SameText(name, propName_)) return;
  propFound_ = true;
  if (ReadValueTag() != TValueType::Binary) throw EReadError(msg::kInvalidPropertyValue);
  int32_t n = stream_.ReadValue<int32_t>();
  if (n < 0 || n > stream_.Size() - stream_.Position()) throw EReadError(msg::kReadError);
  // The class reads from a stream of exactly the stored length, and the outer stream moves past
  // the value whatever the class's reader consumed or threw.
  std::vector<uint8_t> bytes(static_cast<size_t>(n));
  stream_.ReadBuffer(bytes.data(), n);
  TMemoryStream data(std::move(bytes));
  read(data);
}

TComponent* TReader::ReadRootComponent(TComponent* root) {
  char sig[4];
  stream_.ReadBuffer(sig, 4);
  if (std::memcmp(sig, kFormSignature, 4) != 0) InvalidFormat();
  std::string className = ReadStr();
  std::string name = ReadStr();
  bool created = false;
  if (!root) {
    const TClassInfo* info = FindClassInfo(className);
    if (!info || !info->Create) throw EClassNotFound(Format(msg::kClassNotFound, className.c_str()));
    root = info->Create(nullptr);
    created = true;
  }
  root_ = root;
  try {
    root->BeginLoading();
    root->SetName(name);
    loaded_.push_back(root);
    ReadProperties(root);
    ReadChildren(root);
    ResolveFixups();
  } catch (...) {
    if (created) delete root;
    throw;
  }
  for (TComponent* c : loaded_) c->Loaded();
  return root;
}

void TReader::ReadChildren(TComponent* parent) {
  while (!EndOfList()) ReadComponent(parent);
  ReadListEnd();
}

TComponent* TReader::ReadComponent(TComponent* parent) {
  TNesting nested(nesting_);
  std::string className = ReadStr();
  std::string name = ReadStr();
  const TClassInfo* info = FindClassInfo(className);
  if (!info || !info->Create) throw EClassNotFound(Format(msg::kClassNotFound, className.c_str()));
  TComponent* c = info->Create(root_);
  c->BeginLoading();
  loaded_.push_back(c);
  c->SetName(name);
  if (const TFieldInfo* f = root_->ClassType().FindField(name)) {
    if (!c->ClassType().InheritsFrom(*f->Type())) throw EReadError(msg::kInvalidPropertyValue);
    f->Set(root_, c);
  }
  if (parent != root_ || c->HasParent()) c->SetParentComponent(parent);
  ReadProperties(c);
  ReadChildren(c);
  return c;
}

void TReader::ReadProperties(TComponent* c) {
  while (!EndOfList()) ReadProperty(c, ReadStr());
  ReadListEnd();
}

void TReader::ReadProperty(TPersistent* obj, const std::string& path) {
  // "Font.Name": walk through the sub-objects to the one that holds the last name.
  TPersistent* holder = obj;
  std::string rest = path;
  for (size_t dot; (dot = rest.find('.')) != std::string::npos;) {
    const TPropInfo* p = holder->ClassType().FindProp(rest.substr(0, dot));
    TPersistent* sub = p && p->Kind == TPropKind::Class ? As<TPersistent>(p->GetObj(holder)) : nullptr;
    // No such sub-object: a defined property may carry the dotted name ("Items.Strings").
    if (!sub) return ReadDefinedProperty(obj, path, path);
    holder = sub;
    rest = rest.substr(dot + 1);
  }
  if (const TPropInfo* p = holder->ClassType().FindProp(rest)) return ReadPropValue(holder, *p);
  ReadDefinedProperty(holder, rest, path);
}

void TReader::ReadDefinedProperty(TPersistent* obj, const std::string& name, const std::string& path) {
  propName_ = name;
  propFound_ = false;
  obj->DefineProperties(*this);
  if (!propFound_) throw EReadError(Format(msg::kUnknownProperty, path.c_str()));
}

void TReader::ReadPropValue(TPersistent* obj, const TPropInfo& p) {
  if (p.ReadOnly) throw EReadError(Format(msg::kReadOnlyProperty, p.Name.c_str()));
  switch (p.Kind) {
    case TPropKind::Integer: {
      if (NextValue() == TValueType::Ident) {
        long long v;
        std::string ident = ReadIdent();
        if (!p.Idents || !p.Idents->ValueOf(ident, v)) throw EReadError(msg::kInvalidPropertyValue);
        p.SetOrd(obj, v);
      } else {
        p.SetOrd(obj, ReadInteger());
      }
      return;
    }
    case TPropKind::Boolean: p.SetOrd(obj, ReadBoolean()); return;
    case TPropKind::Enum: {
      std::string ident = ReadIdent();
      for (size_t i = 0; i < p.Names->size(); ++i)
        if (SameText((*p.Names)[i], ident)) return p.SetOrd(obj, static_cast<long long>(i));
      throw EReadError(msg::kInvalidPropertyValue);
    }
    case TPropKind::Set: {
      long long v = 0;
      for (auto& ident : ReadSet()) {
        size_t i = 0;
        while (i < p.Names->size() && !SameText((*p.Names)[i], ident)) ++i;
        if (i == p.Names->size()) throw EReadError(msg::kInvalidPropertyValue);
        v |= 1LL << i;
      }
      p.SetOrd(obj, v);
      return;
    }
    case TPropKind::String: p.SetStr(obj, ReadString()); return;
    case TPropKind::Class: throw EReadError(msg::kInvalidPropertyValue);
    case TPropKind::Component: {
      if (NextValue() == TValueType::Nil) {
        ReadValueTag();
        p.SetObj(obj, nullptr);
        return;
      }
      // Resolved once every component of the resource exists.
      fixups_.push_back(Fixup{obj, &p, ReadIdent()});
      return;
    }
    case TPropKind::Event: {
      std::string method = ReadIdent();
      const TMethodInfo* mi = root_->ClassType().FindMethod(method);
      if (!mi) throw EReadError(Format(msg::kMethodNotFound, method.c_str()));
      if (!p.SetMethod(obj, TMethodRef{root_, mi->Code, mi->Signature})) throw EReadError(msg::kInvalidPropertyValue);
      return;
    }
  }
}

void TReader::ResolveFixups() {
  for (auto& f : fixups_) {
    std::string name = f.name;
    size_t dot = name.find('.');
    if (dot != std::string::npos) {
      // Only this resource's root is known here; "Root.Name" is the same as "Name".
      if (!SameText(name.substr(0, dot), root_->Name()))
        throw EReadError(Format(msg::kUnresolvedReference, name.c_str()));
      name = name.substr(dot + 1);
    }
    TComponent* target = SameText(name, root_->Name()) ? root_ : root_->FindComponent(name);
    if (!target) throw EReadError(Format(msg::kUnresolvedReference, f.name.c_str()));
    if (!target->ClassType().InheritsFrom(*f.prop->RefClass())) throw EReadError(msg::kInvalidPropertyValue);
    f.prop->SetObj(f.instance, target);
  }
  fixups_.clear();
}

TComponent* ReadComponentFromStream(TStream& stream, TComponent* root) {
  TReader r(stream);
  return r.ReadRootComponent(root);
}

}  // namespace rtl
