// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtPrintDialog.h"

#include <QApplication>
#include <QPrintDialog>
#include <QTimer>

bool QtPrintDialog::Execute()
{
    QPrintDialog dialog(&m_printer, QApplication::activeWindow());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    // Qt 6.4 does not carry options set after construction over to the dialog's widgets, which it
    // makes as it is shown; so once it runs, the range choice is taken away by hand as Qt would: its
    // whole group goes. It sits in the part of the dialog that starts folded away. So does the
    // reverse order, which no printing here honours: the line printer draws pages first to last.
    QTimer::singleShot(0, &dialog, [&dialog] {
        for (const char* name : {"gbPrintRange", "reverse"})
            if (QWidget* choice = dialog.findChild<QWidget*>(QString::fromLatin1(name)))
                choice->setVisible(false);
    });
    return dialog.exec() == QDialog::Accepted;
}
