#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

class Prompter;

/** A database statement failed; carries the database's own message. */
class DbError final : public std::runtime_error
{
public:
    explicit DbError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

/** A text could not be converted to the type a column or setting needs. */
class ConversionError final : public std::runtime_error
{
public:
    explicit ConversionError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

/**
 * Runs a user-triggered handler; a DbError, ConversionError or SerialError stops it and is shown in the
 * standard error box. Returns false when the handler was stopped that way.
 */
bool guarded(Prompter& prompter, const std::function<void()>& handler);
