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

namespace {

class FakeWorkbook final : public Workbook
{
public:
    FakeWorkbook(FakeSpreadsheet& owner, QString path)
        : m_owner(owner), m_path(std::move(path)), m_book(owner.books.value(m_path))
    {}
    ~FakeWorkbook() override { ++m_owner.released; }

    int sheetCount() override { return m_book.sheets; }
    void writeCells(int sheet, int row, int column, const QList<QStringList>& rows, double fontSize) override
    {
        checkSheet(sheet);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c) {
                const auto at = std::make_tuple(sheet, row + r, column + c);
                m_book.cells[at] = rows[r][c];
                if (fontSize > 0)
                    m_book.fontSizes[at] = fontSize;
            }
    }
    QString cellText(int sheet, int row, int column) override
    {
        return m_book.cells.value(std::make_tuple(sheet, row, column));
    }
    void save() override
    {
        if (!m_owner.saveFailure.isEmpty())
            throw SpreadsheetError(m_owner.saveFailure);
        ++m_book.saves;
        m_owner.books[m_path] = m_book;
    }
    QString printSheet(int sheet, const QString& pdfFile) override
    {
        checkSheet(sheet);
        if (!m_owner.printFailure.isEmpty())
            throw SpreadsheetError(m_owner.printFailure);
        const QString destination = m_owner.printer.isEmpty() ? pdfFile : m_owner.printer;
        m_book.printed.append({sheet, destination});
        m_owner.books[m_path].printed = m_book.printed;
        return destination;
    }

private:
    void checkSheet(int sheet) const
    {
        if (sheet < 1 || sheet > m_book.sheets)
            throw SpreadsheetError(QStringLiteral("工作簿中没有第%1个工作表").arg(sheet));
    }

    FakeSpreadsheet& m_owner;
    QString m_path;
    FakeSpreadsheet::Book m_book;
};

} // namespace

std::unique_ptr<Workbook> FakeSpreadsheet::open(const QString& path)
{
    if (!openFailure.isEmpty())
        throw SpreadsheetError(openFailure);
    opened.append(path);
    return std::make_unique<FakeWorkbook>(*this, path);
}
