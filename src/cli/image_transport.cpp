#include "cli/image_transport.h"

#include <QTimer>

namespace vtr8 {

ImageTransport::ImageTransport(const sim::EepromImage& image)
{
    transmitter_.eeprom() = image;
}

QString ImageTransport::portDisplayName() const
{
    return QStringLiteral("obraz paměti");
}

bool ImageTransport::OpenPort()
{
    open_ = true;
    return true;
}

int ImageTransport::WriteData(const std::uint8_t* data, int count)
{
    if (!open_)
        return 0;
    for (const sim::Response& response :
         transmitter_.feed({data, static_cast<std::size_t>(count)})) {
        // Handed over from the event loop, as received bytes are.
        QTimer::singleShot(0, this, [this, bytes = response.bytes] {
            if (open_ && handler_ && !bytes.empty())
                handler_(bytes.data(), static_cast<int>(bytes.size()));
        });
    }
    return count;
}

} // namespace vtr8
