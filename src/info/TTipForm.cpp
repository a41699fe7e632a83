// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/TTipForm.h"

#include "info/SvgPicture.h"
#include "info/SvgPictureLabel.h"
#include "info/TipTexts.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>

TTipForm::TTipForm(std::optional<int> start, QWidget* parent)
    : QDialog(parent),
      m_tips(start ? *start : static_cast<int>(QRandomGenerator::global()->bounded(kTipCount)))
{
    setObjectName(QStringLiteral("TipForm"));
    setWindowTitle(QStringLiteral("Data Quality Control Tip"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    setFixedSize(325, 286);

    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setGeometry(0, 0, 325, 239);
    m_panel1->setFrameShape(QFrame::Box);
    m_panel1->setAutoFillBackground(true);
    QPalette white = m_panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    m_panel1->setPalette(white);

    m_image1 = new SvgPictureLabel(QStringLiteral(":/info/tipbanner.svg"), QSize(278, 63), m_panel1);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(15, 8, 278, 63);

    m_tipLabel = new QLabel(QStringLiteral("Tip goes here"), m_panel1);
    m_tipLabel->setObjectName(QStringLiteral("TipLabel"));
    m_tipLabel->setGeometry(10, 91, 303, 130);
    m_tipLabel->setWordWrap(true);
    m_tipLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_nextTipButton = new QPushButton(QStringLiteral("&Next Tip"), this);
    m_nextTipButton->setObjectName(QStringLiteral("NextTipButton"));
    m_nextTipButton->setGeometry(6, 254, 75, 25);
    m_nextTipButton->setToolTip(QStringLiteral("Shows Next Tip"));
    connect(m_nextTipButton, &QPushButton::clicked, this, &TTipForm::NextTipButtonClick);

    m_button2 = new QPushButton(QStringLiteral("&Close"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(98, 254, 75, 25);
    m_button2->setToolTip(QStringLiteral("Close Tip Window"));
    connect(m_button2, &QPushButton::clicked, this, &TTipForm::Button2Click);

    FormCreate();
}

void TTipForm::FormCreate()
{
    NextTipButtonClick();
}

void TTipForm::NextTipButtonClick()
{
    const std::string_view tip = m_tips.Next();
    m_tipLabel->setText(QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
}

void TTipForm::Button2Click()
{
    reject();
}

void TTipForm::showEvent(QShowEvent* event)
{
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}
