#include "QtPrompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

using namespace Qt::Literals::StringLiterals;

namespace {

QWidget* parentWindow()
{
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
}

} // namespace

void QtPrompter::information(const QString& text, const QString& title)
{
    QMessageBox::information(parentWindow(), title, text);
}

void QtPrompter::warning(const QString& text, const QString& title)
{
    QMessageBox::warning(parentWindow(), title, text);
}

void QtPrompter::error(const QString& text, const QString& title)
{
    QMessageBox::critical(parentWindow(), title.isEmpty() ? u"Weight"_s : title, text);
}

bool QtPrompter::confirm(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok | QMessageBox::Cancel, parentWindow());
    return box.exec() == QMessageBox::Ok;
}

bool QtPrompter::askYesNo(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parentWindow());
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtPrompter::inputText(const QString& caption, const QString& prompt, const QString& initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parentWindow(), caption, prompt, QLineEdit::Normal, initial, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

std::optional<QString> QtPrompter::chooseFolder(const QString& title, const QString& start)
{
    const QString folder = QFileDialog::getExistingDirectory(parentWindow(), title, start);
    return folder.isEmpty() ? std::nullopt : std::optional<QString>(folder);
}

std::optional<QString> QtPrompter::chooseOpenFile(const QString& title, const QString& start, const QString& filter)
{
    const QString file = QFileDialog::getOpenFileName(parentWindow(), title, start, filter);
    return file.isEmpty() ? std::nullopt : std::optional<QString>(file);
}

std::optional<QString> QtPrompter::chooseSaveFile(const QString& title, const QString& start, const QString& filter)
{
    const QString file = QFileDialog::getSaveFileName(parentWindow(), title, start, filter);
    return file.isEmpty() ? std::nullopt : std::optional<QString>(file);
}

std::optional<std::pair<QString, int>> QtPrompter::chooseSaveFileAndFilter(const QString& title, const QString& start,
                                                                           const QString& filter)
{
    QString selected;
    const QString file = QFileDialog::getSaveFileName(parentWindow(), title, start, filter, &selected);
    if (file.isEmpty())
        return std::nullopt;
    return std::pair<QString, int>(file, int(filter.split(u";;"_s).indexOf(selected)));
}

std::optional<QColor> QtPrompter::chooseColor(const QColor& initial)
{
    const QColor color = QColorDialog::getColor(initial, parentWindow());
    return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
}
