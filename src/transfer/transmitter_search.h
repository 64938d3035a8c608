#pragma once

#include "link/link_timing.h"
#include "link/port_selection.h"

#include <QList>
#include <QString>

#include <functional>

namespace vtr8 {

// One port the search asks.
struct SearchCandidate {
    QString name;       // "COM3", "ttyUSB0": as the person knows it
    QString device;     // what opens it
    int itemIndex = -1; // 0..7 when it is one of the eight items
};

// The ports worth asking: every offered port whose device is there now.
QList<SearchCandidate> SearchCandidates(const QList<OfferedPort>& offered);

// What one port said.
struct SearchFinding {
    enum class Outcome {
        Found,       // a transmitter of this family answered
        InUse,       // another program holds the port: skipped
        CannotOpen,  // the port did not open
        NoReply,     // nothing answered the identification read
        OtherDevice, // something answered, but not a transmitter of this family
    };
    SearchCandidate port;
    Outcome outcome = Outcome::NoReply;
    int firmware = 0; // as the window shows it (0 and 255 are 12)
    QString note;     // the user note, as read
    bool noteRead = false;
    QString text; // one Czech line saying what was found
};

// Asks every port in turn with one identification read, one attempt each (bytes
// 262..269: the firmware number and the two type bytes), and reads the note of
// every transmitter that answered. A port another program holds is skipped and
// named, and nothing is sent to it. Each port has a link of its own, so a silent
// port leaves nothing for the next one to wait out. Nothing is shown to the
// person on the way: every outcome is in the findings.
class TransmitterSearch {
public:
    explicit TransmitterSearch(LinkTiming timing = {});

    // Called before each port is asked: its number from 0, the count, the port.
    std::function<void(int, int, const SearchCandidate&)> asking;
    // Called with each port's finding as soon as it is known.
    std::function<void(const SearchFinding&)> answered;

    QList<SearchFinding> run(const QList<SearchCandidate>& ports);
    SearchFinding probe(const SearchCandidate& port);

    // "Hledám převodník na COM3…"
    static QString askingText(const SearchCandidate& port);
    // "Nalezeno převodníků: 2." or "Žádný převodník nebyl nalezen."
    static QString summaryText(const QList<SearchFinding>& findings);

private:
    LinkTiming timing_;
};

} // namespace vtr8
