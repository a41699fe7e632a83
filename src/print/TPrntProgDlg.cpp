// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/TPrntProgDlg.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

// The client area inside a 293 x 111 tool-window frame at 96 dpi.
constexpr int kClientWidth = 287;
constexpr int kClientHeight = 87;

QLabel* makeLabel(QWidget* parent, const char* name, int left, int top, int width, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(left, top, width, 14);
    return label;
}

} // namespace

TPrntProgDlg::TPrntProgDlg(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowDoesNotAcceptFocus)
{
    // Taking the focus would count as leaving the main window, and coming back would show a tip.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Print Progress"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(11);
    setFont(font);
    // A fixed size is what keeps the frame's edges from resizing the window.
    setFixedSize(kClientWidth, kClientHeight);

    m_bevel = new QFrame(this);
    m_bevel->setObjectName(QStringLiteral("Bevel"));
    m_bevel->setFrameShape(QFrame::Box);
    m_bevel->setFrameShadow(QFrame::Sunken);
    m_bevel->setGeometry(4, 4, 277, 77);

    m_lblStatus = makeLabel(this, "lblStatus", 12, 16, 264, QString());
    m_lblTitle = makeLabel(this, "lblTitle", 12, 36, 264, QString());
    m_lblPageNumDesc = makeLabel(this, "lblPageNumDesc", 12, 56, 78, QStringLiteral("Page Number:"));
    m_lblPageNumber = makeLabel(this, "lblPageNumber", 92, 56, 184, QString());

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TPrntProgDlg::showProgress()
{
    show();
    // The timer ends the wait should the display never say so (a display that maps nothing).
    QTimer giveUp;
    giveUp.setSingleShot(true);
    giveUp.start(250);
    while (!(windowHandle() && windowHandle()->isExposed()) && giveUp.isActive())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

void TPrntProgDlg::repaintProgress()
{
    repaint();
    // The window manager's part (frame, stacking, exposure) arrives as events, and so do the paints
    // of a window that was only just mapped.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TPrntProgDlg::setProgressStatus(const std::string& status)
{
    m_lblStatus->setText(QString::fromStdString(status));
}

void TPrntProgDlg::setProgressTitle(const std::string& title)
{
    m_lblTitle->setText(QString::fromStdString(title));
}

void TPrntProgDlg::setProgressPageNumber(const std::string& pageNumber)
{
    m_lblPageNumber->setText(QString::fromStdString(pageNumber));
}

QString TPrntProgDlg::statusText() const
{
    return m_lblStatus->text();
}

QString TPrntProgDlg::titleText() const
{
    return m_lblTitle->text();
}

QString TPrntProgDlg::pageNumberText() const
{
    return m_lblPageNumber->text();
}
