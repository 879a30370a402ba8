// Unix errors as the Windows codes that a Windows program under Wine meets for the same fault.
#pragma once

#include <cstdint>

namespace setwright {

std::int32_t WindowsErrorFromErrno(int errnoValue);

}  // namespace setwright
