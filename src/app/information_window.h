#pragma once

#include "app/brand_profile.h"

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

namespace vtr8 {

// The information window: the brand's contact data in thirteen large labels.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    static constexpr int FormWidth = 582;
    static constexpr int FormHeight = 614;
    static constexpr int LabelFontPixels = 23;

    explicit TForm5(const BrandState& brand, QWidget* parent = nullptr);

    // Creation handler: applies the brand texts, hides the brand buttons.
    void FormCreate();
    void ButtonVE5Click();
    void ButtonKA5Click();

    // The label of that name (Label101 ... Label111, Label14, Label9).
    QLabel* label(const QString& name) const;

private:
    void applyTexts(const BrandProfile& profile);
    // Widens the labels, and the window with them, until no text is cut off.
    void fitTexts();

    const BrandState& brand_;
    std::array<QLabel*, InformationLabelCount> labels_{};
    QPushButton* buttonVE5_ = nullptr;
    QPushButton* buttonKA5_ = nullptr;
    QPushButton* close_ = nullptr;
};

} // namespace vtr8
