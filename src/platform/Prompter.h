#pragma once

#include <QColor>
#include <QString>
#include <optional>
#include <utility>

/**
 * Every message box, question and chooser a window shows goes through this interface, so tests answer
 * them without a modal loop. Titles and texts are passed exactly as the user sees them.
 */
class Prompter
{
public:
    virtual ~Prompter() = default;

    virtual void information(const QString& text, const QString& title) = 0;
    virtual void warning(const QString& text, const QString& title) = 0;
    /** The "standard error box": shows a database or conversion error text. */
    virtual void error(const QString& text, const QString& title = QString()) = 0;
    /** OK / Cancel with the information icon; true on OK. */
    virtual bool confirm(const QString& text, const QString& title) = 0;
    /** Yes / No; true on Yes. */
    virtual bool askYesNo(const QString& text, const QString& title) = 0;
    /** Text input box; no value when cancelled. */
    virtual std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                             const QString& initial) = 0;
    /** Folder chooser; no value when cancelled. */
    virtual std::optional<QString> chooseFolder(const QString& title, const QString& start) = 0;
    /** File open chooser; no value when cancelled. */
    virtual std::optional<QString> chooseOpenFile(const QString& title, const QString& start,
                                                  const QString& filter) = 0;
    /** File save chooser; no value when cancelled. */
    virtual std::optional<QString> chooseSaveFile(const QString& title, const QString& start,
                                                  const QString& filter) = 0;
    /**
     * File save chooser that also tells which entry of the ";;"-separated filter was chosen (0-based, -1
     * when the chooser cannot tell); no value when cancelled.
     */
    virtual std::optional<std::pair<QString, int>> chooseSaveFileAndFilter(const QString& title, const QString& start,
                                                                           const QString& filter)
    {
        const std::optional<QString> file = chooseSaveFile(title, start, filter);
        return file ? std::optional<std::pair<QString, int>>({*file, -1}) : std::nullopt;
    }
    /** Colour chooser; no value when cancelled. */
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
};
