#pragma once

#include <functional>

namespace vtr8 {

// What the main window's transfer buttons do. The application fills these
// with the transfer sequences; the window only calls them. An empty action
// leaves its button without effect.
struct MainWindowActions {
    std::function<void()> PoslatClick;    // write the configuration
    std::function<void()> PrecistClick;   // read the configuration
    std::function<void()> Preckomp1Click; // comparators
    std::function<void()> Ulozkomp1Click;
    std::function<void()> Preckomp2Click;
    std::function<void()> Ulozkomp2Click;
    std::function<void()> Prec_PoznClick; // user note
    std::function<void()> Uloz_PoznClick;
    std::function<void()> S_DolmezClick; // zero and span (buttons kept hidden)
    std::function<void()> S_HormezClick;
};

} // namespace vtr8
