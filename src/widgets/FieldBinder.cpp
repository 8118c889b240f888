#include "FieldBinder.h"

#include "data/DataSource.h"

#include <QLabel>
#include <QMetaMethod>
#include <QWidget>

FieldBinder::FieldBinder(DataSource* source, QWidget* control, const QString& field)
    : QObject(control)
    , m_source(source)
    , m_control(control)
    , m_field(field) {
    const QMetaObject* meta = control->metaObject();
    if (qobject_cast<QLabel*>(control))
        m_property = meta->property(meta->indexOfProperty("text"));
    else
        m_property = meta->userProperty();

    connect(source, &DataSource::currentChanged, this, &FieldBinder::load);
    connect(source, &DataSource::refreshed, this, &FieldBinder::load);
    connect(source, &DataSource::valueEdited, this, &FieldBinder::valueEdited);
    connect(source, &DataSource::rowChanged, this, &FieldBinder::rowChanged);
    if (!qobject_cast<QLabel*>(control) && m_property.hasNotifySignal()) {
        const QMetaMethod slot =
            metaObject()->method(metaObject()->indexOfSlot("controlChanged()"));
        connect(control, m_property.notifySignal(), this, slot);
    }
    load();
}

FieldBinder* FieldBinder::bind(DataSource* source, QWidget* control, const QString& field) {
    return new FieldBinder(source, control, field);
}

int FieldBinder::fieldIndex() const {
    return m_source ? m_source->fieldIndex(m_field) : -1;
}

void FieldBinder::show(const QString& text) {
    m_shown = text;
    if (m_property.read(m_control).toString() == text)
        return;
    m_loading = true;
    m_property.write(m_control, text);
    m_loading = false;
}

void FieldBinder::load() {
    if (!m_source)
        return;
    m_refusalTold = false;
    show(m_source->currentText(fieldIndex()));
}

void FieldBinder::controlChanged() {
    if (m_loading || !m_source)
        return;
    const QString text = m_property.read(m_control).toString();
    if (text == m_shown)
        return;
    m_shown = text;
    const int field = fieldIndex();
    if (m_source->setCurrentValue(field, text, this) || m_refusalTold)
        return;
    // The text stays in the box; the user is told once, not at every key.
    m_refusalTold = true;
    QString why;
    if (field < 0)
        why = QStringLiteral("the record source has no field %1").arg(m_field);
    else if (m_source->currentRow() < 0 && !m_source->recordset()->isNewRow())
        why = QStringLiteral("there is no current record");
    else
        why = QStringLiteral("the field %1 cannot be changed").arg(m_field);
    m_source->reportError(
        QStringLiteral("The text typed into %1 cannot be stored: %2.").arg(m_field, why));
}

void FieldBinder::valueEdited(int field, QObject* origin) {
    if (origin != this && field == fieldIndex())
        load();
}

void FieldBinder::rowChanged(int row) {
    if (m_source && row == m_source->currentRow())
        load();
}
