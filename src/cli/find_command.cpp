#include "cli/find_command.h"

#include "cli/cli_session.h"
#include "link/port_listing.h"
#include "link/port_selection.h"
#include "transfer/note_codec.h"
#include "transfer/transmitter_search.h"
#include "user_interface/user_interface.h"

namespace vtr8 {

int RunFindCommand(QTextStream& out, UserInterface& ui)
{
    const PortSelection stored;
    const QList<SearchCandidate> ports =
        SearchCandidates(OfferedPorts(DefaultPortListing(), stored.portName()));
    TransmitterSearch search;
    bool found = false;
    bool noteMissing = false;
    search.answered = [&](const SearchFinding& f) {
        if (f.outcome != SearchFinding::Outcome::Found) {
            ui.message(f.text);
            return;
        }
        found = true;
        // An unread note is no empty note: the line keeps its place, the message says why.
        if (!f.noteRead) {
            noteMissing = true;
            ui.message(f.text);
        }
        out << f.port.name << '\t' << f.port.device << '\t' << f.firmware << '\t'
            << visibleControlCharacters(f.note) << '\n';
        out.flush();
    };
    const QList<SearchFinding> findings = search.run(ports);
    ui.message(TransmitterSearch::summaryText(findings));
    return found && !noteMissing ? ExitDone : ExitEndedEarly;
}

} // namespace vtr8
