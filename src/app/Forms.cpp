#include "Forms.h"

#include "Form.h"
#include "data/DataSource.h"

#include <QApplication>
#include <QHash>
#include <QPointer>

namespace {

struct Registry {
    QHash<QString, Forms::Factory> factories;
    QList<QPointer<Form>> loaded; // in the order they were loaded
};

Registry& registry() {
    static Registry r;
    return r;
}

} // namespace

void Forms::add(const QString& name, Factory factory) {
    registry().factories.insert(name, std::move(factory));
}

bool Forms::isRegistered(const QString& name) {
    return registry().factories.contains(name);
}

void Forms::removeAll() {
    registry().factories.clear();
}

Form* Forms::loaded(const QString& name) {
    for (const QPointer<Form>& form : std::as_const(registry().loaded))
        if (form && !form->isUnloading() && form->objectName() == name)
            return form;
    return nullptr;
}

Form* Forms::get(const QString& name) {
    if (Form* form = loaded(name))
        return form;
    const Factory factory = registry().factories.value(name);
    if (!factory)
        return nullptr;
    Form* form = factory();
    registry().loaded.append(form);
    form->Form_Load();
    return form;
}

bool Forms::isVisible(const QString& name) {
    Form* form = loaded(name);
    return form && form->isVisible();
}

QList<Form*> Forms::all() {
    QList<Form*> forms;
    for (const QPointer<Form>& form : std::as_const(registry().loaded))
        if (form && !form->isUnloading())
            forms.append(form);
    return forms;
}

Form* Forms::show(const QString& name) {
    Form* form = get(name);
    if (!form)
        return nullptr;
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

bool Forms::unload(const QString& name) {
    Form* form = loaded(name);
    return !form || form->unload();
}

void Forms::forget(Form* form) {
    registry().loaded.removeAll(form);
}

bool Forms::endProgram() {
    const QList<Form*> forms = all();
    for (Form* form : forms) {
        bool cancel = false;
        form->Form_QueryUnload(cancel);
        if (cancel || !DataSource::saveAll(form))
            return false;
    }
    for (Form* form : forms) {
        forget(form);
        form->hide();
        form->deleteLater();
    }
    QCoreApplication::quit();
    return true;
}
