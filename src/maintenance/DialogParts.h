#pragma once

#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QBoxLayout>
#include <QPushButton>

/** Pieces the maintenance windows share: a fixed-size dialog without a close box, notes and buttons. */
namespace DialogParts {

/** Names and titles the window; fixed size; no close box, so only its buttons close it. */
inline void setUp(QDialog* dialog, const QString& objectName, const QString& title)
{
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(title);
    dialog->setModal(true);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    if (dialog->layout())
        dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

inline QLabel* note(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setMinimumWidth(360);
    label->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    return label;
}

inline QPushButton* button(const QString& objectName, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

/**
 * The row at the foot of a window: its action button "BitBtn1" and "关闭(&C)" ("BitBtn2", which closes the
 * dialog), right-aligned under `layout`. Returns the action button.
 */
inline QPushButton* actionAndClose(QDialog* dialog, QBoxLayout* layout, const QString& caption, QWidget* parent)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* action = button(QStringLiteral("BitBtn1"), caption, parent);
    auto* close = button(QStringLiteral("BitBtn2"), QStringLiteral("关闭(&C)"), parent);
    buttons->addWidget(action);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::reject);
    return action;
}

} // namespace DialogParts
