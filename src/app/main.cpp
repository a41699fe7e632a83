// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QLabel>

// A placeholder until the main window exists: it only shows the product name.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lintwick"));
    QLabel window(QStringLiteral("Lintwick"));
    window.setWindowTitle(QStringLiteral("Lintwick"));
    window.setAlignment(Qt::AlignCenter);
    window.resize(609, 421);
    window.show();
    return app.exec();
}
