#pragma once

#include "link/link_indicators.h"
#include "link/link_transport.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

namespace vtr8::test {

// A port whose replies the test writes: each write takes the next planned
// reply (none = silence) and hands its chunks over one per poll.
class ScriptedTransport : public QObject, public LinkTransport {
public:
    struct Reply {
        std::vector<QByteArray> chunks;
        int delayMs = 0; // responder replies only: queued this long after the write
    };
    std::deque<Reply> replies;
    // Answers every write when set (replies is then unused).
    std::function<std::vector<Reply>(const QByteArray& request)> responder;
    // Like a pty whose far end stays open: bytes on their way survive a close.
    bool keepBytesOnClose = false;
    bool opens = true;
    int writeResult = -1; // -1: the whole frame

    QList<QByteArray> writes;
    QList<int> openedIndices;
    int openCalls = 0;

    ScriptedTransport()
    {
        timer_.setInterval(2);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (pending_.empty() || !handler_)
                return;
            const QByteArray chunk = pending_.front();
            pending_.pop_front();
            if (!chunk.isEmpty())
                handler_(reinterpret_cast<const std::uint8_t*>(chunk.constData()),
                         static_cast<int>(chunk.size()));
        });
    }

    void setReceiveHandler(ReceiveHandler handler) override { handler_ = std::move(handler); }
    void prepare(int portIndex, const QString&) override { index_ = portIndex; }
    QString portDisplayName() const override { return QStringLiteral("COM%1").arg(index_ + 1); }
    bool OpenPort() override
    {
        ++openCalls;
        if (!opens)
            return false;
        open_ = true;
        openedIndices << index_;
        timer_.start();
        return true;
    }
    void ClosePort() override
    {
        open_ = false;
        timer_.stop();
        if (!keepBytesOnClose)
            pending_.clear();
    }
    bool IsPortOpen() const override { return open_; }
    void SetDtr(bool) override {}
    void SetRts(bool) override {}
    int WriteData(const std::uint8_t* data, int count) override
    {
        writes << QByteArray(reinterpret_cast<const char*>(data), count);
        if (responder) {
            for (const Reply& reply : responder(writes.back()))
                QTimer::singleShot(reply.delayMs, this, [this, chunks = reply.chunks] {
                    pending_.insert(pending_.end(), chunks.begin(), chunks.end());
                });
        } else if (!replies.empty()) {
            for (const QByteArray& c : replies.front().chunks)
                pending_.push_back(c);
            replies.pop_front();
        }
        return writeResult >= 0 ? writeResult : count;
    }
    void setPollingDelay(int ms) override { timer_.setInterval(ms); }

private:
    ReceiveHandler handler_;
    QTimer timer_;
    std::deque<QByteArray> pending_;
    bool open_ = false;
    int index_ = 0;
};

class RecordingIndicators : public LinkIndicators {
public:
    QList<int> prenosByte;
    QStringList zPocPrij;
    void setPrenosByte(int value) override { prenosByte << value; }
    void setZPocPrij(const QString& text) override { zPocPrij << text; }
};

} // namespace vtr8::test
