#pragma once

#include "Form.h"

#include <QList>
#include <QString>
#include <functional>

// The registry of the program's windows. Each window is a single instance,
// created and loaded the first time anything refers to it, and kept until it
// is closed; the next reference creates a new one. Windows reach each other
// through here by name, so a window can name one that a later version adds.
class Forms {
public:
    using Factory = std::function<Form*()>;

    // Windows are registered by name at start-up.
    static void add(const QString& name, Factory factory);
    template <class T> static void add() {
        add(QString::fromLatin1(T::Name), [] { return new T; });
    }
    static bool isRegistered(const QString& name);
    static void removeAll(); // forgets the registrations (tests)

    // The window, created and loaded on first reference; nullptr when no
    // window of that name is registered.
    static Form* get(const QString& name);
    // The window of class T under its name; nullptr when the window
    // registered under that name is of another class.
    template <class T> static T* get() {
        return qobject_cast<T*>(get(QString::fromLatin1(T::Name)));
    }
    // The window if it is loaded, without loading it.
    static Form* loaded(const QString& name);
    static bool isLoaded(const QString& name) { return loaded(name) != nullptr; }
    static bool isVisible(const QString& name);
    static QList<Form*> all();

    // Shows the window (loading it if needed) and makes it the active one.
    static Form* show(const QString& name);
    // Closes the window if it is loaded; false when it refused to close.
    static bool unload(const QString& name);

    // Ends the program: every loaded window, hidden ones too, stores its
    // pending edits first. False (and the program goes on) when an edit was
    // refused, so nothing typed is lost.
    static bool endProgram();

    static void forget(Form* form); // called by a window that goes
};
