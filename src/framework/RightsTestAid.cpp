// The rights aid of the test builds (see RunningAccount.h), switched on
// before main by this object's mere presence. Linked into the programs the
// tests start, never into the product.

#include "framework/RunningAccount.h"

namespace {

struct RightsTestAid {
    RightsTestAid() {
        fw::EnableRightsTestAid(L"ZALTROW_TEST_RIGHTS");
        fw::EnableMinuteTestAid(L"ZALTROW_TEST_MINUTE_MS");
    }
} const rightsTestAid;

}  // namespace
