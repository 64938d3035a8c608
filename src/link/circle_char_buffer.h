#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace vtr8 {

// Hands received bytes to the reply parser. 256 bytes with 8-bit indices; a
// put at the last position empties the whole buffer, and every reset also
// restarts the parser's byte count (onReset).
class TCircleCharBuffer {
public:
    void Reset();
    void Put(std::uint8_t b);
    // 0 when empty.
    std::uint8_t Get();
    bool Empty() const { return readIndex_ == writeIndex_; }

    std::function<void()> onReset;

private:
    std::array<std::uint8_t, 256> data_{};
    std::uint8_t readIndex_ = 0;
    std::uint8_t writeIndex_ = 0;
};

} // namespace vtr8
