#pragma once

#include <QWidget>

class HoverHelp;
class QKeyEvent;

// A window of the program: a top-level widget held by the registry (Forms),
// with the life of the windows it is written for.
//
// - Form_Load runs once, when the registry first creates the window.
// - Form_Activate runs each time the window becomes the active window.
// - Closing the window unloads it: Form_QueryUnload may cancel, the pending
//   edits of its data sources are stored (a refused value keeps the window
//   open), then Form_Unload may cancel, then the registry forgets the window and it is deleted; the
//   next reference creates a new one. Hiding keeps everything.
// - With key preview on, the window sees key strokes before its controls
//   (Form_KeyDown / Form_KeyUp; returning true consumes the key).
class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(const QString& name, QWidget* parent = nullptr);
    ~Form() override;

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    // Before the save points of a close or of the end of the program.
    virtual void Form_QueryUnload(bool& cancel) { Q_UNUSED(cancel); }
    virtual void Form_Unload(bool& cancel) { Q_UNUSED(cancel); }
    virtual bool Form_KeyDown(QKeyEvent* event) {
        Q_UNUSED(event);
        return false;
    }
    virtual bool Form_KeyUp(QKeyEvent* event) {
        Q_UNUSED(event);
        return false;
    }
    // Reads again what the window lists (a working window: the rows of the
    // current company), for instance after another window stored a row of
    // it. A window that lists nothing of the kind does nothing.
    virtual void Load() {}

    void setKeyPreview(bool on);
    bool keyPreview() const { return m_keyPreview; }

    // Closes (unloads) the window; false when something stopped it.
    bool unload();
    bool isUnloading() const { return m_unloading; }

    // Places the window over the middle of another one (a window that serves
    // it), kept on that window's screen.
    void centerOver(const QWidget* other);

    // The window's hover help, once set up with its FrameHelp and LabelHelp.
    HoverHelp* hoverHelp() const { return m_hoverHelp; }
    void setHoverHelp(HoverHelp* help) { m_hoverHelp = help; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_keyPreview = false;
    bool m_unloading = false;
    HoverHelp* m_hoverHelp = nullptr;
};
