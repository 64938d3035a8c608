#pragma once

#include "link/link_transport.h"
#include "sim/transmitter.h"

#include <QObject>

namespace vtr8 {

// A saved memory image where the port would be: the requests a comparison makes are answered
// from the image by the simulated transmitter's own command handling, so comparing with an
// image runs exactly the reads a comparison with a transmitter runs.
class ImageTransport : public QObject, public LinkTransport {
public:
    explicit ImageTransport(const sim::EepromImage& image);

    void setReceiveHandler(ReceiveHandler handler) override { handler_ = std::move(handler); }
    void prepare(int, const QString&) override {}
    QString portDisplayName() const override;
    bool OpenPort() override;
    void ClosePort() override { open_ = false; }
    bool IsPortOpen() const override { return open_; }
    void SetDtr(bool) override {}
    void SetRts(bool) override {}
    int WriteData(const std::uint8_t* data, int count) override;
    void setPollingDelay(int) override {}

private:
    sim::Transmitter transmitter_;
    ReceiveHandler handler_;
    bool open_ = false;
};

} // namespace vtr8
