#include "entry/EcExcept.h"

#include "entry/EcStrIds.h"
#include "strres/EcSrMgr.h"

namespace ec {

EEcException::EEcException(uint16_t stringId) : Exception(EcResourceString(stringId)) {}

ENoTimersAvailable::ENoTimersAvailable() : EEcException(kStrNoTimersAvailable) {}
ENoControllerAssigned::ENoControllerAssigned() : EControllerError(kStrNoControllerAssigned) {}
EDuplicateCommand::EDuplicateCommand() : ECmdProcessorError(kStrDuplicateCommand) {}
ETableNotFound::ETableNotFound() : ECmdProcessorError(kStrTableNotFound) {}

}  // namespace ec
