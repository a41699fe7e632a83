// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/TPrntProgDlg.h"
#include "platform/RecordingPrinter.h"
#include "print/ELinePrinter.h"
#include "print/TLinePrinter.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// Records what a label showed each time it was painted.
class PaintSpy : public QObject
{
public:
    QStringList painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted << static_cast<QLabel*>(watched)->text();
        return QObject::eventFilter(watched, event);
    }
};

TEST(TPrntProgDlg, IsShownAndPaintedWhileTheRunKeepsTheThreadBusyAndGoesWithTheDocument)
{
    RecordingPrinter printer;
    QPointer<TPrntProgDlg> window;
    TLinePrinter lp(printer, LocaleSettings::usEnglish(), [&] {
        auto made = std::make_unique<TPrntProgDlg>();
        window = made.get();
        return made;
    });
    lp.setShowProgress(true);
    PaintSpy spy;
    std::vector<bool> exposedAtPageStart;
    lp.setOnNewLine([&](TLinePrinter&) {
        if (lp.lineNumber() != 0 || lp.currentY() != 0 || !window)
            return;
        if (spy.painted.isEmpty())
            window->findChild<QLabel*>(QStringLiteral("lblPageNumber"))->installEventFilter(&spy);
        exposedAtPageStart.push_back(window->windowHandle() && window->windowHandle()->isExposed());
    });
    // Posted before the run: only an event loop that runs during the run delivers it.
    bool delivered = false;
    QTimer::singleShot(0, [&] { delivered = true; });

    lp.beginDoc();
    lp.newPage();
    lp.newPage();
    EXPECT_TRUE(delivered);
    EXPECT_EQ(exposedAtPageStart, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(spy.painted.contains("2") && spy.painted.contains("3"))
        << spy.painted.join(",").toStdString();
    lp.endDoc();
    EXPECT_TRUE(window.isNull());

    // A failed end keeps the window, showing where it stopped, until the document is dropped.
    lp.beginDoc();
    printer.setEndDocFails(true);
    EXPECT_THROW(lp.endDoc(), ELinePrinter);
    EXPECT_FALSE(window.isNull());
    lp.abortDoc();
    EXPECT_TRUE(window.isNull());
}

} // namespace
