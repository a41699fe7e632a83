// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class TOvcBaseViewer;

// The viewer as a screen reader sees it: read-only text made of the lines on screen (joined by
// line feeds), with the highlight as its selection and the caret as its cursor when they are on screen.
class OvcViewerAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit OvcViewerAccessible(TOvcBaseViewer* viewer);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override;
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    TOvcBaseViewer* Viewer() const;
    QString VisibleText() const;
    // Offset in VisibleText of a text position, or -1 when that line is not on screen.
    int OffsetOf(int line, int character) const;
};
