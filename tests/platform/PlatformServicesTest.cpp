// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HelpViewerWindow.h"
#include "platform/PathProgramLauncher.h"
#include "platform/QtMessageBoxes.h"
#include "platform/RecordingMessageBoxes.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Puts PATH back as it was at the end of a test.
struct PathKeeper
{
    QByteArray path = qgetenv("PATH");
    ~PathKeeper() { qputenv("PATH", path); }
};

const std::string kHelpFile = LINTWICK_SOURCE_DIR "/help/Lintwick.hlp";

} // namespace

TEST(PathProgramLauncher, StartsAProgramFoundOnPathWithOneArgument)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath("args.txt");
    QFile script(dir.filePath("fake-browser"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nprintf '%s:%s' \"$#\" \"$1\" > '%1.tmp' && mv '%1.tmp' '%1'\n")
                     .arg(out)
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile plain(dir.filePath("not-executable"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();

    const PathKeeper keeper;
    qputenv("PATH", (dir.path() + QStringLiteral(":/bin:/usr/bin")).toLocal8Bit());
    PathProgramLauncher launcher;
    // Shell characters stay part of the one argument.
    EXPECT_EQ(launcher.LaunchProgram("fake-browser", "https://www.corvane.example/?a=1&b=2; echo x"),
              ProgramLauncher::kStarted);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 10000));
    QFile result(out);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(result.readAll().toStdString(), "1:https://www.corvane.example/?a=1&b=2; echo x");

    EXPECT_EQ(launcher.LaunchProgram("no-such-browser-here", "x"), ProgramLauncher::kNotFound);
    EXPECT_EQ(launcher.LaunchProgram("not-executable", "x"), ProgramLauncher::kNotFound);
}

TEST(QtMessageBoxes, EnterGoesOnAndTextsShowAsTheyAreWithoutMarkup)
{
    QtMessageBoxes boxes;
    std::vector<QString> shownTexts;
    QMessageBox::StandardButton answer = QMessageBox::Ok, proceed = QMessageBox::Ok;
    boxes.beforeShowing = [&](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        ASSERT_NE(box, nullptr);
        // Enter goes on, whatever order the desktop's style puts the buttons in.
        EXPECT_EQ(box->defaultButton(), box->button(proceed));
        // What the user reads: the label that carries the text.
        for (const QLabel* label : box->findChildren<QLabel*>())
            if (label->textFormat() == Qt::PlainText && !label->text().isEmpty())
                shownTexts.push_back(label->text());
        QTimer::singleShot(0, box, [box, answer] { box->button(answer)->click(); });
    };
    boxes.Error("e");
    EXPECT_TRUE(boxes.Confirm("c"));
    answer = QMessageBox::Cancel;
    EXPECT_FALSE(boxes.Confirm("c"));
    answer = proceed = QMessageBox::Yes;
    EXPECT_TRUE(boxes.Question("Move '/tmp/<b>x</b>.txt' to the trash?"));
    answer = QMessageBox::No;
    EXPECT_FALSE(boxes.Question("Move '/tmp/a&amp;b.txt' to the trash?"));
    EXPECT_EQ(shownTexts, (std::vector<QString>{"e", "c", "c", "Move '/tmp/<b>x</b>.txt' to the trash?",
                                                "Move '/tmp/a&amp;b.txt' to the trash?"}));
}

TEST(HelpViewerWindow, JumpsToTopicsByKeyAndFollowsLinks)
{
    RecordingMessageBoxes messages;
    HelpViewerWindow viewer(messages);
    ASSERT_TRUE(viewer.Contents(kHelpFile));
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.currentTopic(), "SCRIBBLE10");

    viewer.JumpID("SCRIBBLE90");
    EXPECT_EQ(viewer.currentTopic(), "SCRIBBLE90");
    auto* page = viewer.findChild<QTextBrowser*>(QStringLiteral("HelpPage"));
    EXPECT_TRUE(page->toPlainText().startsWith("Contacting Corvane"));
    EXPECT_FALSE(page->toPlainText().contains("Frequently asked questions"));

    emit page->anchorClicked(QUrl(QStringLiteral("#SCRIBBLE40")));
    EXPECT_EQ(viewer.currentTopic(), "SCRIBBLE40");
    EXPECT_TRUE(messages.shown.empty());

    viewer.JumpID("SCRIBBLE999");
    EXPECT_EQ(viewer.currentTopic(), "SCRIBBLE40");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, "Error");
    EXPECT_NE(messages.shown[0].text.find("SCRIBBLE999"), std::string::npos);
}

TEST(HelpViewerWindow, AMissingFileIsReportedAndNothingOpens)
{
    RecordingMessageBoxes messages;
    HelpViewerWindow viewer(messages);
    EXPECT_FALSE(viewer.Contents("/nonexistent/dir/Lintwick.hlp"));
    viewer.Finder("/nonexistent/dir/Lintwick.hlp");
    viewer.JumpID("SCRIBBLE90"); // nothing is open: quietly nothing
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[0].text.find("Lintwick.hlp"), std::string::npos);
    EXPECT_FALSE(viewer.isVisible());
}

TEST(HelpViewerWindow, BackAndForwardByButtonOrAltArrowAndEscapeOrCtrlWClose)
{
    // The steps themselves are TopicHistory's; here the keys and the button reach them.
    RecordingMessageBoxes messages;
    HelpViewerWindow viewer(messages);
    ASSERT_TRUE(viewer.Contents(kHelpFile));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
    auto* page = viewer.findChild<QTextBrowser*>(QStringLiteral("HelpPage"));
    page->setFocus();
    auto* backButton = viewer.findChild<QToolButton*>(QStringLiteral("HelpBack"));
    EXPECT_FALSE(backButton->isEnabled());

    emit page->anchorClicked(QUrl(QStringLiteral("#SCRIBBLE40")));
    viewer.JumpID("SCRIBBLE20");
    QTest::keyClick(page, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(viewer.currentTopic(), "SCRIBBLE40");
    backButton->click();
    EXPECT_EQ(viewer.currentTopic(), "SCRIBBLE10");
    EXPECT_FALSE(backButton->isEnabled());
    QTest::keyClick(page, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(viewer.currentTopic(), "SCRIBBLE40");

    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape), Qt::CTRL | Qt::Key_W}) {
        viewer.Contents(kHelpFile);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
        QTest::keyClick(page, key.key(), key.keyboardModifiers());
        EXPECT_FALSE(viewer.isVisible());
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST(HelpViewerWindow, FinderListsContentsAndAnIndexThatFiltersAsOneTypes)
{
    RecordingMessageBoxes messages;
    HelpViewerWindow viewer(messages);
    viewer.Finder(kHelpFile);
    auto* contents = viewer.findChild<QListWidget*>(QStringLiteral("HelpContents"));
    auto* index = viewer.findChild<QListWidget*>(QStringLiteral("HelpIndex"));
    auto* edit = viewer.findChild<QLineEdit*>(QStringLiteral("HelpIndexEdit"));
    EXPECT_GE(contents->count(), 11);
    EXPECT_EQ(index->count(), contents->count());

    // The filter itself is HelpDocument's: here typing reaches it and Enter opens the first.
    QTest::keyClicks(edit, QStringLiteral("REPORT"));
    EXPECT_LT(index->count(), contents->count());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(viewer.currentTopic(), "SCRIBBLE50"); // "Duplicate Files report" sorts first

    contents->itemClicked(contents->item(1));
    EXPECT_EQ(viewer.currentTopic(), "SCRIBBLE20");
}

TEST(HelpViewerWindow, PagesFollowTheViewersPaletteInsteadOfFixingTheirColours)
{
    const QPalette original = QApplication::palette();
    QPalette dark(QColor(53, 53, 53));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    QApplication::setPalette(dark);
    RecordingMessageBoxes messages;
    HelpViewerWindow viewer(messages);
    ASSERT_TRUE(viewer.Contents(kHelpFile));
    for (const char* key : {"SCRIBBLE10", "SCRIBBLE90"}) {
        viewer.JumpID(key);
        const QTextDocument* page = viewer.findChild<QTextBrowser*>(QStringLiteral("HelpPage"))->document();
        for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (format.isAnchor())
                    continue; // links take the palette's link colour
                EXPECT_FALSE(format.hasProperty(QTextFormat::ForegroundBrush))
                    << key << ": \"" << it.fragment().text().toStdString() << "\" has a colour of its own";
            }
        }
    }
    QApplication::setPalette(original);
}
