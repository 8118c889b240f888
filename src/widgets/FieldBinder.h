#pragma once

#include "data/DataSource.h"

#include <QMetaProperty>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// Keeps one control showing one field of a data source's current row, and
// turns changes of the control's text (typed or assigned by the program)
// into the data source's pending edit.
//
// The control's text is its user property: QLineEdit::text,
// QPlainTextEdit::plainText, or whatever a custom widget declares (the rich
// text box declares its RTF). A QLabel only shows. The binder lives as a
// child of the control.
class FieldBinder : public QObject {
    Q_OBJECT
public:
    FieldBinder(DataSource* source, QWidget* control, const QString& field);

    // Binds a control's text to a field (by name, looked up at every update).
    // Text boxes (QLineEdit, QPlainTextEdit), labels, and any widget whose
    // user property is a text (the rich text box's RTF) can be bound.
    static FieldBinder* bind(DataSource* source, QWidget* control, const QString& field);

private slots:
    void load();
    void controlChanged();
    void valueEdited(int field, QObject* origin);
    void rowChanged(int row);

private:
    int fieldIndex() const;
    void show(const QString& text);

    QPointer<DataSource> m_source;
    QWidget* m_control;
    QString m_field;
    QMetaProperty m_property;
    bool m_loading = false;
    QString m_shown;
    bool m_refusalTold = false; // the current row's refusal was reported
};
