#pragma once

namespace vtr8 {

class CommandProtocol;

// One transfer's ownership of the link, for the life of the object. Created
// first thing in every transfer sequence: when another transfer runs (or the
// port is another program's) it is refused with a message and the sequence
// returns at once, touching nothing. The window disables its transfer buttons
// while a session is active (PortSession::changed).
class TransferSession {
public:
    enum class Kind {
        Transfer, // abandoned at the next command boundary when the program closes
        Write,    // a configuration write: the program does not close during it
    };

    explicit TransferSession(CommandProtocol& link, Kind kind = Kind::Transfer);
    ~TransferSession();
    TransferSession(const TransferSession&) = delete;
    TransferSession& operator=(const TransferSession&) = delete;

    bool active() const { return active_; }

private:
    CommandProtocol& link_;
    bool active_ = false;
};

} // namespace vtr8
