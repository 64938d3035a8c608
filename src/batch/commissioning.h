#pragma once

#include "batch/instrument_list.h"

#include <QString>

#include <functional>

namespace vtr8 {

class CommandProtocol;
class HistoryStore;
class TransferTap;
class UserInterface;

// What commissioning one row works with. The port is chosen and held by the caller, whose frame
// observer feeds `tap` (the record's blocks and memory).
struct CommissionSetup {
    CommandProtocol& link;
    UserInterface& ui;
    HistoryStore& history;
    TransferTap& tap;
    QString port;        // as the record and the protocol name it
    QString protocolDir; // empty: no protocol
    // Hears each step as it starts ("zápis konfigurace", ...).
    std::function<void(const QString&)> step;
};

struct CommissionResult {
    bool completed = false;
    QString protocolPath; // the protocol saved, if any
};

// Commissions one valid row on the transmitter at the port: the row's configuration written
// with every block read back, as `write --verify` writes it, then the note set to the tag, then
// the row's comparators switched on, then the readings at the row's check points, then the
// protocol. The first step that fails ends it. The write, note and comparators are recorded as one
// write-with-read-back under the tag, the readings as a check, so that the history tells which rows
// are done.
CommissionResult commissionRow(const CommissionSetup& setup, const InstrumentRow& row);

// The protocol's file name for a tag: characters no file system takes become '_'.
QString protocolFileName(const QString& tag);

} // namespace vtr8
