#include "DBCombo.h"

#include "BoundList.h"
#include "data/DataSource.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>

DBCombo::DBCombo(QWidget* parent)
    : QComboBox(parent)
    , m_list(new BoundList(this)) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(16);
    auto* view = new QListView(this);
    view->setUniformItemSizes(true);
    setView(view);
    setModel(m_list->model());
    connect(lineEdit(), &QLineEdit::textEdited, this, &DBCombo::typed);
    connect(this, &QComboBox::editTextChanged, this, &DBCombo::changed);
    connect(this, &QComboBox::activated, this, &DBCombo::clicked);
    // Enter chooses the entry the text stands on, and is not handed on (the
    // combo box's own Enter would offer it to the line edit once more).
    lineEdit()->installEventFilter(this);
    // A reload keeps what the box shows; the entry is found again by text.
    connect(m_list->model(), &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_shownBeforeReload = lineEdit()->text(); });
    connect(m_list, &BoundList::reloaded, this, [this] {
        const QSignalBlocker blocker(this);
        setCurrentIndex(findText(m_shownBeforeReload, Qt::MatchFixedString));
        lineEdit()->setText(m_shownBeforeReload);
    });
}

void DBCombo::setRowSource(DataSource* source, const QString& listField) {
    const QString shown = lineEdit()->text();
    m_list->setSource(source, listField);
    lineEdit()->setText(shown);
}

DataSource* DBCombo::rowSource() const {
    return m_list->source();
}

void DBCombo::setText(const QString& text) {
    const int row = findText(text, Qt::MatchFixedString);
    if (row >= 0)
        setCurrentIndex(row);
    else
        setCurrentIndex(-1);
    lineEdit()->setText(text);
}

QByteArray DBCombo::selectedItem() const {
    const int row = currentIndex();
    if (row < 0 || m_list->text(row).compare(currentText(), Qt::CaseInsensitive) != 0)
        return {};
    return m_list->bookmark(row);
}

void DBCombo::typed(const QString& text) {
    const bool grew =
        text.size() > m_lastTyped.size() && text.startsWith(m_lastTyped, Qt::CaseInsensitive);
    m_lastTyped = text;
    const int row = m_list->findPrefix(text);
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(row);
        lineEdit()->setText(text);
    }
    if (row >= 0 && grew && lineEdit()->cursorPosition() == text.size()) {
        const QString entry = m_list->text(row);
        lineEdit()->setText(entry);
        lineEdit()->setSelection(entry.size(), text.size() - entry.size());
        m_lastTyped = text;
    }
}

bool DBCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !selectedItem().isEmpty()) {
            lineEdit()->deselect();
            lineEdit()->end(false);
            emit clicked();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}
