#pragma once

#include "user_interface/user_interface.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class QWidget;

namespace vtr8 {

// The window program's way of talking to the person: modal message boxes with
// an OK button, Yes/No questions and the file dialogs. Focus moves are the windows'
// own: each binds its controls to widgets and focuses the one a model asks for. Dialog folders
// given in the brand's drive-letter form are mapped to this system's folders.
class QtUserInterface : public UserInterface {
public:
    QtUserInterface() = default;

    // The window that owns the dialogs (the main window).
    void setMainWindow(QWidget* window) { mainWindow_ = window; }
    // The next open-file dialog is answered with this path instead of being shown (a file
    // named on the command line).
    void setNextOpenFile(const QString& path) { nextOpenFile_ = path; }

    void message(const QString& text) override;
    bool confirm(const QString& text) override;
    bool confirmDiscard(const QString& text) override;
    QString chooseOpenFile(const QString& title, const QString& folder,
                           const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& folder,
                           const QString& filter) override;
    void focus(const QString& control) override;

    // "*.txt|*.txt|*.*|*.*" (description|pattern pairs) in the form Qt's file
    // dialogs take: "*.txt (*.txt);;*.* (*)". An empty filter stays empty.
    static QString qtFilter(const QString& filter);
    // The folder a file dialog opens in: the folder used last when it is still there, else
    // `folder` when it is there, else the person's documents (`documents`; the system's when
    // empty), else the home folder. No folder is made for it: the brand's folders exist only
    // where someone made them.
    static QString dialogFolder(const QString& folder, const QString& lastFolder = {},
                                const QString& documents = {});
    // The default suffix of a save dialog: that of the filter's first pattern
    // when it names one ("*.txt" gives "txt").
    static QString defaultSuffix(const QString& filter);
    // Moves the focus to `widget` if it can take it (hidden and disabled widgets cannot).
    static void focusWidget(QWidget* widget);

    // The title of the message boxes.
    static QString boxTitle();

private:
    QWidget* dialogParent() const;

    // The folder of the file chosen last, kept for the next run.
    QString lastFolder() const;
    void rememberFolder(const QString& file);

    QPointer<QWidget> mainWindow_;
    QString nextOpenFile_;
};

} // namespace vtr8
