// SPDX-License-Identifier: GPL-3.0-or-later
// Runs on an offscreen desktop of two screens, one of them with a doubled pixel ratio.
#include "info/TAboutForm.h"
#include "info/TTipForm.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// The picture of the window's Image1 after the window moved to screen.
QPixmap PictureOn(QWidget& window, QScreen* screen)
{
    window.windowHandle()->setScreen(screen);
    QApplication::processEvents();
    return window.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap();
}

} // namespace

TEST(PictureScreens, AboutAndTipPicturesAreDrawnAgainForTheScreenTheyAreOn)
{
    QScreen* ordinary = nullptr;
    QScreen* doubled = nullptr;
    for (QScreen* screen : QGuiApplication::screens())
        (screen->devicePixelRatio() == 2.0 ? doubled : ordinary) = screen;
    ASSERT_TRUE(ordinary && doubled) << "the test's screen configuration was not read";

    TAboutForm about;
    TTipForm tip(0);
    for (QWidget* window : {static_cast<QWidget*>(&about), static_cast<QWidget*>(&tip)}) {
        SCOPED_TRACE(window->objectName().toStdString());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        const QPixmap first = PictureOn(*window, ordinary);
        EXPECT_EQ(first.devicePixelRatio(), 1.0);

        const QPixmap sharp = PictureOn(*window, doubled);
        EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
        EXPECT_EQ(sharp.size(), first.size() * 2);
        EXPECT_EQ(sharp.deviceIndependentSize(), first.deviceIndependentSize());

        const QPixmap back = PictureOn(*window, ordinary);
        EXPECT_EQ(back.devicePixelRatio(), 1.0);
        EXPECT_EQ(back.toImage(), first.toImage());
        window->hide();
    }
}
