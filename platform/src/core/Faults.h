// Internal side of fault injection: layer functions ask whether to fail.
#pragma once

namespace plat::detail {

// True when an armed fault of that name fires for this call.
bool ShouldFail(const char* fault);

}  // namespace plat::detail
