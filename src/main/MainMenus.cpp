// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/MainMenus.h"

#include "main/MainHints.h"
#include "main/TMainForm.h"
#include "ui/SetHint.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace MainHints;

void MainMenus::BuildMenuBar(TMainForm& form)
{
    const auto addItem = [&form](QMenu* menu, const char* name, const char* caption, const char* hint,
                                 QKeySequence shortcut, void (TMainForm::*handler)()) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        SetHint(action, hint);
        action->setShortcut(shortcut);
        QObject::connect(action, &QAction::triggered, &form, form.Command(handler));
        return action;
    };

    QMenu* file = form.menuBar()->addMenu(QStringLiteral("&File"));
    addItem(file, "SelectDrives1", "Select &Drives...", kDrivesHint, Qt::CTRL | Qt::Key_S,
            &TMainForm::SelectDrives1Click);
    form.m_printReport1 = addItem(file, "PrintReport1", "&Print Report", kPrintMenuHint, Qt::CTRL | Qt::Key_P,
                                  &TMainForm::PrintReport1Click);
    form.m_deleteFile1 =
        addItem(file, "DeleteFile1", "&Delete File", kDeleteHint, {}, &TMainForm::DeleteFile1Click);
    form.m_undoDelete1 = addItem(file, "UndoDelete1", "&Undo Delete", kUndoDeleteHint, Qt::CTRL | Qt::Key_Z,
                                 &TMainForm::UndoDelete1Click);
    // Ctrl+Q and F1 (below) are desktop habits the classic menus did not have.
    addItem(file, "Exit1", "E&xit", kExitHint, Qt::CTRL | Qt::Key_Q, &TMainForm::Exit1Click);
    form.m_printReport1->setEnabled(false);
    form.m_deleteFile1->setEnabled(false);

    QMenu* reports = form.menuBar()->addMenu(QStringLiteral("&Reports"));
    addItem(reports, "DuplicateFiles1", "&Duplicate Files...", kDupesHint, {},
            &TMainForm::DuplicateFiles1Click);
    addItem(reports, "SizeCriteria1", "&Size Criteria...", kSizeHint, {}, &TMainForm::SizeCriteria1Click);
    addItem(reports, "ZeroLengthFiles1", "&Zero-Length Files...", kZeroHint, {},
            &TMainForm::ZeroLengthFiles1Click);
    form.m_compareContents1 = addItem(reports, "CompareContents1", "Compare &Contents", kCompareHint,
                                      Qt::CTRL | Qt::Key_K, &TMainForm::CompareContents1Click);
    form.m_markCopies[0] = addItem(reports, "MarkCopies1", "&Mark Copies", kMarkCopiesHint,
                                   Qt::CTRL | Qt::Key_M, &TMainForm::MarkCopies1Click);
    form.m_markAllInGroup[0] = addItem(reports, "MarkAllInGroup1", "Mark All in &Group", kMarkAllInGroupHint,
                                       Qt::CTRL | Qt::Key_G, &TMainForm::MarkAllInGroup1Click);
    form.m_unmarkAll[0] = addItem(reports, "UnmarkAll1", "&Unmark All", kUnmarkAllHint, Qt::CTRL | Qt::Key_U,
                                  &TMainForm::UnmarkAll1Click);
    reports->addSeparator();
    addItem(reports, "ViewAuditReport1", "Audit Report", kAuditHint, Qt::CTRL | Qt::Key_A,
            &TMainForm::ViewAuditReport1Click);

    QMenu* maker = form.menuBar()->addMenu(QStringLiteral("&Corvane"));
    addItem(maker, "CorvaneHomepage1", "Corvane &Homepage", kHomepageMenuHint, {},
            &TMainForm::CorvaneHomepage1Click);
    addItem(maker, "DataQualityControl2", "Data Quality Control...", kDqcHint, {},
            &TMainForm::DataQualityControl2Click);
    // The keyboard's way to the toolbar's New command, which has no other menu item.
    addItem(maker, "NewFeatureSubmission1", "&New Feature Submission...", kNewHint, {},
            &TMainForm::NewFeatureSubmission1Click);

    QMenu* help = form.menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* helpTopics1 = addItem(help, "HelpTopics1", "Help &Topics...", kHelpHint, Qt::CTRL | Qt::Key_H,
                                   &TMainForm::HelpTopics1Click);
    helpTopics1->setShortcuts({helpTopics1->shortcut(), QKeySequence(Qt::Key_F1)}); // the menu shows Ctrl+H
    addItem(help, "About1", "&About Lintwick...", kAboutHint, {}, &TMainForm::About1Click);
    addItem(help, "FrequentlyAskedQuestions1", "Frequently Asked Questions...", kFaqHint,
            Qt::CTRL | Qt::Key_F, &TMainForm::FrequentlyAskedQuestions1Click);
    addItem(help, "ContactInformation1", "&Contact Information...", kContactHint, {},
            &TMainForm::ContactInformation1Click);
    addItem(help, "ShowDataQualityControlTips1", "&Show Data Quality Control Tips", kShowTipsHint,
            Qt::CTRL | Qt::Key_T, &TMainForm::ShowDataQualityControlTips1Click);
}

void MainMenus::BuildPopupMenu(TMainForm& form)
{
    form.m_popupMenu = new QMenu(&form);
    form.m_popupMenu->setObjectName(QStringLiteral("PopupMenu"));
    const auto addItem = [&form](const char* name, const char* caption, const char* hint,
                                 void (TMainForm::*handler)()) {
        QAction* action = form.m_popupMenu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        SetHint(action, hint);
        QObject::connect(action, &QAction::triggered, &form, form.Command(handler));
        return action;
    };
    form.m_delete1 = addItem("Delete1", "Delete", kDeleteHint, &TMainForm::Delete1Click);
    form.m_delete1->setEnabled(false);
    form.m_popupMenu->addSeparator();
    addItem("DuplicateReport1", "Duplicate Files...", kDupesHint, &TMainForm::DuplicateReport1Click);
    addItem("SizeReport1", "Size Criteria...", kSizeHint, &TMainForm::SizeReport1Click);
    addItem("ZerolengthReport1", "Zero-Length Files...", kZeroHint, &TMainForm::ZerolengthReport1Click);
    form.m_compareContents2 =
        addItem("CompareContents2", "Compare Contents", kCompareHint, &TMainForm::CompareContents2Click);
    form.m_markCopies[1] =
        addItem("MarkCopies2", "Mark Copies", kMarkCopiesHint, &TMainForm::MarkCopies2Click);
    form.m_markAllInGroup[1] = addItem("MarkAllInGroup2", "Mark All in Group", kMarkAllInGroupHint,
                                       &TMainForm::MarkAllInGroup2Click);
    form.m_unmarkAll[1] = addItem("UnmarkAll2", "Unmark All", kUnmarkAllHint, &TMainForm::UnmarkAll2Click);
    form.m_popupMenu->addSeparator();
    addItem("DataQualityControl1", "Data Quality Control...", kDqcHint, &TMainForm::DataQualityControl1Click);
    addItem("ShowTips1", "Show Tips...", kShowTipsHint, &TMainForm::ShowTips1Click);
}
