#include "transfer/transfer_session.h"

#include "link/command_protocol.h"

namespace vtr8 {

TransferSession::TransferSession(CommandProtocol& link, Kind kind) : link_(link)
{
    active_ = link_.session().begin(kind == Kind::Write);
}

TransferSession::~TransferSession()
{
    if (active_)
        link_.session().end();
}

} // namespace vtr8
