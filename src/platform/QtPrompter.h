#pragma once

#include "Prompter.h"

class QWidget;

/** Message boxes and choosers of Qt Widgets, parented to the active window. */
class QtPrompter final : public Prompter
{
public:
    void information(const QString& text, const QString& title) override;
    void warning(const QString& text, const QString& title) override;
    void error(const QString& text, const QString& title) override;
    bool confirm(const QString& text, const QString& title) override;
    bool askYesNo(const QString& text, const QString& title) override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& initial) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& start) override;
    std::optional<QString> chooseOpenFile(const QString& title, const QString& start, const QString& filter) override;
    std::optional<QString> chooseSaveFile(const QString& title, const QString& start, const QString& filter) override;
    std::optional<std::pair<QString, int>> chooseSaveFileAndFilter(const QString& title, const QString& start,
                                                                   const QString& filter) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
};
