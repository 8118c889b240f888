#pragma once

#include <QGuiApplication>
#include <QTest>

// QTEST_MAIN makes a QApplication wherever the widgets are linked, and every
// test here links them. A test of documents, fonts or the clipboard that
// shows no window runs with this main instead: a QGuiApplication, so that
// nothing it tests can lean on the widgets unnoticed. (QTEST_GUILESS_MAIN,
// a QCoreApplication, for tests without fonts either.)
#define TESSALY_GUI_TEST_MAIN(TestObject)                                                          \
    int main(int argc, char* argv[]) {                                                             \
        QGuiApplication app(argc, argv);                                                           \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
