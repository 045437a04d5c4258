#include "TestClasses.h"

namespace testing_rtl {
RTL_IMPLEMENT_CLASS(TLabelText);
RTL_IMPLEMENT_CLASS(TThing);
RTL_IMPLEMENT_CLASS(TRoot);
}  // namespace testing_rtl
