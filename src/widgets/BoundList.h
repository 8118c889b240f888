#pragma once

#include "data/DataSource.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QStringListModel;

// The entries of a data-bound pick list: one field of every row of a data
// source (the list source), in its order, each carrying its row's bookmark.
// Reloads when the data source is refreshed or its rows change.
class BoundList : public QObject {
    Q_OBJECT
public:
    explicit BoundList(QObject* parent = nullptr);

    void setSource(DataSource* source, const QString& field);
    DataSource* source() const { return m_source; }
    QString field() const { return m_field; }
    QStringListModel* model() const { return m_model; }

    int count() const;
    QString text(int row) const;
    QByteArray bookmark(int row) const;
    // First entry that begins with `prefix`, ignoring letter case; -1 if none.
    int findPrefix(const QString& prefix) const;
    void reload();

signals:
    void reloaded();

private slots:
    void rowChanged(int row);

private:
    QPointer<DataSource> m_source;
    QString m_field;
    QStringListModel* m_model;
};
