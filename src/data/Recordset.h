#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

class DataSource;

// The result set of a DataSource with its current row: the operations the
// windows call as Recordset.MoveNext, .AddNew, .Delete, .Bookmark, .EOF ...
//
// Every move, a bookmark assignment and AddNew is a save point: a pending
// edit of the current row is written first, and when it is refused the
// operation does not happen (the edit stays, the row stays current).
class Recordset {
public:
    bool moveFirst();
    bool moveLast();
    bool moveNext();      // past the last row: EOF
    bool movePrevious();  // before the first row: BOF
    bool addNew();        // a new, empty row, stored at the next save point
    bool deleteCurrent(); // Delete: removes the current row from its table
    bool update();        // writes the pending edit now
    void cancelUpdate();  // drops the pending edit (and a new row not yet stored)

    QByteArray bookmark() const; // empty when there is no stored current row
    bool setBookmark(const QByteArray& bookmark);
    QByteArray lastModified() const; // the row stored or changed last

    bool eof() const;
    bool bof() const;
    int recordCount() const;
    int absolutePosition() const; // zero-based; -1 without a stored current row
    bool isNewRow() const;        // AddNew is in progress
    bool hasPendingEdit() const;

    // Fields of the current row, by name; a pending edit shows its new value.
    QVariant field(const QString& name) const;
    QString fieldText(const QString& name) const;
    bool setField(const QString& name, const QVariant& value);

private:
    friend class DataSource;
    explicit Recordset(DataSource* source)
        : m_source(source) {}
    DataSource* m_source;
};
