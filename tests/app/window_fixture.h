#pragma once

#include "app/application.h"
#include "app/main_window.h"
#include "app/qt_user_interface.h"
#include "user_interface/scripted_user_interface.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace vtr8::testing_support {

// Records like the scripted interface; the windows move the real focus themselves.
class FocusingUserInterface : public ScriptedUserInterface {
public:
    QWidget* mainWindow = nullptr;
};

inline QString u(const char* text)
{
    return QString::fromUtf8(text);
}

class WindowTest : public ::testing::Test {
protected:
    void startProgram(bool secondBrand = false)
    {
        program = std::make_unique<Vtr8Application>(&ui);
        program->brand().second = secondBrand;
        program->start();
        ui.mainWindow = program->form1();
    }

    void showMainWindow()
    {
        program->show();
        QWidget* window = program->form1();
        QApplication::setActiveWindow(window);
        window->activateWindow();
        QApplication::processEvents();
    }

    template <typename T> T* mainWidget(const char* name)
    {
        T* widget = program->form1()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void TearDown() override { program.reset(); }

    FocusingUserInterface ui;
    std::unique_ptr<Vtr8Application> program;
};

} // namespace vtr8::testing_support
