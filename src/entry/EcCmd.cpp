#include "entry/EcCmd.h"

#include <algorithm>

#include "entry/EcExcept.h"
#include "entry/EcStrIds.h"
#include "entry/portable/EcCmdText.h"
#include "rtl/Lists.h"
#include "rtl/Streams.h"
#include "strres/EcSrMgr.h"

namespace ec {

RTL_IMPLEMENT_CLASS(TEcCommandTable);
RTL_IMPLEMENT_CLASS(TEcCommandProcessor);

namespace {

struct TBuiltinName {
  TBuiltinTable table;
  uint16_t nameId;
  bool active;
};
constexpr TBuiltinName kBuiltins[] = {
    {TBuiltinTable::Default, kStrDefaultTable, true},
    {TBuiltinTable::WordStar, kStrWordStarTable, false},
    {TBuiltinTable::Grid, kStrGridTable, false},
};

bool SameKeysAndCommand(const CommandRecord& a, const CommandRecord& b) {
  return a.Keys() == b.Keys() && a.Command == b.Command;
}

}  // namespace

bool BuiltinTableOfName(const std::string& name, TBuiltinTable& table) {
  for (const TBuiltinName& b : kBuiltins)
    if (rtl::SameText(name, EcResourceString(b.nameId))) {
      table = b.table;
      return true;
    }
  return false;
}

// ---------------------------------------------------------------------------------- table

TEcCommandTable::TEcCommandTable() : TableName(EcResourceString(kStrUnknownTable)) {}

size_t TEcCommandTable::Checked(int index) const {
  if (index < 0 || index >= RecordCount()) rtl::ListIndexError(index);
  return static_cast<size_t>(index);
}

int TEcCommandTable::AddRecord(const CommandRecord& r) {
  records_.push_back(r);
  return RecordCount() - 1;
}

void TEcCommandTable::InsertRecord(int index, const CommandRecord& r) {
  if (index < 0 || index > RecordCount()) rtl::ListIndexError(index);
  records_.insert(records_.begin() + index, r);
}

void TEcCommandTable::ReplaceRecord(int index, const CommandRecord& r) { records_[Checked(index)] = r; }

void TEcCommandTable::DeleteRecord(int index) { records_.erase(records_.begin() + static_cast<long>(Checked(index))); }

CommandRecord TEcCommandTable::GetRecord(int index) const { return records_[Checked(index)]; }

int TEcCommandTable::IndexOfKeys(const CommandRecord& r) const {
  for (size_t i = 0; i < records_.size(); ++i)
    if (records_[i].Keys() == r.Keys()) return static_cast<int>(i);
  return -1;
}

void TEcCommandTable::ClearRecords() { records_.clear(); }

void TEcCommandTable::LoadFromFile(const std::string& fileName) {
  std::string text;
  {
    rtl::TFileStream file(fileName, rtl::TFileStream::Mode::Open);
    text.resize(static_cast<size_t>(file.Size()));
    file.ReadBuffer(text.data(), static_cast<long long>(text.size()));
  }
  TCommandTableText parsed = ParseCommandTableText(text);
  TableName = std::move(parsed.Name);
  records_ = std::move(parsed.Records);
}

void TEcCommandTable::SaveToFile(const std::string& fileName) const {
  std::string text = FormatCommandTableText(TableName, records_);
  rtl::TFileStream file(fileName, rtl::TFileStream::Mode::Create);
  file.WriteBuffer(text.data(), static_cast<long long>(text.size()));
}

void TEcCommandTable::WriteEntry(rtl::TWriter& writer) const {
  writer.WriteString(TableName);
  writer.WriteBoolean(IsActive);
  writer.WriteListBegin();
  auto pair = [&writer](const CommandRecord& r, uint16_t command) {
    writer.WriteInteger(static_cast<int32_t>(r.Keys()));
    writer.WriteInteger(command);
  };
  TBuiltinTable builtin;
  if (BuiltinTableOfName(TableName, builtin)) {
    auto base = BuiltinRecords(builtin);
    // Built-in records this table lacks: deleted.
    for (const CommandRecord& b : base)
      if (IndexOfKeys(b) < 0) pair(b, 0);
    // Records the built-in table does not hold as they are: added or changed.
    for (const CommandRecord& r : records_)
      if (std::none_of(base.begin(), base.end(), [&r](const CommandRecord& b) { return SameKeysAndCommand(b, r); }))
        pair(r, r.Command);
  } else {
    for (const CommandRecord& r : records_) pair(r, r.Command);
  }
  writer.WriteListEnd();
}

void TEcCommandTable::ReadEntry(rtl::TReader& reader) {
  TableName = reader.ReadString();
  IsActive = reader.ReadBoolean();
  reader.ReadListBegin();
  ClearRecords();
  TBuiltinTable builtin;
  const bool isBuiltin = BuiltinTableOfName(TableName, builtin);
  if (isBuiltin)
    for (const CommandRecord& b : BuiltinRecords(builtin)) AddRecord(b);
  while (!reader.EndOfList()) {
    long long keys = reader.ReadInteger();
    long long command = reader.ReadInteger();
    if (keys < INT32_MIN || keys > UINT32_MAX || command < 0 || command > UINT16_MAX)
      throw rtl::EReadError(rtl::msg::kInvalidPropertyValue);
    CommandRecord r = CommandRecord::FromKeys(static_cast<uint32_t>(keys), static_cast<uint16_t>(command));
    int at = isBuiltin ? IndexOfKeys(r) : -1;
    if (at < 0)
      AddRecord(r);
    else if (r.Command != 0)
      ReplaceRecord(at, r);
    else
      DeleteRecord(at);
  }
  reader.ReadListEnd();
}

void TEcCommandTable::DefineProperties(rtl::TFiler& filer) {
  inherited::DefineProperties(filer);
  // The entry in a list of its own: a stored property is one value, which every reader of the
  // resource (the text form included) can step over.
  filer.DefineProperty(
      "CommandList",
      [this](rtl::TReader& r) {
        r.ReadListBegin();
        ReadEntry(r);
        r.ReadListEnd();
      },
      [this](rtl::TWriter& w) {
        w.WriteListBegin();
        WriteEntry(w);
        w.WriteListEnd();
      },
      RecordCount() > 0);
}

// ------------------------------------------------------------------------------ processor

TEcCommandProcessor::TEcCommandProcessor() {
  for (const TBuiltinName& b : kBuiltins) {
    const std::string name = EcResourceString(b.nameId);
    CreateCommandTable(name, b.active);
    for (const CommandRecord& r : BuiltinRecords(b.table)) AddCommand(name, r);
  }
  ResetState();
}

TEcCommandProcessor::~TEcCommandProcessor() = default;

TEcCommandTable* TEcCommandProcessor::Table(int index) const {
  if (index < 0 || index >= TableCount()) rtl::ListIndexError(index);
  return tables_[static_cast<size_t>(index)].get();
}

void TEcCommandProcessor::AddTable(std::unique_ptr<TEcCommandTable> table) {
  const std::string& name = table->TableName;
  std::string base = name;
  while (base.size() >= 2 && base.back() >= '0' && base.back() <= '9') base.pop_back();
  // Numbered from the name without its digits; also when only the name itself is taken (two
  // "Grid7" with no "Grid"), so that every table stays reachable by its name.
  std::string candidate = base;
  int n = 0;
  while (GetCommandTable(candidate) || (n == 0 && GetCommandTable(name))) candidate = base + std::to_string(++n);
  if (n > 0) table->TableName = candidate;
  tables_.push_back(std::move(table));
}

int TEcCommandProcessor::CreateCommandTable(const std::string& name, bool active) {
  auto table = std::make_unique<TEcCommandTable>();
  table->TableName = name;
  table->IsActive = active;
  AddTable(std::move(table));
  return TableCount() - 1;
}

TEcCommandTable* TEcCommandProcessor::GetCommandTable(const std::string& name) const {
  for (auto& t : tables_)
    if (rtl::SameText(t->TableName, name)) return t.get();
  return nullptr;
}

int TEcCommandProcessor::AddCommand(const std::string& tableName, const CommandRecord& r) {
  TEcCommandTable* table = GetCommandTable(tableName);
  if (!table) throw ETableNotFound();
  if (table->IndexOfKeys(r) >= 0) throw EDuplicateCommand();
  return table->AddRecord(r);
}

void TEcCommandProcessor::ClearTables() { tables_.clear(); }

int TEcCommandProcessor::LoadCommandTable(const std::string& fileName) {
  auto table = std::make_unique<TEcCommandTable>();
  table->LoadFromFile(fileName);  // a failure frees the half-read table on the way out
  AddTable(std::move(table));
  return TableCount() - 1;
}

void TEcCommandProcessor::SaveCommandTable(const std::string& tableName, const std::string& fileName) {
  if (TEcCommandTable* table = GetCommandTable(tableName)) table->SaveToFile(fileName);
}

void TEcCommandProcessor::ResetState() { pendingKey_ = pendingShift_ = pendingTable_ = 0; }

void TEcCommandProcessor::WriteTableList(rtl::TWriter& writer) const {
  writer.WriteListBegin();
  for (auto& t : tables_) t->WriteEntry(writer);
  writer.WriteListEnd();
}

void TEcCommandProcessor::ReadTableList(rtl::TReader& reader) {
  ClearTables();
  reader.ReadListBegin();
  while (!reader.EndOfList()) {
    auto table = std::make_unique<TEcCommandTable>();
    table->ReadEntry(reader);
    AddTable(std::move(table));
  }
  reader.ReadListEnd();
}

void TEcCommandProcessor::DefineProperties(rtl::TFiler& filer) {
  inherited::DefineProperties(filer);
  filer.DefineProperty(
      "TableList", [this](rtl::TReader& r) { ReadTableList(r); }, [this](rtl::TWriter& w) { WriteTableList(w); },
      TableCount() > 0);
}

}  // namespace ec
