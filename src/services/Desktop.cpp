#include "Desktop.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace {
struct Recorder {
    bool on = false;
    QList<QUrl> urls;
};
Recorder& recorder() {
    static Recorder r;
    return r;
}
} // namespace

bool Desktop::openUrl(const QUrl& url) {
    if (recorder().on) {
        recorder().urls.append(url);
        return true;
    }
    return QDesktopServices::openUrl(url);
}

bool Desktop::openFile(const QString& path) {
    return openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

void Desktop::record() {
    recorder() = Recorder{true, {}};
}

void Desktop::stopRecording() {
    recorder() = Recorder{};
}

QList<QUrl> Desktop::opened() {
    return recorder().urls;
}
