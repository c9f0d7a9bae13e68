#include "platform/platform.h"

uint32_t ReportedOpenError(uint32_t errorNumber) {
  if (errorNumber == kErrorSharingViolation) return kErrorAccessDenied;
  if (errorNumber >= 19 && errorNumber <= 31) return errorNumber + 131;
  return errorNumber;
}
