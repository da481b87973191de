#pragma once

#include <QDialog>
#include <QLabel>
#include <QLayout>
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

} // namespace DialogParts
