#include "EditToolbar.h"

#include "services/SendKeys.h"

#include <QAction>
#include <QIcon>

EditToolbar::EditToolbar(QWidget* parent)
    : QToolBar(parent) {
    setObjectName(QStringLiteral("Toolbar1"));
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(16, 16));
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    const QList<std::pair<const char*, const char*>> buttons = {{"Copy", "edit-copy"},
                                                                {"Cut", "edit-cut"},
                                                                {"Delete", "edit-delete"},
                                                                {"Undo", "edit-undo"},
                                                                {"Paste", "edit-paste"}};
    for (const auto& [key, icon] : buttons) {
        QAction* action =
            addAction(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(icon))),
                      QString::fromLatin1(key));
        action->setObjectName(QString::fromLatin1(key));
        action->setToolTip(QString::fromLatin1(key));
        const QString keys = Keys(QString::fromLatin1(key));
        connect(action, &QAction::triggered, this, [keys] { SendKeys::send(keys); });
    }
}

QString EditToolbar::Keys(const QString& key) {
    if (key == QLatin1String("Copy"))
        return QStringLiteral("^{c}");
    if (key == QLatin1String("Cut"))
        return QStringLiteral("^{x}");
    if (key == QLatin1String("Delete"))
        return QStringLiteral("{DEL}");
    if (key == QLatin1String("Undo"))
        return QStringLiteral("^{z}");
    if (key == QLatin1String("Paste"))
        return QStringLiteral("^{v}");
    return {};
}
