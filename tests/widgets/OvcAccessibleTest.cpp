// SPDX-License-Identifier: GPL-3.0-or-later
#include "WidgetTestSupport.h"

#include "widgets/TOvcTextFileViewer.h"
#include "widgets/TOvcVirtualListbox.h"

#include <QAccessible>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(OvcAccessible, TheListShowsItsVisibleRowsHeaderAndMarksAndFocusesTheCurrentOne)
{
    TOvcVirtualListbox list;
    list.SetRowHeight(10);
    list.SetHeader(QStringLiteral("Time Stamp | Size"));
    list.SetShowHeader(true);
    list.OnGetItem = [](TOvcCustomVirtualListBox*, int index, QString& text) {
        text = QStringLiteral("row %1").arg(index);
    };
    list.OnGetItemStatus = [](TOvcCustomVirtualListBox*, int index, bool& protect) { protect = index == 1; };
    list.SetMultiSelect(true);
    list.SetNumItems(1000);
    ASSERT_TRUE(ShowWithViewport(list, 200, 60)); // header + 5 rows
    list.SetTopIndex(10);
    list.SetItemIndex(12);

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&list);
    ASSERT_NE(iface, nullptr);
    ASSERT_EQ(iface->childCount(), 6);
    EXPECT_EQ(iface->child(0)->text(QAccessible::Name), QStringLiteral("Time Stamp | Size"));
    EXPECT_EQ(iface->child(1)->text(QAccessible::Name), QStringLiteral("row 10"));
    EXPECT_FALSE(iface->child(1)->state().selected);
    EXPECT_TRUE(iface->child(3)->state().selected);
    EXPECT_EQ(iface->indexOfChild(iface->child(3)), 3);
    EXPECT_EQ(iface->focusChild(), iface->child(3));
    list.SetTopIndex(13); // the current row lies just above the visible rows
    EXPECT_EQ(iface->focusChild(), nullptr) << "the focused row is never the header";

    list.SetTopIndex(0);
    EXPECT_EQ(iface->child(1)->text(QAccessible::Name), QStringLiteral("row 0"))
        << "children follow scrolling";
    list.SetRangeMarked(0, 2, true);
    list.SetMarked(2, false);
    EXPECT_TRUE(iface->child(1)->state().checkable && iface->child(1)->state().checked);
    EXPECT_EQ(iface->child(1)->text(QAccessible::Description), QStringLiteral("marked"));
    EXPECT_FALSE(iface->child(2)->state().checkable) << "a separator cannot be marked";
    EXPECT_TRUE(iface->child(3)->state().checkable && !iface->child(3)->state().checked);
    EXPECT_EQ(iface->child(3)->text(QAccessible::Description), QString());
    list.SetNumItems(2);
    EXPECT_EQ(iface->childCount(), 3);
    EXPECT_EQ(iface->child(3), nullptr);
}

TEST(OvcAccessible, TheViewerExposesItsVisibleLinesAsText)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("log.txt").toStdString();
    std::ofstream(path, std::ios::binary) << "first\r\nsecond\r\nthird\r\nfourth\r\n";
    TOvcTextFileViewer viewer;
    viewer.SetFileName(path);
    viewer.SetIsOpen(true);
    ASSERT_TRUE(ShowWithViewport(viewer, 300, 3 * viewer.RowHeight()));
    viewer.Scroll(0, 1);

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&viewer);
    ASSERT_NE(iface, nullptr);
    EXPECT_TRUE(iface->state().readOnly);
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("second\nthird\nfourth"));
    QAccessibleTextInterface* text = iface->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 19);
    EXPECT_EQ(text->text(7, 12), QStringLiteral("third"));

    ASSERT_TRUE(viewer.Search("hir", sfFind | sfEntireText));
    ASSERT_EQ(text->selectionCount(), 1);
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    EXPECT_EQ(text->text(start, end), QStringLiteral("hir"));
    EXPECT_EQ(text->cursorPosition(), end);
}

} // namespace
