#pragma once

#include "data/DataSource.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QToolButton;

// The navigation bar of a data source: first, previous, next and last
// record (buttons "MoveFirst", "MovePrevious", "MoveNext", "MoveLast"), with
// an optional caption between them. Each move is a save point of the data
// source. Moving back from the first record or on from the last one stays
// there, so the bar never leaves its data source without a current record.
class DataNavigator : public QWidget {
    Q_OBJECT
public:
    explicit DataNavigator(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }
    void setCaption(const QString& caption);
    QString caption() const;

    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* addButton(const char* name, const char* icon);

    QPointer<DataSource> m_source;
    QToolButton* m_first;
    QToolButton* m_previous;
    QToolButton* m_next;
    QToolButton* m_last;
    QLabel* m_caption;
};
