#pragma once

#include "link/port_selection.h"

#include <QWidget>

#include <array>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vtr8 {

class CommandProtocol;

// The port window "Com": the choice of COM1..COM8, each shown with the device
// it stands for on this system. Modal: OK makes the choice the port of the next
// command and stores it for the next run; "Zrušit", Escape and the close box
// leave the stored choice in force, so no port is ever used without being stored.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 292;
    static constexpr int ClientHeight = 286;

    explicit TForm2(CommandProtocol& protocol, QWidget* parent = nullptr);

    // Creation handler: restores the stored choice.
    void FormCreate();
    // OK: takes and stores the choice, brings the main window forward, hides.
    void Button1Click();
    // "Zrušit", Escape: forgets the choice shown, hides.
    void ZrusitClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

public:
    PortSelection& selection() { return selection_; }
    QGroupBox* setCom() const { return setCom_; }
    QRadioButton* item(int index) const { return items_.at(static_cast<std::size_t>(index)); }

    std::function<void()> raiseMainWindow;

private:
    void chooseItem(int index);
    void showSelection();

    CommandProtocol& protocol_;
    PortSelection selection_;
    QGroupBox* setCom_ = nullptr;
    QButtonGroup* group_ = nullptr;
    std::array<QRadioButton*, 8> items_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    int shown_ = 0; // the item checked in the window, taken by OK
};

} // namespace vtr8
