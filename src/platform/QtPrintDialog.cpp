// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtPrintDialog.h"

#include <QApplication>
#include <QPrintDialog>

bool QtPrintDialog::Execute()
{
    QPrintDialog dialog(&m_printer, QApplication::activeWindow());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    return dialog.exec() == QDialog::Accepted;
}
