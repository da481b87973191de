#include "CustomPaperWindow.h"

#include "CustomPaper.h"
#include "platform/AppContext.h"
#include "platform/AppError.h"
#include "platform/Prompter.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

CustomPaperWindow::CustomPaperWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_name(new QLineEdit(this)), m_width(new QLineEdit(this)),
      m_length(new QLineEdit(this)), m_printerReachable([] { return !QPrinterInfo::defaultPrinter().isNull(); })
{
    setObjectName(u"TSetpaperpagefrm"_s);
    setWindowTitle(u"设置自定义打印纸张"_s);
    m_name->setObjectName(u"Edit1"_s);
    m_width->setObjectName(u"Edit2"_s);
    m_length->setObjectName(u"Edit3"_s);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(u"自定义纸张名称"_s, this), 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(new QLabel(u"纸张宽度"_s, this), 1, 0);
    grid->addWidget(m_width, 1, 1);
    grid->addWidget(new QLabel(u"CM"_s, this), 1, 2);
    grid->addWidget(new QLabel(u"纸张长度"_s, this), 2, 0);
    grid->addWidget(m_length, 2, 1);
    grid->addWidget(new QLabel(u"CM"_s, this), 2, 2);
    auto* note = new QLabel(u"请按照多联打印纸的实际尺寸设计"_s, this);
    note->setStyleSheet(u"color: #b00000;"_s);
    grid->addWidget(note, 3, 0, 1, 3);
    auto* ok = new QPushButton(u"确  定"_s, this);
    ok->setObjectName(u"BitBtn1"_s);
    ok->setDefault(true);
    auto* close = new QPushButton(u"关  闭"_s, this);
    close->setObjectName(u"BitBtn2"_s);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(close);
    grid->addLayout(row, 4, 0, 1, 3);
    connect(ok, &QPushButton::clicked, this, [this] { guarded(m_ctx.prompter, [&] { BitBtn1Click(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    const CustomPaper paper = CustomPaper::read(ctx.dm);
    m_name->setText(paper.name);
    m_width->setText(paper.width);
    m_length->setText(paper.length);
    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
}

void CustomPaperWindow::BitBtn1Click()
{
    // Both sizes must convert before anything else happens.
    CustomPaper::thousandthsOfMm(m_width->text());
    CustomPaper::thousandthsOfMm(m_length->text());
    if (!m_printerReachable()) {
        m_ctx.prompter.error(PrinterFailed);
        return;
    }
    CustomPaper{m_name->text(), m_width->text(), m_length->text()}.save(m_ctx.dm);
    accept();
}
