#include "link/circle_char_buffer.h"

namespace vtr8 {

void TCircleCharBuffer::Reset()
{
    readIndex_ = 0;
    writeIndex_ = 0;
    if (onReset)
        onReset();
}

void TCircleCharBuffer::Put(std::uint8_t b)
{
    data_[writeIndex_] = b;
    // The buffer does not wrap: reaching its end throws away everything
    // pending and restarts the reply being parsed.
    if (writeIndex_ == 255)
        Reset();
    else
        ++writeIndex_;
}

std::uint8_t TCircleCharBuffer::Get()
{
    if (Empty())
        return 0;
    return data_[readIndex_++];
}

} // namespace vtr8
