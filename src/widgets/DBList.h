#pragma once

#include <QByteArray>
#include <QListView>

class BoundList;
class DataSource;

// A data-bound list box: one field of a data source's rows, each entry
// carrying its row's bookmark. clicked() when the user chooses an entry
// (mouse or keyboard).
class DBList : public QListView {
    Q_OBJECT
public:
    explicit DBList(QWidget* parent = nullptr);

    void setRowSource(DataSource* source, const QString& listField);
    DataSource* rowSource() const;

    QString text() const;            // the chosen entry's text
    QByteArray selectedItem() const; // its bookmark; empty when none is chosen
    int listIndex() const;
    void setListIndex(int row);
    int listCount() const;
    BoundList* list() const { return m_list; }

signals:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    BoundList* m_list;
};
