#include "platform/engine/Characters.h"

#include "platform/engine/Surface.h"

namespace platform::engine {

namespace {

constexpr bool Within(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

}  // namespace

bool ClingsToPrevious(char32_t c, const MeasuringFont& font) {
  return c == 0x200C || c == 0x200D || Within(c, 0xFE00, 0xFE0F) || Within(c, 0xE0100, 0xE01EF) ||
         Within(c, 0x1F3FB, 0x1F3FF) || Within(c, 0xE0020, 0xE007F) || Within(c, 0x1160, 0x11FF) ||
         Within(c, 0xD7B0, 0xD7FF) || font.isMark(c);
}

}  // namespace platform::engine
