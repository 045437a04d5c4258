// The utility family's component base and exception base.
#pragma once

#include <cstdint>
#include <string>

#include "rtl/Component.h"
#include "rtl/Exceptions.h"

namespace sysinfo {

// Every component of the family reports the family's version; it is never stored.
class TSuComponent : public rtl::TComponent {
  RTL_CLASS(TSuComponent, rtl::TComponent)
 public:
  explicit TSuComponent(rtl::TComponent* owner) : TComponent(owner) {}

  std::string Version() const { return "2.04"; }
  // Accepted and ignored, so a resource that names it still loads.
  void SetVersion(const std::string&) {}

  static void DeclareProperties(rtl::TClassBuilder<TSuComponent>& b);
};

// An exception of the family: a message from the family's string table and its number.
class ESuException : public rtl::Exception {
 public:
  ESuException(std::string message, int32_t errorCode) : Exception(std::move(message)), errorCode_(errorCode) {}
  int32_t ErrorCode() const { return errorCode_; }

 private:
  int32_t errorCode_;
};

// The text of a number in the family's string table "SYSUTIL_STRINGS_ENGLISH"; empty while the
// table is not open.
std::string SuResourceString(int32_t id);

}  // namespace sysinfo
