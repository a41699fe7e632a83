// SPDX-License-Identifier: GPL-3.0-or-later
#include "WidgetTestSupport.h"

#include "widgets/EOvcException.h"
#include "widgets/TOvcController.h"
#include "widgets/TOvcTextFileViewer.h"

#include <QClipboard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

class ViewerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApplication();
        ASSERT_TRUE(m_dir.isValid());
        m_viewer = std::make_unique<TOvcTextFileViewer>();
        m_viewer->SetController(m_controller);
    }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = m_dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    void Open(const std::string& bytes)
    {
        m_viewer->SetIsOpen(false);
        m_viewer->SetFileName(Write("view.txt", bytes));
        m_viewer->SetIsOpen(true);
    }
    std::string LineText(int line) { return std::string(m_viewer->Line(line)); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_viewer.get(), key, modifiers);
    }
    QPoint CellPoint(int row, int column) const
    {
        return QPoint(TOvcBaseViewer::kMarginWidth +
                          static_cast<int>((column + 0.5) * m_viewer->CharAdvance()),
                      row * m_viewer->RowHeight() + m_viewer->RowHeight() / 2);
    }

    QTemporaryDir m_dir;
    std::shared_ptr<TOvcController> m_controller = std::make_shared<TOvcController>();
    std::unique_ptr<TOvcTextFileViewer> m_viewer;
};

TEST_F(ViewerTest, LoadingSplitsLinesAtEveryKindOfLineEnd)
{
    Open("");
    EXPECT_TRUE(m_viewer->IsOpen());
    EXPECT_EQ(m_viewer->LineCount(), 1);

    Open("a\r\nb\r\n");
    EXPECT_EQ(m_viewer->LineCount(), 3);
    EXPECT_EQ(LineText(1), "b");
    EXPECT_EQ(LineText(2), "");

    Open("crlf\r\ncr\rlf\nlast");
    ASSERT_EQ(m_viewer->LineCount(), 5);
    EXPECT_EQ(LineText(0), "crlf");
    EXPECT_EQ(LineText(1), "cr");
    EXPECT_EQ(LineText(2), "lf");
    EXPECT_EQ(LineText(3), "last");

    Open("before\r\nin\x1a"
         "after\r\n");
    EXPECT_EQ(m_viewer->LineCount(), 3);
    EXPECT_EQ(LineText(1), "in");

    Open(std::string(2000, 'x') + "\r\nnext\r\n");
    EXPECT_EQ(LineText(0).size(), 1023u);
    EXPECT_EQ(LineText(1), "next");
    int length = -1;
    EXPECT_STREQ(m_viewer->GetLinePtr(99, length), "");
    EXPECT_EQ(length, 0);
    EXPECT_EQ(m_viewer->ClampLine(99), 2);
    EXPECT_EQ(m_viewer->ClampLine(-3), 0);
}

TEST_F(ViewerTest, FileNameIsKeptUpperCasedAndTheFileStillOpens)
{
    const std::string path = Write("audit.txt", "one\r\n");
    m_viewer->SetFileName(path);
    std::string upper = path;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    EXPECT_EQ(m_viewer->FileName(), upper);
    EXPECT_FALSE(m_viewer->IsOpen());
    m_viewer->SetIsOpen(true);
    EXPECT_TRUE(m_viewer->IsOpen());
    EXPECT_EQ(m_viewer->FileSize(), 5);
    EXPECT_EQ(LineText(0), "one");

    // Renaming an open viewer reopens it with the new file.
    m_viewer->SetFileName(Write("other.txt", "two\r\nthree\r\n"));
    EXPECT_TRUE(m_viewer->IsOpen());
    EXPECT_EQ(LineText(1), "three");

    m_viewer->SetIsOpen(false);
    m_viewer->SetFileName("");
    m_viewer->SetIsOpen(true);
    EXPECT_FALSE(m_viewer->IsOpen()) << "an empty name opens nothing";
}

TEST_F(ViewerTest, AMissingFileRaisesItsMessageAndLeavesTheViewerClosed)
{
    Open("old\r\n");
    m_viewer->SetIsOpen(false);
    m_viewer->SetFileName(m_dir.filePath("missing.txt").toStdString());
    try {
        m_viewer->SetIsOpen(true);
        FAIL() << "opened a missing file";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "Viewer: file not found");
        EXPECT_EQ(e.ErrorCode(), 2);
    }
    EXPECT_FALSE(m_viewer->IsOpen());
    EXPECT_EQ(m_viewer->LineCount(), 0);
    EXPECT_EQ(m_viewer->FileSize(), 0);
    EXPECT_FALSE(QApplication::overrideCursor()) << "the busy cursor is restored after the error";
}

TEST_F(ViewerTest, ForwardSearchStepsThroughMatchesWithoutWrapping)
{
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += (i == 3 || i == 9) ? "line with ERROR inside\r\n" : "ordinary line\r\n";
    Open(text);

    EXPECT_FALSE(m_viewer->Search("", sfFind));
    ASSERT_TRUE(m_viewer->Search("error", sfFind));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{3, 10}));
    EXPECT_EQ(m_viewer->HighlightEnd(), (ViewerPos{3, 15}));
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{3, 15}));
    ASSERT_TRUE(m_viewer->Search("error", sfFind));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{9, 10}));
    EXPECT_FALSE(m_viewer->Search("error", sfFind)) << "no wrap to the top";
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{9, 10})) << "a failed search changes nothing";
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{9, 15}));
    EXPECT_FALSE(m_viewer->Search("error", sfFind | sfMatchCase));

    ASSERT_TRUE(m_viewer->Search("error", sfEntireText));
    EXPECT_EQ(m_viewer->HighlightStart().Line, 3) << "the entire text starts at the top";
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(ViewerTest, BackwardSearchHighlightsTheLastMatchBeforeTheCaret)
{
    Open("abc first\r\nabcabcabc_abc\r\n");
    m_viewer->MoveCaretTo(1, 10, false);
    ASSERT_TRUE(m_viewer->Search("ABC", sfBackward));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{1, 6}));
    EXPECT_EQ(m_viewer->HighlightEnd(), (ViewerPos{1, 9}));
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{1, 6}));
    ASSERT_TRUE(m_viewer->Search("abc", sfBackward));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{1, 3}));
    ASSERT_TRUE(m_viewer->Search("abc", sfBackward));
    ASSERT_TRUE(m_viewer->Search("abc", sfBackward));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{0, 0})) << "continues on the previous line";
    EXPECT_FALSE(m_viewer->Search("abc", sfBackward));

    m_viewer->MoveCaretTo(1, 12, false);
    ASSERT_TRUE(m_viewer->Search("abc", sfBackward));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{1, 6})) << "a match must end at or before the caret";
}

TEST_F(ViewerTest, WithoutCaretArrowsScrollAndPageKeysMoveTheViewAndCaret)
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Open(text);
    m_viewer->SetShowCaret(false);
    ASSERT_TRUE(ShowWithViewport(*m_viewer, 300, 10 * m_viewer->RowHeight()));
    ASSERT_EQ(m_viewer->VisibleRows(), 10);
    std::vector<int> topLines;
    m_viewer->OnTopLineChanged = [&](TOvcBaseViewer*, int line) { topLines.push_back(line); };

    Key(Qt::Key_Down);
    EXPECT_EQ(m_viewer->TopLine(), 1);
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{0, 0})) << "the search start stays";
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(m_viewer->TopLine(), 0);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(m_viewer->TopLine(), 9);
    EXPECT_EQ(m_viewer->Caret().Line, 9);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(m_viewer->TopLine(), 18);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(m_viewer->TopLine(), 9);
    EXPECT_EQ(m_viewer->Caret().Line, 9);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(m_viewer->Caret().Line, 18);
    EXPECT_EQ(m_viewer->TopLine(), 20) << "the view moves a page from where it was scrolled to";
    Key(Qt::Key_Right);
    EXPECT_EQ(m_viewer->LeftColumn(), 1);
    Key(Qt::Key_End);
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{200, 0}));
    EXPECT_EQ(m_viewer->TopLine(), 201 - 10);
    EXPECT_EQ(m_viewer->LeftColumn(), 0);
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{0, 0}));
    EXPECT_EQ(m_viewer->TopLine(), 0);
    EXPECT_EQ(topLines, (std::vector<int>{1, 0, 9, 18, 9, 10, 11, 20, 191, 0}));
}

TEST_F(ViewerTest, CaretKeysMoveAcrossLineEndsAndExtendTheHighlight)
{
    Open("ab\r\ncd\r\n");
    ASSERT_TRUE(ShowWithViewport(*m_viewer, 300, 10 * m_viewer->RowHeight()));
    Key(Qt::Key_End);
    Key(Qt::Key_Right);
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{1, 0}));
    Key(Qt::Key_Left, Qt::ShiftModifier);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{0, 1}));
    EXPECT_EQ(m_viewer->HighlightEnd(), (ViewerPos{1, 0}));
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("b\r\n"));
    Key(Qt::Key_Down);
    EXPECT_FALSE(m_viewer->HasHighlight());
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{1, 1}));

    std::string big;
    for (int i = 0; i < 100; ++i)
        big += std::string(700, 'x') + "\r\n";
    Open(big);
    m_viewer->SetHighlight(0, 0, 93, 399, true); // 93 * 702 + 399 = 65685 bytes
    EXPECT_THROW(m_viewer->CopyToClipboard(), ERegionTooLarge);
    m_viewer->SetHighlight(0, 0, 93, 234, true); // 65520 bytes
    m_viewer->CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text().size(), 65520);
}

TEST_F(ViewerTest, MouseSelectsTextLinesAndWords)
{
    Open("alpha beta  gamma\r\nsecond line\r\nthird\r\n");
    ASSERT_TRUE(ShowWithViewport(*m_viewer, 400, 10 * m_viewer->RowHeight()));
    QWidget* viewport = m_viewer->viewport();

    QTest::mousePress(viewport, Qt::LeftButton, {}, CellPoint(0, 2));
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{0, 2}));
    QTest::mouseMove(viewport, CellPoint(1, 3));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, CellPoint(1, 3));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{0, 2}));
    EXPECT_EQ(m_viewer->HighlightEnd(), (ViewerPos{1, 3}));

    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(4, m_viewer->RowHeight() + 2));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{1, 0})) << "the margin selects the whole line";
    EXPECT_EQ(m_viewer->HighlightEnd(), (ViewerPos{1, 11}));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, QPoint(4, 2));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{0, 0}));
    EXPECT_EQ(m_viewer->HighlightEnd(), (ViewerPos{1, 11}));
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{0, 0}));

    QTest::mouseDClick(viewport, Qt::LeftButton, {}, CellPoint(0, 7));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{0, 6})) << "the word and the blanks after it";
    EXPECT_EQ(m_viewer->HighlightEnd(), (ViewerPos{0, 12}));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, CellPoint(0, 11));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{0, 6})) << "on a blank, the word before it";
}

TEST_F(ViewerTest, PrintableLinesExpandTabsAndReplaceControlCharacters)
{
    Open("a\tb\x01"
         "c\r\n");
    m_viewer->SetExpandTabs(false);
    EXPECT_EQ(m_viewer->GetPrintableLine(0, 1024), "a       b?c");
    EXPECT_EQ(m_viewer->GetPrintableLine(0, 4), "a   ");
    EXPECT_EQ(m_viewer->GetPrintableLine(1, 1024), "");
    EXPECT_EQ(m_viewer->GetPrintableLine(5, 1024), "");
}

} // namespace

namespace {

TEST(TOvcFixedFont, KeepsToFixedPitchFamilies)
{
    EnsureApplication();
    int changes = 0;
    TOvcFixedFont font([&] { ++changes; });
    const QString start = font.Name();
    EXPECT_TRUE(TOvcFixedFont::IsFixedPitch(font.Font()));
    font.SetName(QStringLiteral("DejaVu Sans")); // proportional
    EXPECT_EQ(font.Name(), start);
    EXPECT_EQ(changes, 0);
    const QFont proportional(QStringLiteral("DejaVu Sans"));
    ASSERT_FALSE(TOvcFixedFont::IsFixedPitch(proportional));
    EXPECT_THROW(font.Assign(proportional), EInvalidFixedFont);
    font.SetName(QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(font.Name(), QStringLiteral("DejaVu Sans Mono"));
    font.SetName(QStringLiteral("Courier")); // stands for the desktop's fixed font
    EXPECT_TRUE(TOvcFixedFont::IsFixedPitch(font.Font()));
    font.SetSize(10);
    EXPECT_EQ(font.Size(), 10);
    EXPECT_GE(changes, 1);
}

} // namespace
