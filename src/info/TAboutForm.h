// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;

// "About Lintwick": the product's picture (name, version, maker) on white, nothing else. The user
// closes it with the title bar's close button (or Escape).
class TAboutForm : public QDialog
{
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    QLabel* Image1() const { return m_image1; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_image1 = nullptr;
};
