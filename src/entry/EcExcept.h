// The family's exceptions. Each concrete class fetches its message from the family's string
// table when it is constructed, that is, at the moment it is raised ("Unknown" when the table
// lacks the id).
#pragma once

#include <cstdint>

#include "rtl/Exceptions.h"

namespace ec {

class EEcException : public rtl::Exception {
 public:
  using Exception::Exception;

 protected:
  // The text of a string id of the family's table.
  explicit EEcException(uint16_t stringId);
};

class ENoTimersAvailable : public EEcException {
 public:
  ENoTimersAvailable();
};

class EControllerError : public EEcException {
 public:
  using EEcException::EEcException;
};

class ENoControllerAssigned : public EControllerError {
 public:
  ENoControllerAssigned();
};

class ECmdProcessorError : public EEcException {
 public:
  using EEcException::EEcException;
};

class EDuplicateCommand : public ECmdProcessorError {
 public:
  EDuplicateCommand();
};

class ETableNotFound : public ECmdProcessorError {
 public:
  ETableNotFound();
};

}  // namespace ec
