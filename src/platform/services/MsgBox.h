// The styles and answers of the modal message box (MsgBoxService in platform/services/Services.h).
#pragma once

namespace platform {

inline constexpr int vbOKOnly = 0;
inline constexpr int vbCritical = 16;
inline constexpr int vbExclamation = 48;
inline constexpr int vbOK = 1;

}  // namespace platform
