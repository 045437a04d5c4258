// The form-resource encoding: a tagged binary value format, a reader that builds components
// from it and a writer that stores any component's published and defined properties.
//
// Layout: signature "TFR0", then one object:
//   object   := ClassName:str Name:str {PropName:str value} 0 {object} 0
//   value    := tag payload (see TValueType); integers take their smallest signed form
//   str      := length byte, bytes
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Component.h"
#include "Streams.h"

namespace rtl {

enum class TValueType : uint8_t {
  Null = 0,  // end of a list
  List = 1,
  Int8 = 2,
  Int16 = 3,
  Int32 = 4,
  Int64 = 5,
  String = 6,  // up to 255 bytes
  Ident = 7,
  False = 8,
  True = 9,
  Binary = 10,  // 32-bit length, bytes
  Set = 11,     // identifiers, ended by an empty one
  LString = 12,  // 32-bit length, bytes
  Nil = 13,
};

inline constexpr char kFormSignature[4] = {'T', 'F', 'R', '0'};

// How deep objects and lists may nest in a form resource, its text or its binary form: far
// beyond any form, and well short of what the readers' recursion could take from the stack.
inline constexpr int kMaxNesting = 128;

class TReader;
class TWriter;

class TFiler {
 public:
  virtual ~TFiler() = default;
  // A stored property read and written by the class's own code.
  virtual void DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                              const std::function<void(TWriter&)>& write, bool hasData) = 0;
  // A stored property whose value is a block of bytes.
  virtual void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                                    const std::function<void(TStream&)>& write, bool hasData) = 0;
};

class TWriter : public TFiler {
 public:
  explicit TWriter(TStream& stream) : stream_(stream) {}
  void WriteRootComponent(TComponent* root);

  void WriteInteger(long long v);
  void WriteBoolean(bool v);
  void WriteString(const std::string& s);
  void WriteIdent(const std::string& s);
  void WriteSet(const std::vector<std::string>& names);
  void WriteListBegin();
  void WriteListEnd();
  void WriteNil();
  void WriteBinary(const std::string& bytes);
  void WriteStr(const std::string& s);  // raw short string
  void WriteValueTag(TValueType t);

  void DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                      const std::function<void(TWriter&)>& write, bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                            const std::function<void(TStream&)>& write, bool hasData) override;

 private:
  void WriteComponent(TComponent* c);
  void WriteProperties(TPersistent* obj, const std::string& prefix);
  void WriteProperty(TPersistent* obj, const TPropInfo& p, const std::string& prefix);

  TStream& stream_;
  TComponent* root_ = nullptr;
  std::string prefix_;
};

class TReader : public TFiler {
 public:
  explicit TReader(TStream& stream) : stream_(stream) {}
  // Reads the whole resource into root (created from the stored class name when null), resolves
  // references, then gives every component its end-of-loading call. Returns the root.
  TComponent* ReadRootComponent(TComponent* root);

  TValueType NextValue();
  TValueType ReadValueTag();
  long long ReadInteger();
  bool ReadBoolean();
  std::string ReadString();
  std::string ReadIdent();
  std::vector<std::string> ReadSet();
  std::string ReadBinary();
  void ReadListBegin();
  void ReadListEnd();
  // Peeks at the raw byte: before a name it is a length, which may exceed the highest tag.
  bool EndOfList();
  std::string ReadStr();
  void SkipValue();

  void DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                      const std::function<void(TWriter&)>& write, bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                            const std::function<void(TStream&)>& write, bool hasData) override;

 private:
  struct Fixup {
    TObject* instance;
    const TPropInfo* prop;
    std::string name;
  };
  void ReadChildren(TComponent* parent);
  TComponent* ReadComponent(TComponent* parent);
  void ReadProperties(TComponent* c);
  void ReadProperty(TPersistent* obj, const std::string& path);
  void ReadPropValue(TPersistent* obj, const TPropInfo& p);
  // A property obj defines itself (DefineProperties) under name; path names it in errors.
  void ReadDefinedProperty(TPersistent* obj, const std::string& name, const std::string& path);
  void ResolveFixups();

  TStream& stream_;
  TComponent* root_ = nullptr;
  std::vector<TComponent*> loaded_;
  std::vector<Fixup> fixups_;
  std::string propName_;  // the defined property being looked for
  bool propFound_ = false;
  int nesting_ = 0;  // objects and skipped lists being read
};

// Reads a stored form resource into root (see TReader::ReadRootComponent).
TComponent* ReadComponentFromStream(TStream& stream, TComponent* root);
void WriteComponentToStream(TStream& stream, TComponent* root);

}  // namespace rtl
