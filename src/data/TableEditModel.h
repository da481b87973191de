#pragma once

#include "Dialect.h"

#include <QAbstractTableModel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

/**
 * An editable grid over one table, for the windows whose grids edit rows directly. Rows are loaded into
 * memory; one row at a time is in edit. `post` writes it (INSERT for an appended row, only the columns
 * that were set so the table's defaults apply; UPDATE by the key column otherwise). Values are converted
 * to the column types before they are written: a text that does not convert throws ConversionError and
 * the row stays in edit, so the window can show its message and `cancel`. Editing another row posts the
 * row in edit first; when that fails the edit is discarded and `postFailed` is emitted.
 * Yes/no columns are check boxes.
 */
class TableEditModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TableEditModel)

public:
    TableEditModel(QSqlDatabase db, Dialect dialect, QString table, QString keyColumn, QObject* parent = nullptr);

    /** Loads the columns (all when empty) of the rows matching `where` (values bound), in `orderBy`. */
    void load(const QStringList& columns = {}, const QString& where = {}, const QVariantList& values = {},
              const QString& orderBy = {});
    /** Runs the last load again; edits in progress are discarded. */
    void reload();
    /**
     * With a batch size, loads read that many rows and the grid fetches further batches as it scrolls
     * (`fetchMore`); 0 (the default) reads every row at once.
     */
    void setFetchBatch(int rows) { m_batch = rows; }
    /** Empties the grid (the columns stay); `reload` runs the last load again. */
    void clear();
    /** Reads the rows a batched load has not read yet. */
    void fetchAll();
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;
    /** The row's values in column order. */
    QVariantList rowValues(int row) const { return row >= 0 && row < m_rows.size() ? m_rows[row].values : QVariantList(); }

    QStringList columnNames() const { return m_columns; }
    int columnIndex(const QString& name) const;
    QVariant value(int row, const QString& column) const;
    /** The row's key as stored; invalid for a row not yet written. */
    QVariant keyOf(int row) const;
    /** Marks columns the user cannot edit in the grid. */
    void setReadOnlyColumns(const QStringList& columns) { m_readOnly = columns; }

    /** Appends an empty row in edit and returns its number (the row in edit is posted first). */
    int appendRow();
    bool isEditing() const { return m_editRow >= 0; }
    /** True for an appended row that was never written. */
    bool isNewRow(int row) const { return row >= 0 && row < m_rows.size() && m_rows[row].isNew; }
    int editingRow() const { return m_editRow; }
    /** Writes the row in edit; does nothing when no row is in edit. Throws DbError or ConversionError. */
    void post();
    /** Discards the edits of the row in edit; an appended row disappears. */
    void cancel();
    /** Deletes a row from the table at once (the row in edit is discarded first). */
    void deleteRow(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    /** An automatic post failed and the edit was discarded; the text is the database's or conversion's. */
    void postFailed(const QString& text);
    /** A stored row in edit was written back; `before` holds its values as they were when it entered edit. */
    void rowWritten(int row, const QVariantList& before);

private:
    struct Row
    {
        QVariantList values;
        QVariant key;      // key value as loaded; invalid for an appended row
        bool isNew = false;
    };

    ColumnKind kindOf(int column) const;
    void readRows(int max);
    void beginEdit(int row);

    QSqlDatabase m_db;
    Dialect m_dialect;
    QString m_table;
    QString m_keyColumn;
    QStringList m_columns;
    QList<ColumnKind> m_kinds;
    QStringList m_readOnly;
    QList<Row> m_rows;
    int m_editRow = -1;
    Row m_original;
    QList<bool> m_touched;
    QStringList m_loadColumns;
    QString m_where;
    QVariantList m_whereValues;
    QString m_orderBy;
    int m_batch = 0;
    QSqlQuery m_pending;
};
