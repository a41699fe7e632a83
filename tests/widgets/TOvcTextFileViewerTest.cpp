// SPDX-License-Identifier: GPL-3.0-or-later
#include "WidgetTestSupport.h"

#include "widgets/EOvcException.h"
#include "widgets/TOvcController.h"
#include "widgets/TOvcTextFileViewer.h"

#include <QClipboard>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <new>

namespace {

// "line 0", "line 1" ... with CR LF after each.
std::string NumberedLines(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    return text;
}

class ViewerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
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
    std::pair<ViewerPos, ViewerPos> Highlight() const
    {
        return {m_viewer->HighlightStart(), m_viewer->HighlightEnd()};
    }
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

// Line ends, Ctrl+Z, the 1023-character cut and the messages are the loader's and tested there; here,
// that the viewer shows what the loader read from the file it names, and closes on an error.
TEST_F(ViewerTest, OpensTheNamedFileAndReopensOrClosesWhenTheNameChanges)
{
    m_viewer->SetFileName(Write("audit.txt", "one\r\ncd\t\x01"
                                             "e\r\n"));
    EXPECT_FALSE(m_viewer->IsOpen());
    m_viewer->SetIsOpen(true);
    ASSERT_EQ(m_viewer->LineCount(), 3);
    m_viewer->SetExpandTabs(false); // printing expands tabs all the same
    EXPECT_EQ(m_viewer->GetPrintableLine(1, 1024), "cd      ?e");
    m_viewer->SetFileName(Write("empty.txt", ""));
    EXPECT_EQ(m_viewer->LineCount(), 1) << "reopened: an empty file shows one empty line";

    EXPECT_THROW(m_viewer->SetFileName(m_dir.filePath("missing.txt").toStdString()), EInOutError);
    EXPECT_FALSE(m_viewer->IsOpen());
    EXPECT_EQ(m_viewer->LineCount(), 0);
    EXPECT_FALSE(QApplication::overrideCursor()) << "the busy cursor is restored after the error";
    m_viewer->SetFileName("");
    m_viewer->SetIsOpen(true);
    EXPECT_FALSE(m_viewer->IsOpen()) << "an empty name opens nothing";
}

TEST_F(ViewerTest, SearchStepsThroughMatchesWithoutWrapping)
{
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += (i == 3 || i == 9) ? "line with ERROR inside\r\n" : "ordinary line\r\n";
    Open(text);
    ASSERT_TRUE(m_viewer->Search("error", sfFind));
    EXPECT_EQ(Highlight(), std::pair(ViewerPos{3, 10}, ViewerPos{3, 15}));
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{3, 15}));
    ASSERT_TRUE(m_viewer->Search("error", sfFind));
    EXPECT_FALSE(m_viewer->Search("error", sfFind)) << "no wrap to the top";
    EXPECT_EQ(Highlight(), std::pair(ViewerPos{9, 10}, ViewerPos{9, 15}))
        << "a failed search changes nothing";
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{9, 15}));
    ASSERT_TRUE(m_viewer->Search("error", sfEntireText));
    EXPECT_EQ(m_viewer->HighlightStart().Line, 3) << "the entire text starts at the top";
    EXPECT_FALSE(QApplication::overrideCursor());

    Open("abc first\r\nabcabcabc_abc\r\n");
    m_viewer->MoveCaretTo(1, 10, false);
    ASSERT_TRUE(m_viewer->Search("ABC", sfBackward));
    EXPECT_EQ(Highlight(), std::pair(ViewerPos{1, 6}, ViewerPos{1, 9}));
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{1, 6})) << "backwards the caret goes to the start";
}

TEST_F(ViewerTest, WithoutCaretArrowsScrollAndPageKeysMoveTheViewAndCaret)
{
    Open(NumberedLines(200));
    m_viewer->SetShowCaret(false);
    ASSERT_TRUE(ShowWithViewport(*m_viewer, 300, 10 * m_viewer->RowHeight()));
    ASSERT_EQ(m_viewer->VisibleRows(), 10);

    Key(Qt::Key_Down);
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{0, 0})) << "the search start stays";
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(m_viewer->Caret().Line, 9);
    Key(Qt::Key_PageDown);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(m_viewer->Caret().Line, 9);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_PageDown); // a page from where the view was scrolled to: 11 + 9
    EXPECT_EQ(m_viewer->Caret().Line, 18);
    Key(Qt::Key_Right);
    EXPECT_EQ(m_viewer->LeftColumn(), 1);
    Key(Qt::Key_End);
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{200, 0}));
    EXPECT_EQ(m_viewer->LeftColumn(), 0);
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{0, 0}));
    EXPECT_EQ(m_viewer->TopLine(), 0);
}

TEST_F(ViewerTest, MouseSelectsTextLinesAndWordsForCopyingWithOrWithoutTheCaret)
{
    Open("alpha beta  gamma\r\nsecond line\r\nthird\r\n");
    ASSERT_TRUE(ShowWithViewport(*m_viewer, 400, 10 * m_viewer->RowHeight()));
    QWidget* viewport = m_viewer->viewport();

    QTest::mousePress(viewport, Qt::LeftButton, {}, CellPoint(0, 2));
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{0, 2}));
    QTest::mouseMove(viewport, CellPoint(1, 3));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, CellPoint(1, 3));
    EXPECT_EQ(Highlight(), std::pair(ViewerPos{0, 2}, ViewerPos{1, 3}));

    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(4, m_viewer->RowHeight() + 2));
    EXPECT_EQ(Highlight(), std::pair(ViewerPos{1, 0}, ViewerPos{1, 11}))
        << "the margin selects the whole line";
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, QPoint(4, 2));
    EXPECT_EQ(Highlight(), std::pair(ViewerPos{0, 0}, ViewerPos{1, 11}));
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{0, 0}));

    QTest::mouseDClick(viewport, Qt::LeftButton, {}, CellPoint(0, 7));
    EXPECT_EQ(Highlight(), std::pair(ViewerPos{0, 6}, ViewerPos{0, 12}))
        << "the word and the blanks after it";
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, CellPoint(0, 11));
    EXPECT_EQ(m_viewer->HighlightStart(), (ViewerPos{0, 6})) << "on a blank, the word before it";

    // Without the caret (the audit window) the highlight made by mouse is copied all the same.
    m_viewer->SetShowCaret(false);
    QGuiApplication::clipboard()->clear();
    QTest::mousePress(viewport, Qt::LeftButton, {}, CellPoint(0, 6));
    QTest::mouseMove(viewport, CellPoint(1, 2));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, CellPoint(1, 2));
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("beta  gamma\r\nse"));
}

TEST(TOvcFixedFont, KeepsToFixedPitchFamilies)
{
    int changes = 0;
    TOvcFixedFont font([&] { ++changes; });
    const QString start = font.Name();
    font.SetName(QStringLiteral("DejaVu Sans")); // proportional
    EXPECT_EQ(font.Name(), start);
    EXPECT_EQ(changes, 0);
    EXPECT_THROW(font.Assign(QFont(QStringLiteral("DejaVu Sans"))), EInvalidFixedFont);
    font.SetName(QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(std::pair(font.Name(), changes), std::pair(QStringLiteral("DejaVu Sans Mono"), 1));
    font.SetName(QStringLiteral("Courier")); // stands for the desktop's fixed font
    EXPECT_TRUE(TOvcFixedFont::IsFixedPitch(font.Font()));
}

// What the window system shows of a widget: its backing store, where pixels moved by a scroll stay
// until something repaints them (a grab() would paint everything afresh).
QImage OnScreen(QWidget* widget)
{
    QApplication::processEvents();
    QWidget* window = widget->window();
    const QPoint origin = widget->mapTo(window, QPoint(0, 0));
    const QImage whole = window->screen()->grabWindow(window->winId()).toImage();
    return whole.copy(QRect(origin * whole.devicePixelRatio(), widget->size() * whole.devicePixelRatio()))
        .convertToFormat(QImage::Format_RGB32);
}

QImage Painted(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The columns of a row whose cells have the background colour (looked at above the glyphs).
std::vector<int> ColumnsWithColour(const TOvcBaseViewer& viewer, const QImage& image, int row,
                                   const QColor& colour)
{
    std::vector<int> columns;
    const int y = row * viewer.RowHeight() + 1;
    for (int column = 0; column < viewer.VisibleColumns(); ++column) {
        const int x = TOvcBaseViewer::kMarginWidth + static_cast<int>((column + 0.5) * viewer.CharAdvance());
        if (image.pixelColor(x, y) == colour)
            columns.push_back(column);
    }
    return columns;
}

TEST_F(ViewerTest, AScrollAlongBothAxesLeavesNoStaleRows)
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += std::to_string(i) + " abcdefghijklmnopqrstuvwxyz ERROR 0123456789\r\n";
    Open(text);
    m_viewer->SetShowCaret(false);
    ASSERT_TRUE(ShowWithViewport(*m_viewer, 300, 10 * m_viewer->RowHeight()));
    ASSERT_TRUE(OnScreen(m_viewer->viewport()) == Painted(m_viewer->viewport())) << "the screen is readable";

    for (int i = 0; i < 5; ++i)
        Key(Qt::Key_Right);
    ASSERT_EQ(m_viewer->LeftColumn(), 5);
    ASSERT_TRUE(OnScreen(m_viewer->viewport()) == Painted(m_viewer->viewport()));
    Key(Qt::Key_PageDown); // back to the first column and down a page at once
    ASSERT_EQ(m_viewer->LeftColumn(), 0);
    ASSERT_EQ(m_viewer->TopLine(), 9);
    EXPECT_TRUE(OnScreen(m_viewer->viewport()) == Painted(m_viewer->viewport())) << "stale rows";

    m_viewer->Scroll(20, 0);
    m_viewer->MoveCaretTo(9, 40, false);
    ASSERT_TRUE(OnScreen(m_viewer->viewport()) == Painted(m_viewer->viewport()));
    ASSERT_TRUE(m_viewer->Search("25 a", sfFind)); // a few lines below the view, left of it
    ASSERT_EQ(m_viewer->TopLine(), 16);
    ASSERT_EQ(m_viewer->LeftColumn(), 0);
    EXPECT_TRUE(OnScreen(m_viewer->viewport()) == Painted(m_viewer->viewport())) << "stale rows";
}

TEST_F(ViewerTest, TheGridCountsCharactersNotBytes)
{
    Open("\xc3\xa9\xc3\xa9\xc3\xa9 abc\r\n" // ééé abc
         "\xe4\xb8\xad\xe6\x96\x87 zh\r\n"  // 中文 zh
         "\xc3\xa9xa\r\nxa\r\n");           // éxa, xa
    ASSERT_TRUE(ShowWithViewport(*m_viewer, 400, 10 * m_viewer->RowHeight()));
    QTest::mouseClick(m_viewer->viewport(), Qt::LeftButton, {}, CellPoint(1, 3));
    EXPECT_EQ(m_viewer->Caret(), (ViewerPos{1, 7})) << "z after two three-byte characters and a blank";

    // The highlight covers the characters it names, wherever they sit in the line.
    m_viewer->SetHighlight(0, 7, 0, 10, true);
    const QColor highlight = m_viewer->palette().color(QPalette::Highlight);
    EXPECT_EQ(ColumnsWithColour(*m_viewer, Painted(m_viewer->viewport()), 0, highlight),
              (std::vector<int>{4, 5, 6}));
    m_viewer->SetHighlight(1, 0, 1, 3, true);
    EXPECT_EQ(ColumnsWithColour(*m_viewer, Painted(m_viewer->viewport()), 1, highlight),
              (std::vector<int>{0}));

    // The left column never cuts a character: "xa" behind "é" scrolled out of view looks as "xa" alone.
    m_viewer->SetShowCaret(false);
    const QRect row2(0, 2 * m_viewer->RowHeight(), 400, m_viewer->RowHeight());
    const QImage unscrolled = Painted(m_viewer->viewport()).copy(row2.translated(0, m_viewer->RowHeight()));
    m_viewer->Scroll(1, 0);
    EXPECT_EQ(Painted(m_viewer->viewport()).copy(row2), unscrolled);
}

// How far a wheel turn goes is the wheel's own; here, that every way of scrolling moves the text.
TEST_F(ViewerTest, TheWheelTheThumbAndTheBarScrollTheTextAtOnce)
{
    Open(NumberedLines(500));
    ASSERT_TRUE(ShowWithViewport(*m_viewer, 300, 10 * m_viewer->RowHeight()));
    SendWheel(m_viewer->viewport(), {0, -120});
    EXPECT_EQ(m_viewer->TopLine(), 3);
    SendWheel(m_viewer->viewport(), {-120, 0});
    EXPECT_EQ(m_viewer->LeftColumn(), 3);

    QScrollBar* bar = m_viewer->verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(100);
    EXPECT_EQ(m_viewer->TopLine(), 100) << "while the thumb is still held";
    bar->setSliderPosition(bar->maximum());
    EXPECT_EQ(m_viewer->TopLine(), m_viewer->LargestTopLine());
    bar->setSliderDown(false);

    bar->setValue(20); // the bar's own context menu: "Scroll here"
    EXPECT_EQ(m_viewer->TopLine(), 20);
    SendWheel(bar, {0, -120});
    EXPECT_EQ(m_viewer->TopLine(), 23);
    EXPECT_EQ(m_viewer->TopLine(), bar->value()) << "a wheel over the bar scrolls the text with it";
    m_viewer->horizontalScrollBar()->setValue(9);
    EXPECT_EQ(m_viewer->LeftColumn(), 9);
}

// A release lost to another window ends the tracking in the tracker both widgets share (see the list's
// test); the focus going is each widget's to pass on.
TEST_F(ViewerTest, MouseTrackingEndsWhenTheFocusGoes)
{
    Open(NumberedLines(500));
    ASSERT_TRUE(ShowWithViewport(*m_viewer, 300, 10 * m_viewer->RowHeight()));
    m_viewer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_viewer.get()));
    QTest::mousePress(m_viewer->viewport(), Qt::LeftButton, {}, CellPoint(2, 1));
    QTest::mouseMove(m_viewer->viewport(), QPoint(40, 12 * m_viewer->RowHeight()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_viewer->TopLine() >= 3; }, 2000)) << "extends while held";
    QWidget focusTaker;
    focusTaker.show();
    focusTaker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&focusTaker));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_viewer->MouseTracking(); }, 2000));
    QTest::mouseRelease(&focusTaker, Qt::LeftButton, {}, QPoint(10, 10));
}

// Lines made up on request, as many as wanted, counting how many were read.
class MadeUpViewer : public TOvcBaseViewer
{
public:
    void SetLines(int count) { SetLineCount(count); }
    const char* GetLinePtr(int line, int& length) override
    {
        ++reads;
        if (failing)
            throw std::bad_alloc();
        length = line >= 0 && line < LineCount() ? static_cast<int>(m_line.size()) : 0;
        return m_line.c_str();
    }
    int reads = 0;
    bool failing = false;

private:
    std::string m_line = std::string(99, 'x');
};

TEST(ViewerCopy, StopsReadingAtTheLimitAndKeepsFailuresInside)
{
    auto controller = std::make_shared<TOvcController>();
    MadeUpViewer viewer;
    viewer.SetController(controller);
    viewer.SetLines(200000);
    ASSERT_TRUE(ShowWithViewport(viewer, 300, 10 * viewer.RowHeight()));
    viewer.SetHighlight(0, 0, 648, 72, true); // 648 lines of 99 characters and CR LF, then 72: 65520 bytes
    viewer.CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text().size(), 65520);
    viewer.SetHighlight(0, 0, 648, 73, true);
    EXPECT_THROW(viewer.CopyToClipboard(), ERegionTooLarge);

    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(&viewer, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(viewer.HighlightEnd().Line, 199999);
    viewer.reads = 0;
    EXPECT_THROW(viewer.CopyToClipboard(), ERegionTooLarge);
    EXPECT_LT(viewer.reads, 2000) << "a copy reads no further than the limit";
    QTest::keyClick(&viewer, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

    viewer.failing = true;
    EXPECT_NO_THROW(QTest::keyClick(&viewer, Qt::Key_C, Qt::ControlModifier));
    viewer.failing = false;
}

} // namespace
