#include "DataNavigator.h"

#include "data/DataSource.h"

#include <QIcon>
#include <QLabel>
#include <QToolButton>

DataNavigator::DataNavigator(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("DataNavigator"));
    setAutoFillBackground(true);
    m_first = addButton("MoveFirst", "go-first");
    m_previous = addButton("MovePrevious", "go-previous");
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("NavigatorCaption"));
    m_caption->setAlignment(Qt::AlignCenter);
    m_next = addButton("MoveNext", "go-next");
    m_last = addButton("MoveLast", "go-last");
    connect(m_first, &QToolButton::clicked, this, &DataNavigator::moveFirst);
    connect(m_previous, &QToolButton::clicked, this, &DataNavigator::movePrevious);
    connect(m_next, &QToolButton::clicked, this, &DataNavigator::moveNext);
    connect(m_last, &QToolButton::clicked, this, &DataNavigator::moveLast);
}

QToolButton* DataNavigator::addButton(const char* name, const char* icon) {
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(icon))));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void DataNavigator::setDataSource(DataSource* source) {
    m_source = source;
}

void DataNavigator::setCaption(const QString& caption) {
    m_caption->setText(caption);
}

QString DataNavigator::caption() const {
    return m_caption->text();
}

void DataNavigator::moveFirst() {
    if (m_source && m_source->rowCount() > 0)
        m_source->recordset()->moveFirst();
}

void DataNavigator::movePrevious() {
    if (!m_source || m_source->rowCount() == 0)
        return;
    Recordset* records = m_source->recordset();
    if (records->absolutePosition() == 0)
        return; // already on the first record
    records->movePrevious();
    if (records->bof() && m_source->rowCount() > 0)
        records->moveFirst();
}

void DataNavigator::moveNext() {
    if (!m_source || m_source->rowCount() == 0)
        return;
    Recordset* records = m_source->recordset();
    if (records->absolutePosition() == records->recordCount() - 1)
        return; // already on the last record
    records->moveNext();
    if (records->eof() && m_source->rowCount() > 0)
        records->moveLast();
}

void DataNavigator::moveLast() {
    if (m_source && m_source->rowCount() > 0)
        m_source->recordset()->moveLast();
}

void DataNavigator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Two square buttons at each end, the caption between them.
    const int side = height();
    m_first->setGeometry(0, 0, side, side);
    m_previous->setGeometry(side, 0, side, side);
    m_next->setGeometry(width() - 2 * side, 0, side, side);
    m_last->setGeometry(width() - side, 0, side, side);
    m_caption->setGeometry(2 * side, 0, std::max(0, width() - 4 * side), side);
}
