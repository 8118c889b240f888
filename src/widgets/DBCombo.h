#pragma once

#include <QByteArray>
#include <QComboBox>

class BoundList;
class DataSource;

// A data-bound combo box: lists one field of a data source's rows and gives
// the chosen entry's text and bookmark. Typing moves to the first entry that
// begins with the typed text and completes it in place (the completed part
// selected, so typing on replaces it).
//
// clicked(): an entry was chosen from the list, with the arrow keys, or by
// Enter on a matching text. changed(): the text changed in any way.
class DBCombo : public QComboBox {
    Q_OBJECT
public:
    explicit DBCombo(QWidget* parent = nullptr);

    void setRowSource(DataSource* source, const QString& listField);
    DataSource* rowSource() const;

    QString text() const { return currentText(); }
    void setText(const QString& text);
    // The bookmark of the entry the text stands on; empty when none.
    QByteArray selectedItem() const;
    int matchedRow() const { return currentIndex(); }
    BoundList* list() const { return m_list; }

signals:
    void clicked();
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void typed(const QString& text);

private:
    BoundList* m_list;
    QString m_lastTyped;
    QString m_shownBeforeReload;
};
