// The framework's exception classes. Every exception carries a ready message text; the
// families derive their own classes from Exception.
#pragma once

#include <exception>
#include <string>

#include "StrUtils.h"

namespace rtl {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

// Defines an exception class with the same constructor as its base.
#define RTL_EXCEPTION(Name, Base) \
  class Name : public Base {      \
   public:                        \
    using Base::Base;             \
  }

RTL_EXCEPTION(EListError, Exception);
RTL_EXCEPTION(EStringListError, Exception);
RTL_EXCEPTION(EStreamError, Exception);
RTL_EXCEPTION(EReadError, EStreamError);
RTL_EXCEPTION(EWriteError, EStreamError);
RTL_EXCEPTION(EFOpenError, EStreamError);
RTL_EXCEPTION(EFilerError, EStreamError);
RTL_EXCEPTION(EClassNotFound, EFilerError);
RTL_EXCEPTION(EPropertyError, Exception);
RTL_EXCEPTION(EConvertError, Exception);
RTL_EXCEPTION(EComponentError, Exception);
RTL_EXCEPTION(EInvalidGraphic, Exception);
RTL_EXCEPTION(EOutOfResources, Exception);
RTL_EXCEPTION(EInvalidOperation, Exception);
RTL_EXCEPTION(EResNotFound, Exception);

// The framework's own message texts.
namespace msg {
inline constexpr const char* kListIndexError = "List index out of bounds (%d)";
inline constexpr const char* kDuplicateString = "String list does not allow duplicates";
inline constexpr const char* kSortedListError = "Operation not allowed on sorted string list";
inline constexpr const char* kReadError = "Stream read error";
inline constexpr const char* kWriteError = "Stream write error";
inline constexpr const char* kFOpenError = "Cannot open file %s";
inline constexpr const char* kFCreateError = "Cannot create file %s";
inline constexpr const char* kInvalidImage = "Invalid stream format";
inline constexpr const char* kInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* kPixelIndexError = "Pixel index out of range";
inline constexpr const char* kAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* kInvalidName = "''%s'' is not a valid component name";
inline constexpr const char* kDuplicateName = "A component named %s already exists";
inline constexpr const char* kClassNotFound = "Class %s not found";
inline constexpr const char* kUnknownProperty = "Property %s does not exist";
inline constexpr const char* kReadOnlyProperty = "Property %s is read-only";
inline constexpr const char* kInvalidPropertyValue = "Invalid property value";
inline constexpr const char* kInvalidPropertyType = "Invalid property type: %s";
inline constexpr const char* kMethodNotFound = "Method %s not found";
inline constexpr const char* kUnresolvedReference = "Component %s not found";
inline constexpr const char* kOutOfResources = "Out of system resources";
}  // namespace msg

}  // namespace rtl
