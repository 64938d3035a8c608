#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace vtr8 {

// Why a command of the link failed. The person is told once, by the link's one
// reporting place (CommandProtocol::report, through LinkFailureMessage).
enum class LinkError {
    None,
    PortOpen,      // the port cannot be opened
    PortWrite,     // the request could not be written
    Communication, // no valid reply that answers the request
    Busy,          // another command or transfer owns the link
    Abandoned,     // the transfer is being abandoned (interrupt, quit)
};

struct LinkFailure {
    LinkError error = LinkError::None;
    QString portName; // PortOpen: the port as the message names it
};

// The outcome of one command: its value when `ok()`, else the failure.
template <class T> struct LinkResult {
    T value{};
    LinkFailure failure;

    bool ok() const { return failure.error == LinkError::None; }
    explicit operator bool() const { return ok(); }
};

using Bytes = std::vector<std::uint8_t>;

// A reply's two status bytes and the command's own data.
struct DeviceReply {
    std::uint8_t responseCode = 0;
    std::uint8_t deviceStatus = 0;
    Bytes data;
};

struct Done {};
using LinkStatus = LinkResult<Done>;

} // namespace vtr8
