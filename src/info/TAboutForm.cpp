// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/TAboutForm.h"

#include "info/SvgPicture.h"
#include "info/SvgPictureLabel.h"

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About Lintwick"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(400, 224);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    m_image1 = new SvgPictureLabel(QStringLiteral(":/info/about.svg"), QSize(379, 218), this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(11, 3, 379, 218);
    m_image1->setAlignment(Qt::AlignCenter);
    m_image1->setAccessibleName(QStringLiteral("Lintwick, Version 1.0, made by Corvane"));
}

void TAboutForm::showEvent(QShowEvent* event)
{
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}
