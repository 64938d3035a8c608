#pragma once

#include "link/link_timing.h"
#include "link/port_listing.h"
#include "link/port_selection.h"
#include "transfer/transmitter_search.h"

#include <QWidget>

#include <array>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace vtr8 {

class CommandProtocol;

// The port window "Com": the choice of COM1..COM8, each shown with the device
// it stands for on this system, and of the other serial ports the system lists
// (USB adapters); a port whose device is not there is marked. "Najít převodník"
// asks every port that is there for a transmitter and offers the ones that
// answered. Modal: OK makes the choice the port of the next command and stores it
// for the next run; "Zrušit", Escape and the close box leave the stored choice in
// force, so no port is ever used without being stored.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    // Width of the list of transmitters found; the window follows its contents.
    static constexpr int ClientWidth = 400;

    explicit TForm2(CommandProtocol& protocol, QWidget* parent = nullptr);

    // Creation handler: restores the stored choice.
    void FormCreate();
    // OK: takes and stores the choice, brings the main window forward, hides.
    void Button1Click();
    // "Zrušit", Escape: forgets the choice shown, hides.
    void ZrusitClick();
    // "Najít převodník": asks every port that is there, lists what answered.
    void NajitClick();

    // Where the system's ports come from (not owned; the system's by default).
    // Lists them again.
    void setPortListing(const PortListing* listing);
    // Lists the system's ports again (also whenever the window is shown).
    void refreshPorts();
    // Timing of the search's links (tests shorten it).
    void setSearchTiming(const LinkTiming& timing) { searchTiming_ = timing; }

    PortSelection& selection() { return selection_; }
    QGroupBox* setCom() const { return setCom_; }
    QRadioButton* item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    // The radio button of a listed port by its name; nullptr if not offered.
    QRadioButton* listedItem(const QString& name) const;
    QListWidget* foundList() const { return found_; }
    const QList<SearchFinding>& findings() const { return findings_; }

    // The port in use as the status line shows it, and its device.
    QString portInUse() const { return selection_.choiceText(); }
    QString deviceInUse() const;

    // Shown instead of a search while a transfer owns the link.
    static QString LinkBusySearchText();
    // A port in messages: "ttyUSB0", or "COM3 (/dev/ttyS2)" where the device's own name
    // differs from the one chosen.
    static QString portLabel(const QString& name, const QString& device);
    // Shown under the choice while it is a port the system does not have.
    static QString MissingChoiceText(const QString& port);
    QLabel* choiceNote() const { return choiceNote_; }

    std::function<void()> raiseMainWindow;
    // After OK put a choice in force.
    std::function<void()> portChanged;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void chooseItem(int id);
    void chooseFound(int row);
    void showSelection();
    void checkShown();
    void showChoiceNote();
    void clearFindings();
    bool shownPortExists() const;
    QString shownPortText() const;

    CommandProtocol& protocol_;
    const PortListing* listing_;
    PortSelection selection_;
    LinkTiming searchTiming_;
    QList<OfferedPort> offered_;
    QGroupBox* setCom_ = nullptr;
    std::array<QRadioButton*, 8> items_{};
    std::array<QLabel*, 8> paths_{};
    QGroupBox* systemPorts_ = nullptr;
    QVBoxLayout* systemLayout_ = nullptr;
    QList<QWidget*> systemRows_;
    QList<QRadioButton*> listed_;
    QButtonGroup* group_ = nullptr;
    QPushButton* find_ = nullptr;
    QLabel* searchState_ = nullptr;
    QListWidget* found_ = nullptr;
    QList<SearchFinding> findings_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* choiceNote_ = nullptr;
    bool searching_ = false;
    // The item checked in the window, taken by OK: an index of the eight, or a
    // listed port's name.
    int shownIndex_ = 0;
    QString shownName_;
};

} // namespace vtr8
