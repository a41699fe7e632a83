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

class ProgressWindowLife : public ::testing::Test
{
protected:
    RecordingPrinter printer;
    QPointer<TPrntProgDlg> window;
    int windowsMade = 0;
    TLinePrinter lp{printer, LocaleSettings::usEnglish(), [this] {
                        auto made = std::make_unique<TPrntProgDlg>();
                        window = made.get();
                        ++windowsMade;
                        return made;
                    }};
};

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

TEST_F(ProgressWindowLife, IsMappedAndPaintedWhileTheRunKeepsTheThreadBusyAndGoesAtTheEnd)
{
    lp.setShowProgress(true);
    lp.setTitle("Lintwick Report");
    PaintSpy spy;
    std::vector<bool> exposedAtPageStart;
    QStringList pagesSeen, statusAtNewPage;
    lp.setOnNewPage([&](TLinePrinter&) { statusAtNewPage << (window ? window->statusText() : QString()); });
    lp.setOnNewLine([&](TLinePrinter&) {
        if (lp.lineNumber() != 0 || lp.currentY() != 0 || !window)
            return;
        if (QLabel* label = window->findChild<QLabel*>(QStringLiteral("lblPageNumber"));
            label && spy.painted.isEmpty())
            label->installEventFilter(&spy);
        exposedAtPageStart.push_back(window->windowHandle() && window->windowHandle()->isExposed());
        pagesSeen << window->pageNumberText();
    });
    // Posted before the run: only an event loop that runs during the run delivers it.
    bool delivered = false;
    QTimer::singleShot(0, [&] { delivered = true; });

    lp.beginDoc();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->statusText(), QStringLiteral("Currently Printing"));
    EXPECT_EQ(window->titleText(), QStringLiteral("Lintwick Report"));
    EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));
    lp.newPage();
    lp.newPage();
    EXPECT_TRUE(delivered);
    EXPECT_EQ(pagesSeen, (QStringList{"1", "2", "3"}));
    EXPECT_EQ(statusAtNewPage,
              (QStringList{"Preparing to Print", "Currently Printing", "Currently Printing"}));
    EXPECT_EQ(exposedAtPageStart, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(spy.painted.contains("2")) << spy.painted.join(",").toStdString();
    EXPECT_EQ(spy.painted.last(), "3");
    lp.endDoc();
    EXPECT_TRUE(window.isNull());

    // A new document gets a new window; a failed end keeps it, showing where it stopped, until the
    // document is dropped.
    lp.beginDoc();
    EXPECT_EQ(windowsMade, 2);
    printer.setEndDocFails(true);
    EXPECT_THROW(lp.endDoc(), ELinePrinter);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->statusText(), QStringLiteral("Finished Printing"));
    lp.abortDoc();
    EXPECT_TRUE(window.isNull());

    lp.setShowProgress(false);
    printer.setEndDocFails(false);
    lp.beginDoc();
    lp.endDoc();
    EXPECT_EQ(windowsMade, 2);
}

} // namespace
