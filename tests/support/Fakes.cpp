#include "Fakes.h"

void FakePrompter::record(const char16_t* kind, const QString& text, const QString& title)
{
    calls.append({QString::fromUtf16(kind), text, title});
}

bool FakePrompter::confirm(const QString& text, const QString& title)
{
    record(u"confirm", text, title);
    return answers.isEmpty() ? true : answers.dequeue();
}

bool FakePrompter::askYesNo(const QString& text, const QString& title)
{
    record(u"yesno", text, title);
    return answers.isEmpty() ? true : answers.dequeue();
}

std::optional<QString> FakePrompter::nextText()
{
    return texts.isEmpty() ? std::nullopt : texts.dequeue();
}

std::optional<QString> FakePrompter::inputText(const QString& caption, const QString& prompt, const QString&)
{
    record(u"input", prompt, caption);
    return nextText();
}

std::optional<QString> FakePrompter::chooseFolder(const QString& title, const QString&)
{
    record(u"folder", QString(), title);
    return nextText();
}

std::optional<QString> FakePrompter::chooseOpenFile(const QString& title, const QString&, const QString&)
{
    record(u"openfile", QString(), title);
    return nextText();
}

std::optional<QString> FakePrompter::chooseSaveFile(const QString& title, const QString&, const QString&)
{
    record(u"savefile", QString(), title);
    return nextText();
}

std::optional<QColor> FakePrompter::chooseColor(const QColor&)
{
    record(u"color", QString(), QString());
    return colors.isEmpty() ? std::nullopt : colors.dequeue();
}

QStringList FakePrompter::textsOf(const QString& kind) const
{
    QStringList result;
    for (const Call& call : calls)
        if (call.kind == kind)
            result.append(call.text);
    return result;
}
