#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vtr8 {

class MeasurementModel;

// The measurement window "Měření": binds its widgets to a MeasurementModel. It
// is shown modally from the main window's "Měření" button (MereniClick).
class TForm3 : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 626;
    static constexpr int ClientHeight = 365;

    explicit TForm3(MeasurementModel& model, QWidget* parent = nullptr);

    // The main window's "Měření": empties value and unit, then shows the window
    // modally until it is closed.
    void MereniClick();

    MeasurementModel& model() { return model_; }
    // Copies the model's value and unit into the widgets.
    void refresh();

protected:
    // Closing the window by its frame stops continuous reading like "Zavřít".
    void reject() override;

private:
    MeasurementModel& model_;
    QLineEdit* ZoZmHodn = nullptr;
    QLabel* Z_jedn = nullptr;
    QPushButton* Start_Mer = nullptr;
};

} // namespace vtr8
