// Named key-to-command tables for the entry controls, and the processor that holds them.
// The processor is stored in a form resource as "TableList": built-in tables as their
// differences from the built-in content, other tables whole.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "entry/portable/EcBuiltinTables.h"
#include "entry/portable/EcCmdRecord.h"
#include "rtl/Component.h"
#include "rtl/Filer.h"

namespace ec {

class TEcCommandTable : public rtl::TPersistent {
  RTL_CLASS(TEcCommandTable, rtl::TPersistent)
 public:
  TEcCommandTable();

  bool IsActive = true;  // takes part in key translation
  std::string TableName;

  // Appends a copy; no duplicate check. Returns its index.
  int AddRecord(const CommandRecord& r);
  void InsertRecord(int index, const CommandRecord& r);
  void ReplaceRecord(int index, const CommandRecord& r);
  void DeleteRecord(int index);
  CommandRecord GetRecord(int index) const;
  int RecordCount() const { return static_cast<int>(records_.size()); }
  // The first record with the same key sequence (Keys), whatever its command; -1 when none.
  int IndexOfKeys(const CommandRecord& r) const;
  void ClearRecords();
  const std::vector<CommandRecord>& Records() const { return records_; }

  // The table's text file (name, then one line per record). Failures are the framework's
  // stream errors; the file is closed on every path. The name and records are replaced only
  // when the whole file was read; IsActive is not part of the file.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

  // One table entry of a form resource: name, active flag, list of (Keys, Command) pairs.
  void ReadEntry(rtl::TReader& reader);
  void WriteEntry(rtl::TWriter& writer) const;
  // "CommandList": the same entry as a list, when a table is streamed as a sub-object.
  void DefineProperties(rtl::TFiler& filer) override;

 private:
  size_t Checked(int index) const;
  std::vector<CommandRecord> records_;
};

class TEcCommandProcessor : public rtl::TPersistent {
  RTL_CLASS(TEcCommandProcessor, rtl::TPersistent)
 public:
  // Holds the three built-in tables: "Default" (active), "WordStar" and "Grid".
  TEcCommandProcessor();
  ~TEcCommandProcessor() override;

  // Takes ownership, makes the name unique and appends the table.
  void AddTable(std::unique_ptr<TEcCommandTable> table);
  // A new table added through AddTable; its position.
  int CreateCommandTable(const std::string& name, bool active);
  // The first table of that name (letters a-z in any case), or null.
  TEcCommandTable* GetCommandTable(const std::string& name) const;
  // ETableNotFound for an unknown table, EDuplicateCommand for a key sequence it holds;
  // nothing changes then. Otherwise the record's index in the table.
  int AddCommand(const std::string& tableName, const CommandRecord& r);
  void ClearTables();
  // A table read from a text file and added; its position. On failure nothing is added.
  virtual int LoadCommandTable(const std::string& fileName);
  // Does nothing when no table has that name.
  virtual void SaveCommandTable(const std::string& tableName, const std::string& fileName);
  void ResetState();

  int TableCount() const { return static_cast<int>(tables_.size()); }
  TEcCommandTable* Table(int index) const;

  void DefineProperties(rtl::TFiler& filer) override;

 private:
  void ReadTableList(rtl::TReader& reader);
  void WriteTableList(rtl::TWriter& writer) const;

  std::vector<std::unique_ptr<TEcCommandTable>> tables_;
  // A partly entered two-key sequence (zero when idle); for a key translator.
  uint8_t pendingKey_ = 0, pendingShift_ = 0, pendingTable_ = 0;
};

// The built-in content a table of this name is stored against, if it has one of the three
// built-in names (case ignored).
bool BuiltinTableOfName(const std::string& name, TBuiltinTable& table);

}  // namespace ec
