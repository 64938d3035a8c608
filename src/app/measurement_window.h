#pragma once

#include <QDialog>

class QLabel;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;
class QLineEdit;
class QPushButton;

namespace vtr8 {

class MeasurementModel;
struct MeasurementReading;
class UserInterface;

// The measurement window "Měření": binds its widgets to a MeasurementModel. It
// is shown modally from the main window's "Měření" button (MereniClick).
class TForm3 : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 626;
    // The described controls, and below them the trend of the continuous run.
    static constexpr int ClientHeight = 365 + 300;
    // The trend shows at least the last hour of a run; the record keeps all of it.
    static constexpr int TrendPoints = 2400;

    explicit TForm3(MeasurementModel& model, QWidget* parent = nullptr);

    // The main window's "Měření": empties value and unit, then shows the window
    // modally until it is closed.
    void MereniClick();

    MeasurementModel& model() { return model_; }
    // Copies the model's value and unit into the widgets.
    void refresh();

    // Questions and the file dialog of "Uložit záznam"; without one the button does nothing.
    void setUserInterface(UserInterface* ui) { ui_ = ui; }
    // "Uložit záznam": the readings of the run as CSV, after the file dialog.
    void UlozZaznamClick();
    // The CSV of the run into `path`; false (and a message) when it could not be saved.
    bool saveRun(const QString& path);
    // "Start měření": a record of the last run that was not saved goes only when the person
    // agrees.
    void Start_MerClick();
    static QString DiscardRecordQuestion();
    // Beside "Naměřená hodnota" while the value shown is from before the link dropped.
    static QString StaleValueText();
    QLineSeries* trend() const { return series_; }
    QValueAxis* valueAxis() const { return valueAxis_; }

protected:
    // Closing the window by its frame stops continuous reading like "Zavřít".
    void reject() override;

private:
    void addToTrend(const MeasurementReading& reading);

    MeasurementModel& model_;
    UserInterface* ui_ = nullptr;
    QChartView* chartView_ = nullptr;
    QLineSeries* series_ = nullptr;
    QDateTimeAxis* timeAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* button1_ = nullptr;
    QLabel* stale_ = nullptr;
    QLineEdit* ZoZmHodn = nullptr;
    QLabel* Z_jedn = nullptr;
    QPushButton* Start_Mer = nullptr;
    QPushButton* stop_ = nullptr;
    // Readings came in since the record was last saved.
    bool unsavedRecord_ = false;
};

} // namespace vtr8
