#pragma once

#include "Field.h"
#include "Keyset.h"
#include "OriginTable.h"
#include "PageCache.h"
#include "Recordset.h"
#include "ResultReader.h"
#include "RowWriter.h"
#include "SeenRow.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class KeyedReader;
class SqliteConnection;

// A window-owned data source: a database file, a record source (a table name
// or a SELECT of the dialect) and the result set with its current row. Bound
// controls show the current row and turn edits into a pending edit, which is
// written at the next save point: a move, refresh(), a bookmark assignment,
// addNew(), or the owning window's close (saveAll). Hiding is no save point.
//
// Result sets are keyset cursors: refresh() reads the row keys in order and
// values are read on demand in pages, so a table of 250,000 memos costs keys,
// not memos, in memory. Each field writes back to its origin table and column;
// computed fields are read-only; deleting a joined row removes the row of the
// last table of the FROM clause. Queries whose rows are no table rows
// (DISTINCT, GROUP BY, aggregates, outer joins) are read into memory, read-only.
//
// Failures: refresh() returns false with lastError() when the record source
// cannot be run, and leaves the previous rows in place. A refused save (a
// value that does not fit its field) goes to the error handler (the program
// installs message boxes) naming the field, and the edit stays pending.
//
// Several connections, in this process or another, may hold the same row.
// Another connection's committed change shows at the next move. A save
// checks that the columns it writes still hold what was read when the row
// became current; where another user changed them meanwhile, the conflict
// handler (the program installs a question to the user) decides whether the edit
// replaces the stored values or the stored values stay and the edit goes.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);
    DataSource(const QString& name, QObject* parent);
    ~DataSource() override;

    QString databaseName() const { return m_databaseName; }
    void setDatabaseName(const QString& name); // "TESSALY.mdb", "User.mdb" or a path
    QString recordSource() const { return m_recordSource; }
    void setRecordSource(const QString& source); // nothing is read until refresh()
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    bool refresh();
    Recordset* recordset() { return &m_recordset; }
    const Recordset* recordset() const { return &m_recordset; }
    QString lastError() const { return m_lastError; }
    bool isOpen() const { return m_isOpen; }

    // Writes the pending edit of the current row; false when refused.
    bool save();
    // Save point of a window's close: every data source owned by `owner`.
    static bool saveAll(QObject* owner);

    // Where errors and conflicts go: a handler of this data source's own, or
    // the default the program installs (message boxes); with neither, errors
    // are only kept in lastError() and the user's edit stands.
    using ErrorHandler = std::function<void(const QString& message)>;
    void setErrorHandler(ErrorHandler handler) { m_errorHandler = std::move(handler); }
    static void setDefaultErrorHandler(ErrorHandler handler);
    // Tells the error handler (and keeps the message as lastError()).
    void reportError(const QString& message);

    // Another user changed what this edit writes: true keeps the edit (it
    // replaces the stored values), false takes the stored values.
    using ConflictHandler = std::function<bool(const QString& message)>;
    void setConflictHandler(ConflictHandler handler) { m_conflictHandler = std::move(handler); }

    // Asked before a new row is stored, with its values by field name; false
    // keeps the row from being stored (the save is refused and the new row
    // stays pending, for the window to keep or drop).
    using InsertCheck = std::function<bool(const QHash<QString, QVariant>& values)>;
    void setInsertCheck(InsertCheck check) { m_insertCheck = std::move(check); }
    // The same before an edit of a stored row is written, with the edited
    // values; false refuses the save and keeps the edit pending.
    void setEditCheck(InsertCheck check) { m_editCheck = std::move(check); }
    static void setDefaultConflictHandler(ConflictHandler handler);

    // Fields of the last refresh.
    int fieldCount() const { return int(m_fields.size()); }
    const Field& field(int index) const { return m_fields.at(size_t(index)); }
    int fieldIndex(const QString& name) const; // -1 when there is no such field
    QStringList fieldNames() const;

    // Rows by position, for pick lists and grids; none of these moves.
    int rowCount() const { return m_keyed ? m_keyset.rowCount() : int(m_snapshot.size()); }
    QVariant valueAt(int row, int field);
    QString textAt(int row, int field);
    QStringList columnTexts(int field); // the display texts of every row, in order
    QByteArray bookmarkAt(int row) const;
    int rowOfBookmark(const QByteArray& bookmark) const; // -1 when not in the result
    int currentRow() const;                              // -1 without a stored current row

    // Current row, as bound controls see it.
    QString currentText(int field);
    bool setCurrentValue(int field, const QVariant& value, QObject* origin = nullptr);

    std::shared_ptr<SqliteConnection> connection();

signals:
    void refreshed();                             // new result set: lists and grids reload
    void currentChanged();                        // another current row: bound controls reload
    void valueEdited(int field, QObject* origin); // a pending value was set
    void rowChanged(int row);                     // a stored row's values changed
    void rowInserted(int row);
    void rowRemoved(int row);

private:
    friend class Recordset;

    bool openConnection();
    void takeResult(ResultReader::Result&& result);

    // Every value of the pending edit as it is stored, or nothing when one
    // does not fit its field (reported).
    std::optional<QHash<int, QVariant>> pendingToStore();
    bool writePending();
    bool storeEdit(QHash<int, QVariant> values);
    bool storeNewRow(const QHash<int, QVariant>& values);
    QHash<QString, QVariant> byName(const QHash<int, QVariant>& values) const;
    void dropEmptyNewRow();
    bool deleteCurrentRow();
    RowWriter writer();
    bool keepOwnEdit(const QList<RowWriter::Conflict>& conflicts);
    // A table row may show on many rows of a join, so a write through a
    // join can change rows of any page.
    bool isJoin() const { return m_tables.size() > 1; }

    bool moveTo(int position);
    const std::vector<QVariant>* rowValues(int row);
    const PageCache::Page* pageOf(int row);
    KeyedReader keyedReader();
    bool hasCurrentRow() const;
    QVariant currentValue(int field);

    QString m_databaseName;
    QString m_recordSource;
    bool m_readOnly = false;
    std::shared_ptr<SqliteConnection> m_connection;
    QString m_lastError;
    ErrorHandler m_errorHandler;
    ConflictHandler m_conflictHandler;
    InsertCheck m_insertCheck;
    InsertCheck m_editCheck;
    Recordset m_recordset;

    // The result of the last refresh.
    bool m_isOpen = false;
    bool m_keyed = true;
    std::vector<Field> m_fields;
    std::vector<OriginTable> m_tables;
    QString m_fromSql;
    QString m_rowsSql; // the keyed rows in their order: " FROM ... ORDER BY ..."
    QString m_selectList;
    Keyset m_keyset;                               // keyed
    std::vector<std::vector<QVariant>> m_snapshot; // not keyed: every row's values
    PageCache m_pages;                             // keyed: values read so far

    int m_position = 0;       // -1 BOF, 0..rowCount-1, rowCount EOF
    bool m_onDeleted = false; // the current row was deleted; m_position is the next one
    bool m_adding = false;
    int m_positionBeforeAdd = 0;
    QHash<int, QVariant> m_pending; // field -> value as given
    SeenRow m_seen;
    QByteArray m_lastModified;
};
