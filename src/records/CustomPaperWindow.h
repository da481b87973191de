#pragma once

#include <QDialog>
#include <functional>

struct AppContext;
class QLineEdit;

/**
 * "设置自定义打印纸张" (TSetpaperpagefrm), opened by "3.设置打印机纸张...": the name and size of the
 * ticket paper. The paper is saved only when a printer can be reached; templates of that size then ask
 * the printer for it by its name.
 */
class CustomPaperWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CustomPaperWindow)

public:
    /** Whether the current printer can be opened; tests answer it. */
    using PrinterCheck = std::function<bool()>;

    explicit CustomPaperWindow(AppContext& ctx, QWidget* parent = nullptr);
    void setPrinterCheck(PrinterCheck check) { m_printerReachable = std::move(check); }

    inline static const QString PrinterFailed = QStringLiteral("联接打印机失败!");

public Q_SLOTS:
    void BitBtn1Click();

private:
    AppContext& m_ctx;
    QLineEdit* m_name;
    QLineEdit* m_width;
    QLineEdit* m_length;
    PrinterCheck m_printerReachable;
};
