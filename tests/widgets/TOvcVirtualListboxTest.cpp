// SPDX-License-Identifier: GPL-3.0-or-later
#include "WidgetTestSupport.h"

#include "widgets/EOvcException.h"
#include "widgets/TOvcController.h"
#include "widgets/TOvcVirtualListbox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kRowHeight = 10;

class ListboxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_list = std::make_unique<TOvcVirtualListbox>();
        m_list->SetController(m_controller);
        m_list->SetRowHeight(kRowHeight);
        m_list->OnGetItem = [this](TOvcCustomVirtualListBox*, int index, QString& text) {
            ++m_getItemCalls;
            text = QStringLiteral("item %1").arg(index);
        };
        m_list->OnClick = [this](TOvcCustomVirtualListBox* sender) {
            m_clicks.push_back(sender->ItemIndex());
        };
    }

    // 20 visible rows without a header.
    void Show(int rows = 20, int width = 300)
    {
        ASSERT_TRUE(
            ShowWithViewport(*m_list, width, rows * kRowHeight + (m_list->ShowHeader() ? kRowHeight : 0)));
        ASSERT_EQ(m_list->VisibleRows(), rows);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_list.get(), key, modifiers);
    }
    QPoint RowPoint(int row) const { return QPoint(20, row * kRowHeight + kRowHeight / 2); }
    // Multi-select with every fifth row a separator; counts OnMarksChanged.
    void MarkSetup(int rows)
    {
        m_list->OnGetItemStatus = [](TOvcCustomVirtualListBox*, int index, bool& protect) {
            protect = index % 5 == 4;
        };
        m_list->OnMarksChanged = [this](TOvcCustomVirtualListBox*) { ++m_markChanges; };
        m_list->SetMultiSelect(true);
        m_list->SetNumItems(rows);
    }
    std::vector<int> Marked() const
    {
        std::vector<int> rows;
        for (int r = m_list->Marks().NextMarked(0); r >= 0; r = m_list->Marks().NextMarked(r + 1))
            rows.push_back(r);
        return rows;
    }

    std::shared_ptr<TOvcController> m_controller = std::make_shared<TOvcController>();
    std::unique_ptr<TOvcVirtualListbox> m_list;
    std::vector<int> m_clicks;
    int m_getItemCalls = 0;
    int m_markChanges = 0;
};

TEST_F(ListboxTest, KeysMoveTheSelectionAndScrollItIntoViewOrScrollTheColumns)
{
    m_list->SetNumItems(100);
    ASSERT_NO_FATAL_FAILURE(Show());
    m_list->SetItemIndex(-1);
    m_clicks.clear();

    Key(Qt::Key_Down); // from none to the first item
    Key(Qt::Key_Up);
    Key(Qt::Key_End);
    EXPECT_EQ(m_list->TopIndex(), 80) << "the last item sits in the bottom row";
    Key(Qt::Key_PageUp);
    Key(Qt::Key_Up);
    EXPECT_EQ(m_list->TopIndex(), 79);
    Key(Qt::Key_PageDown);
    Key(Qt::Key_PageDown); // a page never passes the last item
    Key(Qt::Key_Home);
    EXPECT_EQ(m_list->TopIndex(), 0);
    EXPECT_EQ(m_list->AnchorIndex(), 0);
    Key(Qt::Key_Down, Qt::ShiftModifier); // an extend command: ignored in single selection
    Key(Qt::Key_Q, Qt::ControlModifier);  // no command at all
    EXPECT_EQ(m_list->ItemIndex(), 0);
    EXPECT_EQ(m_clicks, (std::vector<int>{0, 99, 80, 79, 98, 99, 0})) << "every keyboard move fires OnClick";

    // Left and Right scroll by characters only when there is a horizontal bar.
    m_list->SetScrollBars(TScrollStyle::ssBoth);
    Key(Qt::Key_Left);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    EXPECT_EQ(m_list->ColumnOffset(), 2);
    EXPECT_EQ(m_list->ItemIndex(), 0) << "the selection stays";
    m_list->SetScrollBars(TScrollStyle::ssVertical);
    Key(Qt::Key_Right);
    EXPECT_EQ(m_list->ItemIndex(), 1) << "without the bar Right moves like Down";
}

TEST_F(ListboxTest, NumItemsChangesResetTheSelectionAndFireOnClick)
{
    m_list->SetNumItems(1000);
    ASSERT_NO_FATAL_FAILURE(Show());
    m_list->SetTopIndex(57);
    m_list->SetItemIndex(60);
    m_clicks.clear();

    m_list->SetNumItems(0);
    EXPECT_EQ(m_list->ItemIndex(), -1);
    EXPECT_EQ(m_clicks, std::vector<int>{-1});
    m_getItemCalls = 0;
    m_list->viewport()->repaint();
    EXPECT_EQ(m_getItemCalls, 0) << "an empty list asks for nothing";

    m_list->SetNumItems(100);
    EXPECT_EQ(m_list->ItemIndex(), 0);
    EXPECT_EQ(m_list->TopIndex(), 0);
    EXPECT_EQ(m_clicks, (std::vector<int>{-1, 0}));

    m_list->SetNumItems(100);
    EXPECT_EQ(m_clicks.size(), 2u) << "the same count changes nothing";

    m_list->SetNumItems(-5);
    EXPECT_EQ(m_list->NumItems(), 2147483647);
    EXPECT_EQ(m_list->LastIndex(), 2147483646);
    Key(Qt::Key_End);
    EXPECT_EQ(m_list->ItemIndex(), 2147483646);
    EXPECT_EQ(m_list->TopIndex(), 2147483646 - 19);
    m_getItemCalls = 0;
    m_list->viewport()->repaint();
    EXPECT_EQ(m_getItemCalls, 20) << "one call per visible row, nothing stored";
}

TEST_F(ListboxTest, ClickAndDragSelectAndFireOnClickOnRelease)
{
    m_list->SetNumItems(100);
    ASSERT_NO_FATAL_FAILURE(Show());
    m_clicks.clear();
    QWidget* viewport = m_list->viewport();

    QTest::mousePress(viewport, Qt::LeftButton, {}, RowPoint(3));
    EXPECT_EQ(m_list->ItemIndex(), 3);
    EXPECT_TRUE(m_clicks.empty()) << "no OnClick while the button is held";
    QTest::mouseMove(viewport, RowPoint(7));
    EXPECT_EQ(m_list->ItemIndex(), 7);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, RowPoint(7));
    EXPECT_EQ(m_clicks, std::vector<int>{7});
}

TEST_F(ListboxTest, CtrlClickTogglesShiftClickMarksFromTheAnchorAndAPlainClickKeepsTheMarks)
{
    MarkSetup(100);
    ASSERT_NO_FATAL_FAILURE(Show());
    m_clicks.clear();
    QWidget* viewport = m_list->viewport();
    const auto click = [&](int row, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(viewport, Qt::LeftButton, modifiers, RowPoint(row));
    };

    click(2, Qt::ControlModifier);
    click(4, Qt::ControlModifier); // a separator
    EXPECT_EQ(Marked(), std::vector<int>{2});
    EXPECT_EQ(m_markChanges, 1);
    EXPECT_EQ(m_clicks, (std::vector<int>{2, 4})) << "the current row and OnClick as for a plain click";
    click(7, Qt::ControlModifier);
    click(12, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), (std::vector<int>{2, 7, 8, 10, 11, 12}));
    click(5, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), (std::vector<int>{2, 5, 6, 7})) << "the range moved to the other side of its anchor";
    click(6, Qt::ControlModifier);
    click(15, Qt::NoModifier);
    EXPECT_EQ(m_list->ItemIndex(), 15);
    EXPECT_EQ(Marked(), (std::vector<int>{2, 5, 7}));
    click(17, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), (std::vector<int>{2, 5, 7, 15, 16, 17})) << "a plain click sets the anchor";
    EXPECT_EQ(m_clicks.back(), 17);
}

TEST_F(ListboxTest, SpaceTogglesAndShiftMovesMarkFromTheAnchorWhilePlainMovesKeepTheMarks)
{
    MarkSetup(100);
    ASSERT_NO_FATAL_FAILURE(Show());
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    Key(Qt::Key_Down);
    for (int i = 0; i < 3; ++i)
        Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), (std::vector<int>{2, 3, 5, 6}));
    for (int i = 0; i < 5; ++i)
        Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), (std::vector<int>{1, 2, 3}));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), (std::vector<int>{2, 3})) << "rows the range leaves get back their earlier marks";
    Key(Qt::Key_Space);
    EXPECT_EQ(Marked(), std::vector<int>{2});
    Key(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(m_list->Marks().Count(), 1 + 97 - 20) << "3 ... 99 without its separators";
    EXPECT_TRUE(m_list->IsMarked(98));
    EXPECT_FALSE(m_list->IsMarked(99)) << "the last row is a separator";
    m_clicks.clear();
    Key(Qt::Key_Home);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(m_clicks, (std::vector<int>{0, 19})) << "plain moves as ever";
    EXPECT_EQ(m_list->Marks().Count(), 78);
    m_list->SetItemIndex(4);
    Key(Qt::Key_Space);
    EXPECT_FALSE(m_list->IsMarked(4));
}

TEST_F(ListboxTest, TheOwnerMarksRangesAndANewRowCountClearsTheMarks)
{
    m_list->SetNumItems(10);
    m_list->SetMarked(1, true);
    Key(Qt::Key_Space);
    EXPECT_EQ(m_list->Marks().Count(), 0) << "no marks in single selection";

    MarkSetup(1000);
    m_list->SetRangeMarked(999, 0, true);
    EXPECT_EQ(m_list->Marks().Count(), 800);
    EXPECT_FALSE(m_list->IsMarked(4));
    m_list->SetRangeMarked(10, 19, false);
    EXPECT_EQ(m_list->Marks().NextMarked(9), 20);
    m_list->SetRangeMarked(10, 19, false);
    EXPECT_EQ(m_markChanges, 2);
    m_list->SetNumItems(50);
    EXPECT_EQ(m_list->Marks().Count(), 0);
    EXPECT_EQ(m_markChanges, 3);
    m_list->SetNumItems(60);
    EXPECT_EQ(m_markChanges, 3);
}

TEST_F(ListboxTest, ClicksBelowTheLastRowAndOnTheHeader)
{
    m_list->SetNumItems(5);
    m_list->SetHeader(QStringLiteral("Time Stamp | Size"));
    m_list->SetShowHeader(true);
    ASSERT_NO_FATAL_FAILURE(Show());
    m_list->SetItemIndex(2);
    m_clicks.clear();
    QWidget* viewport = m_list->viewport();

    QTest::mouseClick(viewport, Qt::LeftButton, {}, RowPoint(12));
    EXPECT_EQ(m_list->ItemIndex(), 2) << "below the last item nothing is selected";
    EXPECT_EQ(m_clicks, std::vector<int>{2}) << "but OnClick still fires";

    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(33, 4));
    EXPECT_EQ(m_list->ItemIndex(), 2) << "the header is no row";

    QTest::mouseClick(viewport, Qt::LeftButton, {}, RowPoint(1));
    EXPECT_EQ(m_list->ItemIndex(), 0) << "the row under the header is item 0";
}

TEST_F(ListboxTest, ProtectedRowsArePaintedInTheirColoursEvenWhenSelected)
{
    m_list->OnGetItemStatus = [](TOvcCustomVirtualListBox*, int index, bool& protect) {
        protect = index == 1;
    };
    m_list->ProtectColor().SetColors(QColor(0, 0, 200), QColor(0, 200, 0));
    m_list->SelectColor().SetColors(QColor(200, 0, 0), QColor(255, 255, 0));
    m_list->SetNumItems(5);
    ASSERT_NO_FATAL_FAILURE(Show());
    const auto pixel = [&](int row, int x) {
        const QImage image = m_list->viewport()->grab().toImage();
        return image.pixelColor(x, row * kRowHeight + kRowHeight / 2);
    };
    const int blankX = 280; // right of every text
    EXPECT_EQ(pixel(0, blankX), QColor(200, 0, 0)) << "item 0 is selected";
    m_list->SetItemIndex(1);
    EXPECT_EQ(pixel(1, blankX), QColor(0, 0, 200)) << "protection wins over selection";
    EXPECT_EQ(pixel(0, blankX), m_list->palette().color(QPalette::Base));
}

TEST_F(ListboxTest, MarkedRowsShowACheckAndRowsAndHeaderMoveRightTogether)
{
    m_list->SetHeader(QStringLiteral("item 2")); // the same ink as row 2
    m_list->SetShowHeader(true);
    MarkSetup(5);
    ASSERT_NO_FATAL_FAILURE(Show(5));
    m_list->SetRangeMarked(0, 1, true); // row 0 is the current row
    const QImage image = m_list->viewport()->grab().toImage();
    // The first x of a screen row that differs from the row's right end.
    const auto firstInk = [&](int screenRow) {
        for (int x = 1; x < image.width(); ++x)
            for (int y = screenRow * kRowHeight + 1; y < (screenRow + 1) * kRowHeight - 1; ++y)
                if (image.pixel(x, y) != image.pixel(image.width() - 1, y))
                    return x;
        return -1;
    };
    EXPECT_LT(firstInk(2), kRowHeight) << "row 1 shows its check";
    EXPECT_GE(firstInk(3), kRowHeight) << "row 2 is not marked; its text starts right of the check column";
    EXPECT_EQ(firstInk(0), firstInk(3)) << "the header keeps its columns above the rows";
}

TEST_F(ListboxTest, KeysMakeNoCommandsOnceTheWindowDroppedItsController)
{
    m_list->SetNumItems(100);
    ASSERT_NO_FATAL_FAILURE(Show());
    m_controller.reset();
    EXPECT_THROW(m_list->RequireController(), ENoControllerAssigned);
    Key(Qt::Key_Down);
    EXPECT_EQ(m_list->ItemIndex(), 0);
}

// How far a wheel turn goes is the wheel's own; here, that every way of scrolling moves the rows as far as
// the last page and never selects.
TEST_F(ListboxTest, TheWheelAndTheBarHoweverItsValueChangesScrollTheRowsToTheLastPage)
{
    m_list->SetNumItems(1000);
    m_list->SetScrollBars(TScrollStyle::ssBoth);
    ASSERT_NO_FATAL_FAILURE(Show());
    QWidget* viewport = m_list->viewport();
    SendWheel(viewport, {0, -120});
    EXPECT_EQ(m_list->TopIndex(), 3);
    SendWheel(viewport, {-120, 0});
    EXPECT_EQ(m_list->ColumnOffset(), 3) << "sideways scrolling moves the columns";
    SendWheel(viewport, {0, -120 * 400});
    EXPECT_EQ(m_list->TopIndex(), 980);
    EXPECT_EQ(m_list->ItemIndex(), 0) << "the wheel never selects";

    QScrollBar* bar = m_list->verticalScrollBar();
    // The bar's own context menu sets values without an action: "Scroll here", "Top", "Bottom".
    bar->setValue(500);
    EXPECT_EQ(m_list->TopIndex(), 500);
    bar->setValue(0);
    EXPECT_EQ(m_list->TopIndex(), 0);
    bar->setValue(bar->maximum());
    EXPECT_EQ(m_list->TopIndex(), 980);
    m_list->horizontalScrollBar()->setValue(7);
    EXPECT_EQ(m_list->ColumnOffset(), 7);
    SendWheel(bar, {0, 120});
    EXPECT_EQ(m_list->TopIndex(), 977);
    EXPECT_EQ(m_list->TopIndex(), bar->value()) << "a wheel over the bar scrolls the rows with it";

    // Past 32767 rows the bar keeps to 16 bits (which row a position shows is ThumbScale's), and its
    // bottom still shows the last page.
    m_list->SetNumItems(500001);
    EXPECT_LE(bar->maximum(), 32767);
    bar->setSliderPosition(bar->maximum());
    EXPECT_EQ(m_list->TopIndex(), 500001 - 20);
    m_list->SetNumItems(10);
    EXPECT_FALSE(bar->isEnabled()) << "kept but disabled when nothing scrolls";
}

TEST_F(ListboxTest, TrackingEndsWhenTheReleaseIsLostOrTheFocusGoes)
{
    m_list->SetNumItems(1000);
    ASSERT_NO_FATAL_FAILURE(Show());
    m_clicks.clear();
    QWidget* viewport = m_list->viewport();
    const QPoint below(20, 20 * kRowHeight + 25);
    QTest::mousePress(viewport, Qt::LeftButton, {}, RowPoint(5));
    QTest::mouseMove(viewport, below);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_list->TopIndex() >= 3; }, 2000));

    // Another window takes the release (as a popup or the window manager would) and the focus stays:
    // the list never sees it.
    QWindow other;
    QTest::mouseRelease(&other, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(m_list->hasFocus());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_list->MouseCaptured(); }, 2000))
        << "the auto-scroll stops by itself";
    EXPECT_EQ(m_clicks, std::vector<int>{m_list->ItemIndex()}) << "the changed row is reported";
    const int top = m_list->TopIndex();
    QTest::mouseMove(viewport, QPoint(20, 20 * kRowHeight + 45));
    EXPECT_EQ(m_list->TopIndex(), top);

    // Another window takes the focus while the button is held.
    m_list->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_list.get()));
    m_clicks.clear();
    QTest::mousePress(viewport, Qt::LeftButton, {}, RowPoint(5));
    QTest::mouseMove(viewport, below);
    ASSERT_TRUE(m_list->MouseCaptured());
    QWidget focusTaker;
    focusTaker.setFocusPolicy(Qt::StrongFocus);
    focusTaker.show();
    focusTaker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&focusTaker));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_list->MouseCaptured(); }, 2000));
    EXPECT_EQ(m_clicks, std::vector<int>{m_list->ItemIndex()});
    QTest::mouseRelease(&other, Qt::LeftButton, {}, QPoint(5, 5));
}

} // namespace
