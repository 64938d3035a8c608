#pragma once

#include "linearization/extended.h"
#include "linearization/point_set.h"
#include "user_interface/user_interface.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace vtr8 {

class CommandProtocol;
struct LinearizationWorkspace;

// Values a write derives and keeps until the next write. A read of the
// configuration refreshes the ones it reads back (bytes 402, 424..427), and the
// range display and the next write take them from here.
struct TransferState {
    // Characteristic indices (0..16) stored at 425 and 426, and the code at 427.
    std::uint8_t LinearizationCharacteristic = 16;
    std::uint8_t RangeCharacteristic = 16;
    std::uint8_t LinearizationCode = 0;
    // Front-end mode 1..53 (byte 402); 0 until a write chose one or a read found one.
    std::uint8_t FrontEndMode = 0;
    bool FrontEndModeFound = false;
    // Magnitude of the input signal that chose the front-end sub-range (ohms or volts).
    Extended InputSignalMax = 0;
    // Unit code of the stored limits (bytes 339 and 354).
    std::uint8_t RangeUnitCode = 0;
    // Smaller and larger range limit, possibly converted to ohms or volts by the write.
    Extended RangeMin = 0;
    Extended RangeMax = 0;
    bool RangeFalling = false;
    // Firmware byte 262 as read last; 0 and 255 are the old polynomial firmware.
    std::uint8_t FirmwareNumber = 0;
    bool OldFirmware = false;
    // False after a read found no valid input or error-current code (a blank or foreign unit).
    bool ValidConfiguration = true;
    // When on, the user-note routines move the progress bar Prenos. The note's own
    // buttons turn it on; reading the whole configuration turns it off so the note
    // does not disturb that read's progress.
    bool NoteProgress = false;
};

// What a sequence shows while it runs, connected by whoever builds the context; a hook left
// empty shows nothing.
struct TransferFeedback {
    std::function<void(int)> progress;         // "Přenos", 0..100
    std::function<void(int)> firmwareShown;    // the firmware number as the window shows it
    std::function<void(bool)> writing;         // a write runs: its button is disabled
    std::function<void(const QString&)> stage; // what the running part of a sequence does
    // Added after the write's question: which transmitter it goes to (port, firmware, note).
    std::function<QString(int shownFirmware)> writeTarget;
};

// Everything a transfer sequence (write, note, measurement) works with; the editor's own
// sequences add the editor model to it. The main window owns one for the whole run; the
// command-line tool and the tests build their own.
struct TransferContext {
    TransferContext(CommandProtocol& link_, UserInterface& ui_, LinearizationPoints& points_,
                    LinearizationWorkspace& workspace_)
        : link(link_), ui(ui_), points(points_), workspace(workspace_)
    {
    }

    CommandProtocol& link;
    UserInterface& ui;
    LinearizationPoints& points;
    LinearizationWorkspace& workspace;
    TransferState state;
    TransferFeedback feedback;
    // A write reads every block back before the transmitter restarts ("Ověřit zápis").
    bool readBackWrites = false;
};

} // namespace vtr8
