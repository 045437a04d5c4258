// Ids of the family's texts in its string table ("ENTRYCTL_STRINGS_ENGLISH"), read through
// ec::EcResourceString.
#pragma once

#include <cstdint>

namespace ec {

inline constexpr uint16_t kStrDuplicateCommand = 30169;
inline constexpr uint16_t kStrTableNotFound = 30170;
inline constexpr uint16_t kStrNoControllerAssigned = 30172;
inline constexpr uint16_t kStrNoTimersAvailable = 30189;
inline constexpr uint16_t kStrLabelNotAttached = 30244;
inline constexpr uint16_t kStrGridTable = 30266;
inline constexpr uint16_t kStrDefaultTable = 30275;
inline constexpr uint16_t kStrWordStarTable = 30276;
inline constexpr uint16_t kStrUnknownTable = 30277;
inline constexpr uint16_t kStrYesLetter = 30368;
inline constexpr uint16_t kStrNoLetter = 30369;
inline constexpr uint16_t kStrTrueLetter = 30370;
inline constexpr uint16_t kStrFalseLetter = 30371;

}  // namespace ec
