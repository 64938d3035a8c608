#pragma once

#include "app/control_binder.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace vtr8 {

class TableWindowModel;

// The linearization-table window: the points of the point file, the
// approximation method and the polynomial degree. Not modal; it shows itself
// when the model says so and lays its controls out in proportion to its size.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    static constexpr int FormWidth = 760;
    static constexpr int FormHeight = 720;

    explicit TForm4(TableWindowModel& model, QWidget* parent = nullptr);

    void refresh();
    QTableWidget* grid() const { return grid_; }

    TableWindowModel& model() { return model_; }

    // The window opens over the middle of this one (the main window).
    QWidget* centreOver = nullptr;
    // "Chyba linearizace": the error plot of the configuration.
    std::function<void()> ChybaLinearizaceClick;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyLayout();

    TableWindowModel& model_;
    ControlBinder binder_;
    QTableWidget* grid_ = nullptr;
    QGroupBox* zpusLin_ = nullptr;
    QRadioButton* polynomial_ = nullptr;
    QRadioButton* straightLines_ = nullptr;
    QLabel* pstup_ = nullptr;
    QComboBox* stupP_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* jiny_ = nullptr;
    QPushButton* chyba_ = nullptr;
    QPushButton* zrusit_ = nullptr;
};

} // namespace vtr8
