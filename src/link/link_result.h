#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace vtr8 {

// Why a command or a session of the link failed. The link makes no text of it: the person is
// told by whoever is installed with CommandProtocol::setFailureReporter, once per failure.
enum class LinkError {
    None,
    PortMissing,   // the device of the port does not exist
    PortInUse,     // another program holds the port (its lock, or its exclusive open)
    PortDenied,    // this user may not open the device
    PortOpen,      // the port cannot be opened for another reason
    NotSerialPort, // a terminal that is no serial line (console, virtual console)
    LockUnusable,  // the lock that keeps other programs off the port cannot be made or taken
    PortWrite,     // the request could not be written
    NoReply,       // no attempt got a reply at all
    Communication, // replies came, but none valid that answers the request
    Busy,          // another command or transfer owns the link
    Abandoned,     // the transfer is being abandoned (interrupt, quit)
};

// What keeps the port's lock file from being made.
enum class LockProblem {
    None,
    FolderMissing,          // the lock folder does not exist
    NotAFolder,             // its name is taken by something else
    FolderOfAnotherUser,    // it belongs to another user
    FolderWritableByOthers, // others may write there, and so plant a lock
    NoWritePermission,      // the lock file cannot be written
    CannotCreate,           // the lock file can neither be made nor taken over
};

struct LinkFailure {
    LinkFailure(LinkError e = LinkError::None, QString port = {}, QString d = {},
                LockProblem p = LockProblem::None)
        : error(e), portName(std::move(port)), detail(std::move(d)), lockProblem(p)
    {
    }
    LinkError error = LinkError::None;
    QString portName; // the port as the person knows it ("COM3 (/dev/ttyS2)", a path)
    // LockUnusable: the lock file; Abandoned: what the abandoning party asked to be told
    // (empty: nothing).
    QString detail;
    LockProblem lockProblem = LockProblem::None; // LockUnusable: why
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
