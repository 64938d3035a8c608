#pragma once

#include <QString>

namespace vtr8 {

// The two controls of the main window the link drives: the progress bar
// PrenosByte (0 before every write, 100 on every received byte) and the hidden
// label ZPocPrij (number of the attempt just finished).
class LinkIndicators {
public:
    virtual ~LinkIndicators() = default;
    virtual void setPrenosByte(int value) = 0;
    virtual void setZPocPrij(const QString& text) = 0;
};

} // namespace vtr8
