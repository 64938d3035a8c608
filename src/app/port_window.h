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
// it stands for on this system. The selection is live (the next command uses
// it); OK stores a changed choice for the next run.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 292;
    static constexpr int ClientHeight = 286;

    explicit TForm2(CommandProtocol& protocol, QWidget* parent = nullptr);

    // Creation handler: restores the stored choice.
    void FormCreate();
    // OK: stores a changed choice, brings the main window forward, hides.
    void Button1Click();

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
};

} // namespace vtr8
