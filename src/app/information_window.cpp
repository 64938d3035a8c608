#include "app/information_window.h"

#include "app/window_placement.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include <algorithm>

namespace vtr8 {

namespace {

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

TForm5::TForm5(const BrandState& brand, QWidget* parent) : QDialog(parent), brand_(brand)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Informace"));
    resize(FormWidth, FormHeight);
    setSizeGripEnabled(true);

    QFont big = font();
    big.setPixelSize(LabelFontPixels);
    big.setBold(true);
    constexpr int top = 14;
    constexpr int step = 44;
    for (int i = 0; i < InformationLabelCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(InformationLabelNames[i]));
        label->setFont(big);
        label->setGeometry(24, top + i * step, FormWidth - 48, 32);
        setTextColour(label, informationTextColour());
        labels_[static_cast<std::size_t>(i)] = label;
    }
    // The country lines are part of the window itself; the brands keep them.
    label(QStringLiteral("Label14"))->setText(formCountryLine());
    label(QStringLiteral("Label9"))->setText(formCountryLine());
    fitTexts();

    buttonVE5_ = new QPushButton(QStringLiteral("VE"), this);
    buttonVE5_->setObjectName(QStringLiteral("ButtonVE5"));
    buttonVE5_->setGeometry(FormWidth - 100, FormHeight - 34, 40, 24);
    connect(buttonVE5_, &QPushButton::clicked, this, &TForm5::ButtonVE5Click);
    buttonKA5_ = new QPushButton(QStringLiteral("KA"), this);
    buttonKA5_->setObjectName(QStringLiteral("ButtonKA5"));
    buttonKA5_->setGeometry(FormWidth - 54, FormHeight - 34, 40, 24);
    connect(buttonKA5_, &QPushButton::clicked, this, &TForm5::ButtonKA5Click);
    close_ = new QPushButton(QStringLiteral("&Zavřít"), this);
    close_->setObjectName(QStringLiteral("Zavrit"));
    close_->setGeometry(24, FormHeight - 34, 90, 26);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    // Hidden in the window as it is built, not only after FormCreate.
    buttonVE5_->hide();
    buttonKA5_->hide();

    centreOnScreen(this);
    FormCreate();
}

QLabel* TForm5::label(const QString& name) const
{
    for (QLabel* l : labels_)
        if (l && l->objectName() == name)
            return l;
    return nullptr;
}

void TForm5::FormCreate()
{
    // The main window is created first, so the brand flags are settled here.
    if (brand_.maker)
        ButtonVE5Click();
    if (brand_.second)
        ButtonKA5Click();
    buttonVE5_->setEnabled(false);
    buttonVE5_->hide();
    buttonKA5_->setEnabled(false);
    buttonKA5_->hide();
}

void TForm5::ButtonVE5Click()
{
    applyTexts(makerBrandProfile());
}

void TForm5::ButtonKA5Click()
{
    applyTexts(secondBrandProfile());
}

void TForm5::applyTexts(const BrandProfile& profile)
{
    for (int i = 0; i < InformationLabelCount; ++i)
        if (const auto& text = profile.informationTexts[static_cast<std::size_t>(i)])
            labels_[static_cast<std::size_t>(i)]->setText(*text);
    for (const char* name : InformationTitleLabelNames)
        setTextColour(label(QString::fromLatin1(name)), profile.titleColour);
    fitTexts();
}

void TForm5::fitTexts()
{
    int widest = FormWidth - 48;
    for (QLabel* l : labels_)
        widest = std::max(widest, l->sizeHint().width());
    for (QLabel* l : labels_)
        l->resize(widest, std::max(l->height(), l->sizeHint().height()));
    if (width() < widest + 48)
        resize(widest + 48, height());
}

} // namespace vtr8
