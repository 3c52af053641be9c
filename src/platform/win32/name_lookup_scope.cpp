#include "platform/name_lookup_scope.h"

namespace halvern::platform {

// The system finds names without regard to case itself: there is nothing to remember.
struct NameLookupScope::Memory {};

NameLookupScope::NameLookupScope() = default;
NameLookupScope::~NameLookupScope() = default;

}  // namespace halvern::platform
