// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtMessageBoxes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace {

int Run(QMessageBox::Icon icon, const char* title, const std::string& text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton proceed,
        const std::function<void(QWidget*)>& beforeShowing, const std::string& details = {})
{
    QMessageBox box(icon, QString::fromLatin1(title), QString::fromStdString(text), buttons,
                    QApplication::activeWindow());
    // Plain text as well, behind the box's own Show Details button.
    if (!details.empty())
        box.setDetailedText(QString::fromStdString(details));
    // Enter always goes on: left to itself the box makes whichever button the desktop's style puts
    // first the default, which on some desktops is Cancel.
    box.setDefaultButton(proceed);
    box.setWindowModality(Qt::ApplicationModal);
    // Texts name files, and a file name is no markup.
    box.setTextFormat(Qt::PlainText);
    // Centred on the screen, not on the window that asked: the box speaks for the whole program. Its
    // size is final only once it is shown.
    box.show();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = box.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        box.move(frame.topLeft());
    }
    if (beforeShowing)
        beforeShowing(&box);
    return box.exec();
}

} // namespace

void QtMessageBoxes::Error(const std::string& text)
{
    Run(QMessageBox::Critical, "Error", text, QMessageBox::Ok, QMessageBox::Ok, beforeShowing);
}

void QtMessageBoxes::Warning(const std::string& text)
{
    Run(QMessageBox::Warning, "Warning", text, QMessageBox::Ok, QMessageBox::Ok, beforeShowing);
}

void QtMessageBoxes::Information(const std::string& text)
{
    Run(QMessageBox::Information, "Information", text, QMessageBox::Ok, QMessageBox::Ok, beforeShowing);
}

void QtMessageBoxes::InformationWithDetails(const std::string& text, const std::string& details)
{
    Run(QMessageBox::Information, "Information", text, QMessageBox::Ok, QMessageBox::Ok, beforeShowing,
        details);
}

bool QtMessageBoxes::Confirm(const std::string& text)
{
    return Run(QMessageBox::Question, "Confirm", text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok,
               beforeShowing) == QMessageBox::Ok;
}

bool QtMessageBoxes::Question(const std::string& text)
{
    return Run(QMessageBox::Question, "Confirm", text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
               beforeShowing) == QMessageBox::Yes;
}

void QtMessageBoxes::Beep()
{
    QApplication::beep();
}
